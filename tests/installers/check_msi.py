#!/usr/bin/python3
"""Checks the sample MSI packages' tables for what Windows Installer
enforces and Wine's msiexec lets pass, and for what the samples promise.

usage: check_msi.py INSTALLERS
  INSTALLERS: the folder holding Orvane.msi (version 1.0.0), Orvane-2.msi
  and Orvane-2-rebuilt.msi (two builds of 2.0.0), and the 64-bit packages
  Orvane64.msi (the product key in the 64-bit view) and
  Orvane64-view32.msi (in the 32-bit view).

One row per property; every row is checked and printed, and the exit
status is 1 when any of them fails. Reads the tables with msitools'
msiinfo.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import tool_paths  # noqa: E402  (where the tool works, said once for every test)

DEFERRED = 0x400                # msidbCustomActionTypeInScript
COMPONENT_64_BIT = 0x100        # msidbComponentAttributes64bit
VERSION_MIN_INCLUSIVE = 0x100   # msidbUpgradeAttributesVersionMinInclusive
ONLY_DETECT = 0x2               # msidbUpgradeAttributesOnlyDetect


def table(package, name):
    """A table's rows as dictionaries, by the column names msiinfo gives."""
    text = subprocess.run(['msiinfo', 'export', package, name], check=True,
                          capture_output=True, text=True).stdout
    lines = text.split('\r\n') if '\r\n' in text else text.split('\n')
    columns = lines[0].split('\t')
    return [dict(zip(columns, line.split('\t'))) for line in lines[3:] if line]


def main():
    if not shutil.which('msiinfo'):
        sys.exit("msiinfo is missing: install Debian's package msitools (scripts/install-deps.sh)")
    folder = sys.argv[1]
    package = os.path.join(folder, 'Orvane.msi')
    sequence = {row['Action']: row for row in table(package, 'InstallExecuteSequence')}
    position = {action: int(row['Sequence']) for action, row in sequence.items()}
    ui_sequence = {row['Action']: row for row in table(package, 'InstallUISequence')}
    custom_actions = {row['Action']: row for row in table(package, 'CustomAction')}
    features = {row['Feature']: int(row['Level']) for row in table(package, 'Feature')}
    feature_of = {row['Component_']: row['Feature_']
                  for row in table(package, 'FeatureComponents')}
    searches = {row['Property']: row['Signature_'] for row in table(package, 'AppSearch')}
    locators = {row['Signature_']: row for row in table(package, 'RegLocator')}
    registry = {row['Name']: row for row in table(package, 'Registry')}
    components = {row['Component']: int(row['Attributes']) for row in table(package, 'Component')}
    properties = {row['Property']: row['Value'] for row in table(package, 'Property')}
    upgrades = table(package, 'Upgrade')
    launch_conditions = [row['Condition'] for row in table(package, 'LaunchCondition')]

    def between(action, first, last, rows=sequence):
        place = {name: int(row['Sequence']) for name, row in rows.items()}
        return place[first] < place.get(action, -1) < place[last]

    def product(name):
        return {row['Property']: row['Value']
                for row in table(os.path.join(folder, name), 'Property')}

    def product_key_is_64_bit(name):
        return {row['Component']: int(row['Attributes'])
                for row in table(os.path.join(folder, name), 'Component')
                }['ProductKey'] & COMPONENT_64_BIT

    def on_upgrade_before_costing(action, rows):
        return (between(action, 'FindRelatedProducts', 'CostFinalize', rows)
                and rows[action]['Condition'] == 'ORVANE_INSTALLED')

    second, rebuilt = product('Orvane-2.msi'), product('Orvane-2-rebuilt.msi')
    # The action that sets INSTALLLEVEL, and the level it sets.
    level_actions = [row for row in custom_actions.values() if row['Source'] == 'INSTALLLEVEL']
    upgrade_level = int(level_actions[0]['Target']) if len(level_actions) == 1 else None
    installed_folder = locators.get(searches.get('INSTALLDIR'), {})
    deferred = [action for action, row in custom_actions.items()
                if int(row['Type']) & DEFERRED]
    detect_all = [row for row in upgrades if row['VersionMin'] == '0.0.0'
                  and row['VersionMax'] == '' and int(row['Attributes']) == VERSION_MIN_INCLUSIVE]
    secure = properties.get('SecureCustomProperties', '').split(';')
    rows = [
        # Windows Installer fails the whole uninstall with error 2762 when a
        # deferred action lies outside the script; Wine runs it anyway.
        ('every deferred custom action lies between InstallInitialize and InstallFinalize',
         deferred and all(between(action, 'InstallInitialize', 'InstallFinalize')
                          for action in deferred)),
        ('RemoveAutostart runs before RemoveFiles, while the tool is on disk',
         between('RemoveAutostart', 'InstallInitialize', 'RemoveFiles')),
        ('RemoveAutostart runs on a real uninstall only, not when an upgrade removes the old build',
         sequence.get('RemoveAutostart', {}).get('Condition')
         == 'REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE'),
        ('RemoveExistingProducts removes the old build after InstallValidate, before installing',
         between('RemoveExistingProducts', 'InstallValidate', 'InstallInitialize')),
        ('FindRelatedProducts finds the old build before LaunchConditions checks it',
         position.get('FindRelatedProducts', 10**6) < position.get('LaunchConditions', -1)),
        ('every installed version, the same one rebuilt included, is found for upgrading',
         len(detect_all) == 1 and detect_all[0]['ActionProperty'] in secure),
        ('a newer version stops the install',
         any(int(row['Attributes']) & ONLY_DETECT and row['VersionMin'] == '1.0.0'
             and 'NOT %s' % row['ActionProperty'] in launch_conditions for row in upgrades)),
        ('UninstallString is msiexec.exe by its full path',
         registry['UninstallString']['Value'] == '[SystemFolder]msiexec.exe'),
        ('UninstallArgs removes the product without a window or a restart',
         registry['UninstallArgs']['Value'] == '/x [ProductCode] /qn /norestart'),
        ('the product key and the Run value go to the 32-bit view',
         not components['ProductKey'] & COMPONENT_64_BIT
         and not components['Autostart'] & COMPONENT_64_BIT),
        ('two builds of one version have product codes of their own',
         second['ProductVersion'] == '2.0.0' == rebuilt['ProductVersion']
         and second['ProductCode'] != rebuilt['ProductCode']),
        # Windows Installer compares the first three fields only.
        ('every version has three fields',
         all(len(p['ProductVersion'].split('.')) == 3 for p in [properties, second, rebuilt])),
        ('a folder outside the program files folder, or leading out with .., stops the install',
         'Installed OR NOT INSTALLDIR OR (INSTALLDIR ~<< ProgramFilesFolder'
         ' AND NOT (INSTALLDIR >< ".."))' in launch_conditions),
        ('an upgrade installs in the folder that the product key records',
         installed_folder.get('Key') == tool_paths.PRODUCT_KEY
         and installed_folder.get('Name') == 'InstallLocation'
         and registry['InstallLocation']['Value'] == '[INSTALLDIR]'),
        ('the Run value is written on a first install only: its feature is above the level '
         'that an upgrade installs at, set before costing in both sequences',
         upgrade_level is not None
         and upgrade_level < features[feature_of['Autostart']]
         <= int(properties.get('INSTALLLEVEL', 1))
         and all(features[feature_of[c]] <= upgrade_level
                 for c in ['Program', 'Cleanup', 'ProductKey'])
         and on_upgrade_before_costing(level_actions[0]['Action'], sequence)
         and on_upgrade_before_costing(level_actions[0]['Action'], ui_sequence)),
        ('Apps and Features offers neither Change nor Repair',
         properties.get('ARPNOMODIFY') == '1' and properties.get('ARPNOREPAIR') == '1'),
        ('the 64-bit package with a 32-bit product key writes it to the 32-bit view',
         not product_key_is_64_bit('Orvane64-view32.msi')),
        ('the 64-bit package of the mistake writes its product key to the 64-bit view',
         product_key_is_64_bit('Orvane64.msi')),
    ]
    failed = 0
    for description, ok in rows:
        print(('ok    ' if ok else 'FAIL  ') + description)
        failed += not ok
    print('%d of %d properties hold' % (len(rows) - failed, len(rows)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
