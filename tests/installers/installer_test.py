#!/usr/bin/python3
"""Real installers in the loop, under Wine, on a virtual display.

The sample installers (samples/) install the sample product silently.
KesOrvCleanup.exe, run without arguments as the product's own uninstall
entry would run it, then starts the real uninstaller, which calls the
tool's removal mode. Besides files and registry, the tests count the
windows mapped on the display while a flow runs: what a person at the
machine would see.

    installer_test.py PREFIX INSTALLERS [unittest arguments]

PREFIX is a Wine prefix of these tests' own. INSTALLERS is the folder
holding the built installers (OrvaneSetup.exe and OrvaneSetup-2.exe,
versions 1.0.0 and 2.0.0; Orvane.msi, version 1.0.0, Orvane-2.msi and
Orvane-2-rebuilt.msi, two builds of 2.0.0; Orvane64.msi and
Orvane64-view32.msi; StartTool-*.exe).

Every time limit is its native length times KESORV_WINE_TIME_SCALE,
which ctest sets from Wine's mode (tests/wine-runner/wine-mode.sh): where
32-bit programs run under qemu, each start of one is several times slower.
The registry is read and written with the 64-bit reg.exe, which starts at
native speed there too.
"""
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import tool_paths  # noqa: E402  (where the tool works, said once for every test)

try:
    import Xlib.display
    import Xlib.error
    from Xlib import X, Xatom
except ImportError:
    sys.exit("python3-xlib is missing: install Debian's package python3-xlib "
             "(scripts/install-deps.sh)")

RUN_KEY = 'HKLM\\' + tool_paths.RUN_KEY
PRODUCT_KEY = 'HKLM\\' + tool_paths.PRODUCT_KEY
APPS_KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
INSTALL_DIR = r'C:\Program Files (x86)\Kestrova\Orvane'
# Where an installer engineer may choose to install instead.
OTHER_DIR = r'C:\Program Files (x86)\Kestrova\Orvane Other'
INSTALLED_FILES = ['Orvane.exe', 'KesOrvCleanup.exe']
TOOL = INSTALL_DIR + r'\KesOrvCleanup.exe'
UNINSTALLER = INSTALL_DIR + r'\uninstall.exe'
INSTALLERS = 'C:\\installers'
LOG = tool_paths.LOG_FILE
# What Wine's reg.exe says, and nothing else, when a key does not exist.
REG_NO_SUCH_KEY = 'reg: Unable to find the specified registry key'
# Longer than any flow takes; a flow that hangs fails rather than blocks.
STEP_TIMEOUT = 120 * int(os.environ.get('KESORV_WINE_TIME_SCALE', '1'))
# Runs a command in Wine's environment for a prefix, as every test does.
WINE_ENV = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'wine-runner',
                        'wine-env.sh')


class WindowWatch(threading.Thread):
    """Records every window mapped on an X display, with its title."""

    def __init__(self, display_name):
        super().__init__(daemon=True)
        self._events = Xlib.display.Display(display_name)
        root = self._events.screen().root
        # Top-level windows are children of the root, and there is no window
        # manager: a window shows exactly when it is mapped.
        root.change_attributes(event_mask=X.SubstructureNotifyMask | X.PropertyChangeMask)
        self._events.sync()
        self._marker = self._events.intern_atom('KESORV_TEST_MARKER')
        self._requests = Xlib.display.Display(display_name)
        self._marks = queue.Queue()
        self._changed = threading.Condition()
        self._mapped = []
        self.start()

    def run(self):
        while True:
            try:
                event = self._events.next_event()
            except Xlib.error.ConnectionClosedError:
                return  # the display has closed
            if event.type == X.MapNotify:
                title = self._title(event.window)
                with self._changed:
                    self._mapped.append(title)
                    self._changed.notify_all()
            elif event.type == X.PropertyNotify and event.atom == self._marker:
                self._marks.put(None)

    @staticmethod
    def _title(window):
        try:
            wm_class = window.get_wm_class() or ('?', '?')
            return '%s: %s' % (wm_class[0], window.get_wm_name())
        except Xlib.error.XError:
            return '(closed before its title was read)'

    def mapped(self):
        """Every window mapped so far. A marker set on the root window goes
        through the server after every request that came before it, so its
        event arrives after theirs: no window mapped before this call is
        missed."""
        root = self._requests.screen().root
        root.change_property(self._marker, Xatom.STRING, 8, b'1')
        self._requests.flush()
        self._marks.get(timeout=10)
        with self._changed:
            return list(self._mapped)

    def wait_for_window(self, already, timeout):
        """Waits until more than `already` windows have been mapped."""
        with self._changed:
            self._changed.wait_for(lambda: len(self._mapped) > already, timeout)
            return list(self._mapped)


class VirtualDisplay:
    """An Xvfb server on a free display number."""

    def __init__(self):
        if not shutil.which('Xvfb'):
            raise RuntimeError(
                "Xvfb is missing: install Debian's package xvfb (scripts/install-deps.sh)")
        read_end, write_end = os.pipe()
        self._server = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-nolisten', 'tcp', '-screen', '0',
             '1024x768x24'],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ':' + numbers.readline().strip()
        self.watch = WindowWatch(self.name)

    def close(self):
        self._server.terminate()
        self._server.wait()


class Wine:
    """Programs and the registry of one Wine prefix, shown on a display."""

    def __init__(self, prefix, display):
        self.prefix = os.path.realpath(prefix)
        self._env = dict(os.environ, DISPLAY=display)

    def _command(self, *command):
        return [WINE_ENV, self.prefix, *command]

    def path(self, windows_path):
        """Where a path on drive C: lies in the Unix file system."""
        assert windows_path[:3].upper() == 'C:\\', windows_path
        return os.path.join(self.prefix, 'drive_c', *windows_path[3:].split('\\'))

    def run(self, program, *arguments, cwd='C:\\', loader='wine'):
        """Runs a program until it ends; returns its exit status and what
        it printed."""
        # Into a file, not a pipe: Wine's server and services inherit it and
        # would keep a pipe open for as long as they run.
        with tempfile.TemporaryFile() as output:
            status = subprocess.run(self._command(loader, program, *arguments),
                                    cwd=self.path(cwd),
                                    env=self._env, stdin=subprocess.DEVNULL, stdout=output,
                                    stderr=subprocess.STDOUT, timeout=STEP_TIMEOUT).returncode
            output.seek(0)
            return status, output.read().decode(errors='replace')

    def start(self, program, *arguments):
        """Starts a program without waiting for it."""
        return subprocess.Popen(self._command('wine', program, *arguments), cwd=self.path('C:\\'),
                                env=self._env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_until_all_ended(self):
        """Waits until every program of the prefix has ended, including
        those started without anyone waiting for them (an uninstaller
        started by the tool, the copy an NSIS uninstaller starts of
        itself) and Wine's own services."""
        subprocess.run(self._command('wineserver', '-w'), env=self._env, timeout=STEP_TIMEOUT,
                       check=True)

    def end_all(self):
        subprocess.run(self._command('wineserver', '-k'), env=self._env, timeout=STEP_TIMEOUT,
                       stderr=subprocess.DEVNULL)
        self.wait_until_all_ended()

    def reg(self, *arguments, view):
        return self.run('reg', *arguments, '/reg:%d' % view, loader='wine64')

    def query(self, key, view):
        """What reg query prints for a key, or None if there is no key."""
        status, output = self.reg('query', key, view=view)
        if status == 0:
            return output
        # Anything else that fails (Wine, its server, the emulation) must
        # not pass for a missing key.
        if output.strip() == REG_NO_SUCH_KEY:
            return None
        raise RuntimeError('reg query %s: exit status %d: %s' % (key, status, output))

    def values(self, key, view=32):
        """The values of a key as {name: data}, or None if there is no key."""
        output = self.query(key, view)
        if output is None:
            return None
        values = {}
        for line in output.splitlines():
            if line.startswith('    '):
                name, _, data = line[4:].split('    ', 2)
                values[name] = data
        return values

    def subkeys(self, key, view=32):
        output = self.query(key, view) or ''
        parent = key.replace('HKLM\\', 'HKEY_LOCAL_MACHINE\\', 1) + '\\'
        return [line[len(parent):] for line in output.splitlines()
                if line.lower().startswith(parent.lower())]


class InstallerTestCase(unittest.TestCase):
    prefix = None
    installers = None

    @classmethod
    def setUpClass(cls):
        cls.display = VirtualDisplay()
        cls.wine = Wine(cls.prefix, cls.display.name)
        # Installers run from drive C:, as from a download folder.
        cls.wine.end_all()
        shutil.rmtree(cls.wine.path(INSTALLERS), ignore_errors=True)
        shutil.copytree(cls.installers, cls.wine.path(INSTALLERS))

    @classmethod
    def tearDownClass(cls):
        cls.wine.end_all()
        cls.display.close()

    def reset(self):
        """Puts the prefix back as before any installation, whatever an
        earlier test left, with two Run values that are not the product's:
        another vendor's, and one named Orvane in the 64-bit view."""
        wine = self.wine
        wine.end_all()
        # Every build of an MSI has a product code of its own: remove any
        # build that an interrupted run left installed.
        for view in [32, 64]:
            for code in self.msi_registrations(view):
                wine.run('msiexec', '/x', code, '/qn')
        for folder in [r'C:\Program Files (x86)\Kestrova', r'C:\Program Files\Kestrova',
                       r'C:\Orvane']:
            shutil.rmtree(wine.path(folder), ignore_errors=True)
        for view in [32, 64]:
            wine.reg('delete', PRODUCT_KEY, '/f', view=view)
        wine.reg('delete', APPS_KEY + r'\Orvane', '/f', view=32)
        for name in ['Orvane', 'StartToolProbe']:
            wine.reg('delete', RUN_KEY, '/v', name, '/f', view=32)
        wine.reg('add', RUN_KEY, '/v', 'OtherVendor', '/d', r'C:\Other\other.exe', '/f', view=32)
        wine.reg('add', RUN_KEY, '/v', 'Orvane', '/d', r'C:\Orvane64\orvane.exe', '/f', view=64)
        os.makedirs(wine.path(tool_paths.LOG_FOLDER), exist_ok=True)
        if os.path.exists(wine.path(LOG)):
            os.remove(wine.path(LOG))
        wine.wait_until_all_ended()
        self.windows_before = len(self.display.watch.mapped())

    def msi_registrations(self, view=32):
        """The product codes of the installed MSI builds of Orvane, with
        their entries in Apps and Features."""
        registrations = {}
        for code in self.wine.subkeys(APPS_KEY, view):
            values = self.wine.values(APPS_KEY + '\\' + code, view) or {}
            if code.startswith('{') and values.get('DisplayName') == 'Orvane':
                registrations[code] = values
        return registrations

    def assertWindows(self, count, since=None):
        """Counts the windows mapped since the reset, or since an earlier
        count. A console window may close before its title is read, so
        titles only explain a failure."""
        windows = self.display.watch.mapped()[self.windows_before if since is None else since:]
        self.assertEqual(len(windows), count, 'windows mapped: %s' % windows)

    def install(self, *command, folder=INSTALL_DIR, running=None):
        """Installs and waits until every program it started has ended;
        RUNNING, instances of the product that it must end first."""
        status, output = self.wine.run(*command)
        self.assertAllEnded(running or {})
        self.wine.wait_until_all_ended()
        self.assertEqual((status, output), (0, ''), 'installing with %s' % ' '.join(command))
        self.assertEqual(self.installed_files(folder), INSTALLED_FILES, 'the files are installed')

    def start_product(self, folder=INSTALL_DIR, mode=None):
        """Starts the installed Orvane.exe, as logon does, and waits until
        it is ready. MODE makes an instance that a request to close does
        not reach (tests/installers/Orvane.cpp)."""
        ready = r'C:\orvane-ready-%s' % (mode or 'window')
        if os.path.exists(self.wine.path(ready)):
            os.remove(self.wine.path(ready))
        product = self.wine.start(folder + r'\Orvane.exe', ready, *([mode] if mode else []))
        for _ in range(STEP_TIMEOUT * 10):
            if os.path.exists(self.wine.path(ready)) or product.poll() is not None:
                break
            time.sleep(0.1)
        self.assertTrue(os.path.exists(self.wine.path(ready)), 'the product is running')
        return product

    def start_every_kind_of_instance(self, folder=INSTALL_DIR):
        """Three instances: one that closes when asked, one whose window
        ignores the request, and one without a window, as an instance in
        another session looks to an installer."""
        return {mode: self.start_product(folder, mode)
                for mode in [None, 'ignore-close', 'no-window']}

    def assertAllEnded(self, instances):
        """Every instance has ended, soon: before the prefix is waited for,
        which would wait for them as long as they run. The one that can be
        asked to close was asked, and closed by itself."""
        for mode, instance in instances.items():
            try:
                status = instance.wait(timeout=STEP_TIMEOUT // 5)
            except subprocess.TimeoutExpired:
                self.wine.end_all()
                self.fail('the instance %s still runs' % (mode or 'with a window'))
            if mode is None:
                self.assertEqual(status, 0, 'the product closed when asked')

    def run_tool(self, *arguments, cwd='C:\\', tool=TOOL, running=None):
        """Runs the installed tool and waits until every program it
        started has ended; RUNNING, as for install."""
        status, output = self.wine.run(tool, *arguments, cwd=cwd)
        self.assertAllEnded(running or {})
        self.wine.wait_until_all_ended()
        self.assertEqual((status, output), (0, ''), 'the tool exits with 0 and prints nothing')

    def installed_files(self, folder=INSTALL_DIR):
        return [name for name in INSTALLED_FILES
                if os.path.exists(os.path.join(self.wine.path(folder), name))]

    def set_uninstall_args(self, text):
        self.wine.reg('add', PRODUCT_KEY, '/v', 'UninstallArgs', '/d', text, '/f', view=32)


class Installer:
    def __init__(self, name, install, uninstall_string, registration, windows,
                 closes_product):
        self.name = name
        self.install = install
        # What the installer writes as UninstallString, a regular expression.
        self.uninstall_string = uninstall_string
        # The key of the product's entry in Apps and Features, found from
        # the product key's values.
        self.registration = registration
        # How many windows the whole flow maps, as a person would see them.
        self.windows = windows
        # Whether its uninstaller closes the running product first.
        self.closes_product = closes_product


MSI_UNINSTALL_ARGS = r'/x (\{[0-9A-F-]{36}\}) /qn /norestart'


def msi_registration(product):
    code = re.fullmatch(MSI_UNINSTALL_ARGS, product['UninstallArgs']).group(1)
    return APPS_KEY + '\\' + code


def msi_install(package, folder=None):
    command = ['msiexec', '/i', INSTALLERS + '\\' + package, '/qn', '/norestart']
    return command + (['INSTALLDIR=' + folder] if folder else [])


def nsis_install(setup='OrvaneSetup.exe', folder=None):
    if folder is None:
        return [INSTALLERS + '\\' + setup, '/S']
    # NSIS takes /D= only last and without quotes, spaces and all. Wine
    # would quote an argument with a space; cmd passes the line as it is.
    return ['cmd', '/c', '%s\\%s /S /D=%s' % (INSTALLERS, setup, folder)]


NSIS = Installer('NSIS', nsis_install(), re.escape(UNINSTALLER),
                 lambda product: APPS_KEY + r'\Orvane', windows=0, closes_product=True)
# [SystemFolder] of a 32-bit package on 64-bit Windows. The console window
# of KesOrvCleanup.exe, started by an EXE custom action: wixl cannot build
# the full WiX toolset's quiet execution custom action. Wine's msiexec runs
# the action in the user's session; Windows Installer's service runs it
# where no user sees a window (docs/windows-behaviour.md).
MSI = Installer('MSI', msi_install('Orvane.msi'), r'(?i:C:\\windows\\syswow64\\msiexec\.exe)',
                msi_registration, windows=1, closes_product=False)


class UninstallTest(InstallerTestCase):
    def test_tool_starts_the_real_uninstaller_which_removes_everything(self):
        for installer in [NSIS, MSI]:
            with self.subTest(installer.name):
                self.reset()
                wine = self.wine
                self.install(*installer.install)
                self.assertEqual(wine.values(RUN_KEY).get('Orvane'),
                                 '"%s\\Orvane.exe"' % INSTALL_DIR)
                product = wine.values(PRODUCT_KEY)
                self.assertRegex(product['UninstallString'], '^%s$' % installer.uninstall_string)
                registration = installer.registration(product)
                self.assertIsNotNone(wine.values(registration), 'registered in Apps and Features')
                # On a real PC the product runs from logon until the uninstall.
                running = (self.start_every_kind_of_instance() if installer.closes_product
                           else None)

                self.run_tool(running=running)

                self.assertEqual(self.installed_files(), [])
                self.assertFalse(os.path.exists(wine.path(INSTALL_DIR)), 'install folder removed')
                self.assertIsNone(wine.values(PRODUCT_KEY))
                self.assertIsNone(wine.values(registration))
                run_values = wine.values(RUN_KEY)
                self.assertNotIn('Orvane', run_values)
                self.assertEqual(run_values.get('OtherVendor'), r'C:\Other\other.exe')
                self.assertEqual(wine.values(RUN_KEY, view=64).get('Orvane'),
                                 r'C:\Orvane64\orvane.exe')
                self.assertFalse(os.path.exists(wine.path(LOG)), 'nothing logged')
                self.assertWindows(installer.windows)


class InstallFolderTest(InstallerTestCase):
    """A folder that standard users may change is refused before anything
    is installed: the tool would start an uninstaller from there with an
    installer's rights."""

    FOLDERS = [r'C:\Orvane', r'C:\Program Files (x86)\..\Orvane']
    # (installer, its command for a folder, its exit status as Linux sees
    # it: the low 8 bits)
    REFUSALS = [('NSIS', lambda folder: nsis_install(folder=folder), 2),
                ('MSI', lambda folder: msi_install('Orvane.msi', folder), 1603 % 256)]

    def test_a_folder_outside_program_files_is_refused(self):
        for installer, install, refused in self.REFUSALS:
            for folder in self.FOLDERS:
                with self.subTest(installer=installer, folder=folder):
                    self.reset()

                    status, _ = self.wine.run(*install(folder))
                    self.wine.wait_until_all_ended()

                    self.assertEqual(status, refused)
                    self.assertFalse(os.path.exists(self.wine.path(r'C:\Orvane')))
                    self.assertFalse(os.path.exists(self.wine.path(INSTALL_DIR)))
                    self.assertIsNone(self.wine.values(PRODUCT_KEY))
                    self.assertIsNone(self.wine.values(APPS_KEY + r'\Orvane'))
                    self.assertEqual(self.msi_registrations(), {})
                    self.assertNotIn('Orvane', self.wine.values(RUN_KEY))


class AppsEntryTest(InstallerTestCase):
    def test_nsis_entry_says_version_location_size_and_what_it_offers(self):
        self.reset()
        self.install(*NSIS.install)

        entry = self.wine.values(APPS_KEY + r'\Orvane')

        self.assertEqual({name: entry.get(name) for name in [
            'DisplayName', 'DisplayVersion', 'Publisher', 'DisplayIcon', 'InstallLocation',
            'UninstallString', 'QuietUninstallString', 'NoModify', 'NoRepair']}, {
            'DisplayName': 'Orvane', 'DisplayVersion': '1.0.0', 'Publisher': 'Kestrova',
            'DisplayIcon': INSTALL_DIR + r'\Orvane.exe,0', 'InstallLocation': INSTALL_DIR,
            'UninstallString': '"%s"' % UNINSTALLER,
            'QuietUninstallString': '"%s" /S' % UNINSTALLER, 'NoModify': '0x1',
            'NoRepair': '0x1'})
        folder = self.wine.path(INSTALL_DIR)
        size = sum(os.path.getsize(os.path.join(folder, name)) for name in os.listdir(folder))
        self.assertEqual(int(entry['EstimatedSize'], 16), size // 1024, 'kilobytes')

    def test_msi_entry_offers_neither_change_nor_repair(self):
        self.reset()
        self.install(*MSI.install)

        entry = list(self.msi_registrations().values())[0]

        self.assertEqual((entry.get('NoModify'), entry.get('NoRepair')), ('0x1', '0x1'))


class UninstallCommandFormTest(InstallerTestCase):
    """Which forms of UninstallString the tool's shell call starts, row by
    row as the README's table shows them. A form it cannot start leaves no
    trace: no window, no log line, the product still installed.
    docs/windows-behaviour.md gives Windows' own record for each row; the
    host build's emulated shell starts them as Windows does
    (KesOrvCleanupEmulatedTest.UninstallCommandFormsStartAsOnWindows)."""

    # (form, value type, UninstallString, UninstallArgs, started under Wine)
    NSIS_FORMS = [
        ('quoted path', 'REG_SZ', '"%s"' % UNINSTALLER, '/S', True),
        ('unquoted path with spaces', 'REG_SZ', UNINSTALLER, '/S', True),
        ('path and switches together', 'REG_SZ', '"%s" /S' % UNINSTALLER, '', False),
        # Wine's behaviour, not Windows': Wine's ShellExecute expands
        # environment references in the file it opens, Windows' does not.
        # Wine's own conformance test, which also runs on Windows, expects
        # ShellExecute of "%TMPDIR%\simple.shlexec" to fail with SE_ERR_FNF
        # there and marks Wine's success todo_wine (dlls/shell32/tests/
        # shlexec.c, test_lpFile_parsed). On Windows this row starts nothing.
        ('environment reference, which Wine expands and Windows does not', 'REG_EXPAND_SZ',
         r'%ProgramFiles(x86)%\Kestrova\Orvane\uninstall.exe', '/S', True),
    ]

    def test_forms_of_an_nsis_uninstaller(self):
        for form, value_type, command, arguments, started in self.NSIS_FORMS:
            with self.subTest(form):
                self.reset()
                self.install(*NSIS.install)
                self.wine.reg('add', PRODUCT_KEY, '/v', 'UninstallString', '/t', value_type,
                              '/d', command, '/f', view=32)
                self.set_uninstall_args(arguments)
                self.assertEqual(self.wine.values(PRODUCT_KEY)['UninstallString'], command)

                self.run_tool()

                self.assertEqual(self.installed_files(), [] if started else INSTALLED_FILES)
                self.assertFalse(os.path.exists(self.wine.path(LOG)), 'nothing logged')
                self.assertWindows(0)

    def test_msiexec_by_its_full_path_without_restart(self):
        self.reset()
        self.install(*MSI.install)
        product = self.wine.values(PRODUCT_KEY)
        self.assertRegex(product['UninstallString'], '^%s$' % MSI.uninstall_string)
        self.assertRegex(product['UninstallArgs'], '^%s$' % MSI_UNINSTALL_ARGS)

        self.run_tool()

        self.assertEqual(self.installed_files(), [])
        self.assertEqual(self.msi_registrations(), {})


class UpgradeTestCase(InstallerTestCase):
    """What both samples' upgrades keep: the folder the installer engineer
    chose (OTHER_DIR), and the autostart entry as the user left it, removed
    or changed: it is the user's. An installer that wrote it again would
    leave the program's quoted path, as a first install writes it."""

    REMOVED = None
    CHANGED = '"%s\\Orvane.exe" /minimized' % OTHER_DIR

    def set_run_value(self, data):
        if data is None:
            self.wine.reg('delete', RUN_KEY, '/v', 'Orvane', '/f', view=32)
        else:
            # From a file: Wine's reg add cuts the data at a quote inside it.
            escaped = data.replace('\\', '\\\\').replace('"', '\\"')
            with open(self.wine.path(r'C:\run-value.reg'), 'w', encoding='utf-16') as file:
                file.write('Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"Orvane"="%s"\r\n'
                           % (RUN_KEY.replace('HKLM', 'HKEY_LOCAL_MACHINE'), escaped))
            self.wine.reg('import', r'C:\run-value.reg', view=32)
        self.assertEqual(self.wine.values(RUN_KEY).get('Orvane'), data)

    def assertUninstalledByTheTool(self):
        self.run_tool(tool=OTHER_DIR + r'\KesOrvCleanup.exe')
        self.assertEqual(self.installed_files(OTHER_DIR), [])
        self.assertFalse(os.path.exists(self.wine.path(OTHER_DIR)), 'install folder removed')
        self.assertIsNone(self.wine.values(PRODUCT_KEY))
        self.assertNotIn('Orvane', self.wine.values(RUN_KEY))


class NsisUpgradeTest(UpgradeTestCase):
    def test_upgrade_and_reinstall_in_the_installed_folder_while_the_product_runs(self):
        self.reset()
        wine = self.wine
        self.install(*nsis_install(folder=OTHER_DIR), folder=OTHER_DIR)
        self.assertEqual(wine.values(RUN_KEY).get('Orvane'), '"%s\\Orvane.exe"' % OTHER_DIR)
        # Version 2 upgrades version 1, then installs again over itself.
        for step, run_value in [('removed by the user', self.REMOVED),
                                ('changed by the user', self.CHANGED)]:
            with self.subTest(step):
                self.set_run_value(run_value)
                running = self.start_every_kind_of_instance(OTHER_DIR)

                self.install(*nsis_install('OrvaneSetup-2.exe'), folder=OTHER_DIR,
                             running=running)

                entry = wine.values(APPS_KEY + r'\Orvane')
                self.assertEqual((entry['DisplayVersion'], entry['InstallLocation']),
                                 ('2.0.0', OTHER_DIR))
                self.assertFalse(os.path.exists(wine.path(INSTALL_DIR)), 'nothing elsewhere')
                self.assertEqual(wine.values(RUN_KEY).get('Orvane'), run_value)
                self.assertWindows(0)

        self.assertUninstalledByTheTool()


class MsiUpgradeTest(UpgradeTestCase):
    def test_each_build_replaces_the_installed_one_where_it_is(self):
        self.reset()
        wine = self.wine
        self.install(*msi_install('Orvane.msi', OTHER_DIR), folder=OTHER_DIR)
        self.assertEqual(wine.values(RUN_KEY).get('Orvane'), '"%s\\Orvane.exe"' % OTHER_DIR)
        # A rebuild of the same version is a product of its own, and
        # replaces the installed one too. (package, the Run value before,
        # after)
        for package, run_value, after in [
                ('Orvane-2.msi', self.REMOVED, self.REMOVED),
                # Windows Installer never removes the value of a component
                # without a GUID, and would keep the user's; Wine's msiexec
                # removes it with the old version
                # (docs/windows-behaviour.md). Either way the upgrade
                # does not write it again.
                ('Orvane-2-rebuilt.msi', self.CHANGED, None)]:
            with self.subTest(package=package, run_value=run_value):
                self.set_run_value(run_value)
                windows_before = len(self.display.watch.mapped())

                self.install(*msi_install(package), folder=OTHER_DIR)

                registrations = self.msi_registrations()
                self.assertEqual([entry.get('DisplayVersion') for entry in registrations.values()],
                                 ['2.0.0'], 'one Orvane registered')
                product = wine.values(PRODUCT_KEY)
                self.assertIsNotNone(product, 'the product key is there')
                self.assertEqual(msi_registration(product),
                                 APPS_KEY + '\\' + list(registrations)[0])
                self.assertFalse(os.path.exists(wine.path(INSTALL_DIR)), 'nothing elsewhere')
                self.assertEqual(wine.values(RUN_KEY).get('Orvane'), after)
                # The tool's removal mode, had it run while the old build
                # was removed, would have shown its console window.
                self.assertWindows(0, since=windows_before)

        with self.subTest('an older version over a newer one'):
            registrations = self.msi_registrations()
            status, _ = wine.run(*msi_install('Orvane.msi'))
            wine.wait_until_all_ended()
            self.assertNotEqual(status, 0)
            self.assertEqual(self.msi_registrations(), registrations)

        self.assertUninstalledByTheTool()
        self.assertEqual(self.msi_registrations(), {})


class CallerPitfallTest(InstallerTestCase):
    """What surprises an installer engineer calling the tool, each in its
    smallest case; the README's advice rests on these."""

    def test_nsis_in_place_switch_does_not_survive_the_backslash_rewrite(self):
        # NSIS takes _?= only with a path of backslashes; the tool passes
        # C:/Program Files (x86)/... and the uninstaller removes nothing.
        for arguments, removed in [('/S', True), ('/S _?=' + INSTALL_DIR, False)]:
            with self.subTest(arguments):
                self.reset()
                self.install(*NSIS.install)
                self.set_uninstall_args(arguments)

                self.run_tool()

                self.assertEqual(self.installed_files(), [] if removed else INSTALLED_FILES)
                self.assertEqual('Orvane' in self.wine.values(RUN_KEY), not removed)

    def test_execwait_shows_a_console_window_and_nsexec_does_not(self):
        for call, windows in [('ExecWait', 1), ('nsExec', 0)]:
            with self.subTest(call):
                self.reset()
                self.wine.reg('add', RUN_KEY, '/v', 'StartToolProbe', '/d', 'x', '/f', view=32)

                status, output = self.wine.run(INSTALLERS + r'\StartTool-%s.exe' % call, '/S')
                self.wine.wait_until_all_ended()

                self.assertEqual((status, output), (0, ''))
                self.assertNotIn('StartToolProbe', self.wine.values(RUN_KEY), 'the tool ran')
                self.assertWindows(windows)

    def test_nsis_uninstaller_without_silent_switch_shows_its_dialog(self):
        # The tool starts the uninstaller hidden, but the copy that the
        # uninstaller starts of itself shows its windows.
        self.reset()
        self.install(*NSIS.install)
        self.set_uninstall_args('')
        already = len(self.display.watch.mapped())

        status, output = self.wine.run(TOOL)
        mapped = self.display.watch.wait_for_window(already, timeout=STEP_TIMEOUT)
        self.wine.end_all()

        self.assertEqual((status, output), (0, ''))
        self.assertEqual(len(mapped[already:]), 1, 'windows mapped: %s' % mapped[already:])
        self.assertIn('Orvane Uninstall: Confirmation', mapped[already])
        self.assertEqual(self.installed_files(), INSTALLED_FILES, 'waiting for a click')

    def test_a_64_bit_package_is_seen_only_with_its_product_key_in_the_32_bit_view(self):
        program = r'C:\Program Files\Kestrova\Orvane\Orvane.exe'
        # (package, the view its product key lands in)
        for package, view in [('Orvane64-view32.msi', 32), ('Orvane64.msi', 64)]:
            with self.subTest(package):
                self.reset()
                wine = self.wine
                status, output = wine.run(*msi_install(package))
                wine.wait_until_all_ended()
                self.assertEqual((status, output), (0, ''))
                self.assertEqual([wine.values(PRODUCT_KEY, v) is not None for v in [32, 64]],
                                 [view == 32, view == 64], 'written to the %d-bit view' % view)
                before = self.registry()

                # The package does not ship the tool; an installer's copy runs.
                self.run_tool(tool=INSTALLERS + r'\KesOrvCleanup.exe')

                if view == 32:
                    self.assertEqual(self.msi_registrations(64), {}, 'uninstalled')
                    self.assertIsNone(wine.values(PRODUCT_KEY))
                else:
                    self.assertEqual(self.registry(), before)
                self.assertEqual(os.path.exists(wine.path(program)), view == 64)
                self.assertFalse(os.path.exists(wine.path(LOG)), 'nothing logged')

    def registry(self):
        """What the tool could read or change, in both views."""
        return {view: (self.wine.values(PRODUCT_KEY, view), self.wine.values(RUN_KEY, view),
                       self.msi_registrations(view)) for view in [32, 64]}

    def test_uninstall_keeps_the_working_folder_it_was_started_in(self):
        # msiexec inherits the tool's working folder and holds it, so
        # Windows Installer cannot remove it.
        for cwd, folder_left in [('C:\\', False), (INSTALL_DIR, True)]:
            with self.subTest(cwd):
                self.reset()
                self.install(*MSI.install)

                self.run_tool(cwd=cwd)

                self.assertEqual(self.installed_files(), [])
                self.assertEqual(os.path.exists(self.wine.path(INSTALL_DIR)), folder_left)


if __name__ == '__main__':
    InstallerTestCase.prefix, InstallerTestCase.installers = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
