#!/usr/bin/python3
"""Checks the sample MSI packages' tables for what Windows Installer
enforces and Wine's msiexec lets pass, and for what the samples promise.

usage: check_msi.py INSTALLERS
  INSTALLERS: the folder holding Orvane.msi (version 1.0.0), Orvane-2.msi
  and Orvane-2-rebuilt.msi (two builds of 2.0.0) and Orvane64.msi.

One row per property; every row is checked and printed, and the exit
status is 1 when any of them fails. Reads the tables with msitools'
msiinfo.
"""
import os
import shutil
import subprocess
import sys

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
    custom_actions = {row['Action']: int(row['Type']) for row in table(package, 'CustomAction')}
    registry = {row['Name']: row for row in table(package, 'Registry')}
    components = {row['Component']: int(row['Attributes']) for row in table(package, 'Component')}
    properties = {row['Property']: row['Value'] for row in table(package, 'Property')}
    upgrades = table(package, 'Upgrade')
    launch_conditions = [row['Condition'] for row in table(package, 'LaunchCondition')]

    def between(action, first, last):
        return position[first] < position.get(action, -1) < position[last]

    def product(name):
        return {row['Property']: row['Value']
                for row in table(os.path.join(folder, name), 'Property')}

    second, rebuilt = product('Orvane-2.msi'), product('Orvane-2-rebuilt.msi')
    deferred = [action for action, kind in custom_actions.items() if kind & DEFERRED]
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
        ('the 64-bit package writes its product key to the 64-bit view',
         {row['Component']: int(row['Attributes'])
          for row in table(os.path.join(folder, 'Orvane64.msi'), 'Component')}['ProductKey']
         & COMPONENT_64_BIT),
    ]
    failed = 0
    for description, ok in rows:
        print(('ok    ' if ok else 'FAIL  ') + description)
        failed += not ok
    print('%d of %d properties hold' % (len(rows) - failed, len(rows)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
