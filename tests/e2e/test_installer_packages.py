"""Both packages read back with msiinfo (the x86 one cannot be installed here): the version in the package,
its files and the programs' version resources; the driver's asInvoker manifest; the service entry and its
restart on any failure; the shortcuts onto the tool's program names; the settings file and its copy
kept; the order of the actions around the driver, the wait for it never undoing the install; icacls of the
right bitness granting the Users group read and write of config.ini and its copy only."""

import os
import re
import subprocess
from pathlib import Path

from wine_harness import MissingWindowsBinaries, check, run_test

BUILD = Path(__file__).resolve().parents[2] / "build"
PACKAGES = {  # build folder: suffix, summary template, system folder of the package's bitness
    Path(os.environ.get("VELNO_WINDOWS_BIN", BUILD / "windows" / "bin")).parent: ("x64", "x64;1033", "System64Folder"),
    BUILD / "windows-i686": ("x86", "Intel;1033", "SystemFolder"),
}
SHORTCUTS = {"Calibrate this screen": "Adjust_single_standard.exe", "Calibrate this screen twice":
             "Adjust_standard_double.exe", "Calibrate the second screen": "Adjust_single_extend.exe",
             "Calibrate the second screen twice": "Adjust_extend_double.exe",
             "Calibrate both screens": "Adjust_standard_extend_double.exe", "Check the calibration":
             "Adjust_single_standard.exe", "Velno settings": "VelnoDriver.exe"}
ARGUMENTS = {"Check the calibration": "/check", "Velno settings": "/settings"}
ACTION_ORDER = ["InstallInitialize", "RemoveExistingProducts", "StopServices", "WaitForDriverExit", "DeleteServices",
                "RemoveFiles", "InstallFiles", "GrantUsersWriteSettings", "GrantUsersWriteSettingsCopy", "InstallServices",
                "SetServiceFailureActions", "SetServiceFailureFlag", "StartServices", "InstallFinalize"]
SETTINGS_FILES = ("config.ini", "config.copy.ini")
CONTINUE_ON_FAILURE = 64  # a custom action type's bit: its exit code is logged, the install goes on


def rows(msi, table, key, *columns):
    """{key: (columns...)} of one table (msiinfo export: names, types, key line, then tab-separated rows)."""
    lines = subprocess.run(["msiinfo", "export", msi, table], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    names = lines[0].split("\t")
    records = [dict(zip(names, line.split("\t"))) for line in lines[3:] if line]
    return {r[key]: r[columns[0]] if len(columns) == 1 else tuple(r[c] for c in columns) for r in records}


def resource_version(program):
    """ProductVersion of a program's version resource: the UTF-16LE key, padding, then the value."""
    data = program.read_bytes()
    at = data.find("ProductVersion\0".encode("utf-16-le"))
    return data[at + 30:at + 80].decode("utf-16-le", "replace").strip("\0").split("\0")[0] if at >= 0 else None


def check_package(msi, template, system_folder, version):
    summary = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True).stdout
    check(f"Template: {template}" in summary, f"{msi.name}: summary without Template: {template}:\n{summary}")
    product_version = rows(msi, "Property", "Property", "Value")["ProductVersion"]
    check(product_version == version, f"{msi.name}: ProductVersion {product_version}, expected {version}")
    files = rows(msi, "File", "FileName", "Version", "Component_")
    file_versions = {name: file_version for name, (file_version, _) in files.items()}
    check(file_versions == {name: "" if name in SETTINGS_FILES else f"{version}.0" for name in files},
          f"{msi.name}: file versions {file_versions}")
    resources = {program: resource_version(msi.parent / "bin" / program)
                 for program in ("VelnoDriver.exe", "Velno.dll", "Adjust.exe")}
    check(set(resources.values()) == {version}, f"{msi.name}: version resources {resources}")
    for name in SETTINGS_FILES:
        settings = int(rows(msi, "Component", "Component", "Attributes")[files[name][1]])
        check(settings & (16 | 128) == 16 | 128, f"{name} is not Permanent and NeverOverwrite: {settings}")
    services = rows(msi, "ServiceInstall", "Name", "DisplayName", "ServiceType", "StartType", "StartName", "Component_")
    check(services == {"VelnoDriver": ("VelnoDriver", "16", "2", "", files["VelnoDriver.exe"][1])},
          f"{msi.name}: ServiceInstall {services}")
    shortcuts = rows(msi, "Shortcut", "Name", "Target")
    check(shortcuts == {name: f"[#{exe}]" for name, exe in SHORTCUTS.items()}, f"{msi.name}: shortcuts {shortcuts}")
    arguments = rows(msi, "Shortcut", "Name", "Arguments")
    check(arguments == {name: ARGUMENTS.get(name, "") for name in SHORTCUTS}, f"{msi.name}: arguments {arguments}")
    check(set(SHORTCUTS.values()) <= set(files), f"{msi.name}: shortcut targets missing from {sorted(files)}")
    sequence = rows(msi, "InstallExecuteSequence", "Action", "Sequence")
    check(sorted(ACTION_ORDER, key=lambda action: int(sequence[action])) == ACTION_ORDER,
          f"{msi.name}: action order {sequence}")
    actions = rows(msi, "CustomAction", "Action", "Type", "Target")
    check(actions["LocateIcacls"][1] == f"[{system_folder}]icacls.exe",
          f"{msi.name}: icacls from {actions['LocateIcacls']}")
    for action, name in (("GrantUsersWriteSettings", "config.ini"), ("GrantUsersWriteSettingsCopy", "config.copy.ini")):
        check(actions[action][1] == f'"[INSTALLDIR]{name}" /grant *S-1-5-32-545:(R,W)',
              f"{msi.name}: {name}'s grant {actions[action]}")
    check(actions["LocateSc"][1] == f"[{system_folder}]sc.exe" and actions["SetServiceFailureActions"][1] ==
          "failure VelnoDriver reset= 86400 actions= restart/5000/restart/5000/restart/5000" and
          actions["SetServiceFailureFlag"][1] == "failureflag VelnoDriver 1",
          f"{msi.name}: failure actions {actions['LocateSc']} {actions['SetServiceFailureActions']} "
          f"{actions['SetServiceFailureFlag']}")
    rolls_back = [name for name in ("WaitForDriverExit", "SetServiceFailureActions", "SetServiceFailureFlag")
                  if not int(actions[name][0]) & CONTINUE_ON_FAILURE]
    check(not rolls_back, f"{msi.name}: actions whose failure undoes the install: {rolls_back}")
    manifest = (msi.parent / "bin" / "VelnoDriver.exe").read_bytes()
    check(re.search(rb'<requestedExecutionLevel level="asInvoker"', manifest),
          f"{msi.name}: VelnoDriver.exe has no asInvoker manifest")


def main():
    version = os.environ["VELNO_VERSION"]
    packages = {folder / f"Velno-{version}-{arch}.msi": rest for folder, (arch, *rest) in PACKAGES.items()}
    missing = [str(msi) for msi in packages if not msi.is_file()]
    if missing:
        raise MissingWindowsBinaries(f"not built: {missing}")
    for msi, details in packages.items():
        check_package(msi, *details, version)
        print(f"{msi.name}: {msi.stat().st_size} bytes")


if __name__ == "__main__":
    run_test(main)
