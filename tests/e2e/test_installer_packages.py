"""Both packages (x64 from the windows build, x86 from windows-i686), read back with msiinfo: the
service entry, the Start-menu shortcuts onto the tool's program names, the version in the package and
in the programs' version resources, the settings file kept across upgrades and removal, and the order
of the actions that stop, wait for and start the driver."""

import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# Package suffix: build folder, Template of the summary, Program Files folder, system folder of its programs.
ARCHITECTURES = {
    "x64": (Path(os.environ.get("VELNO_WINDOWS_BIN", ROOT / "build" / "windows" / "bin")).parent, "x64;1033",
            "ProgramFiles64Folder", "System64Folder"),
    "x86": (ROOT / "build" / "windows-i686", "Intel;1033", "ProgramFilesFolder", "SystemFolder"),
}
SHORTCUTS = {
    "Calibrate this screen": "Adjust_single_standard.exe",
    "Calibrate this screen twice": "Adjust_standard_double.exe",
    "Calibrate the second screen": "Adjust_single_extend.exe",
    "Calibrate the second screen twice": "Adjust_extend_double.exe",
    "Calibrate both screens": "Adjust_standard_extend_double.exe",
}
VERSIONED_FILES = ["VelnoDriver.exe", "Velno.dll", *SHORTCUTS.values()]
# ServiceControl events: start on install (1), stop on install (2) and uninstall (32), delete on uninstall (128).
SERVICE_EVENTS = 1 | 2 | 32 | 128
COMPONENT_PERMANENT_NEVER_OVERWRITE = 16 | 128


def table(msi, name):
    """The rows of one table as dicts (msiinfo export: column names, types, key line, then the rows)."""
    text = subprocess.run(["msiinfo", "export", str(msi), name], check=True, capture_output=True,
                          text=True).stdout
    lines = text.split("\r\n") if "\r\n" in text else text.split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def summary(msi):
    text = subprocess.run(["msiinfo", "suminfo", str(msi)], check=True, capture_output=True, text=True).stdout
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


def resource_version(program):
    """The ProductVersion string of a program's version resource (UTF-16LE key, padding, value)."""
    data = program.read_bytes()
    at = data.find("ProductVersion\0".encode("utf-16-le"))
    assert at >= 0, f"{program} has no version resource"
    value = data[at + 30:at + 80].lstrip(b"\0")
    if len(value) % 2:
        value = b"\0" + value
    return value.decode("utf-16-le").split("\0", 1)[0]


def check_package(msi, template, program_files, system_folder, version, bin_dir):
    assert summary(msi)["Template"] == template, summary(msi)
    properties = {row["Property"]: row["Value"] for row in table(msi, "Property")}
    assert properties["ProductVersion"] == version, properties
    assert properties["ALLUSERS"] == "1", properties

    files = {row["File"]: row for row in table(msi, "File")}
    components = {row["Component"]: row for row in table(msi, "Component")}
    directories = {row["Directory"]: row for row in table(msi, "Directory")}
    component_of = {row["FileName"]: row["Component_"] for row in files.values()}
    assert sorted(component_of) == sorted([*VERSIONED_FILES, "config.ini"]), sorted(component_of)
    install_dir = {components[c]["Directory_"] for c in component_of.values()}
    assert install_dir == {"INSTALLDIR"}, install_dir
    assert directories["INSTALLDIR"]["DefaultDir"] == "Velno", directories["INSTALLDIR"]
    assert directories["INSTALLDIR"]["Directory_Parent"] == program_files, directories["INSTALLDIR"]
    for name in VERSIONED_FILES:
        assert files[name]["Version"] == f"{version}.0", files[name]
    for program in ("VelnoDriver.exe", "Velno.dll", "Adjust.exe"):
        assert resource_version(bin_dir / program) == version, f"{program}: {resource_version(bin_dir / program)}"
    settings = components[component_of["config.ini"]]
    assert int(settings["Attributes"]) & COMPONENT_PERMANENT_NEVER_OVERWRITE == COMPONENT_PERMANENT_NEVER_OVERWRITE, \
        settings
    assert files["config.ini"]["FileSize"] == "2", files["config.ini"]  # the UTF-16LE byte-order mark only

    [service] = table(msi, "ServiceInstall")
    assert (service["Name"], service["DisplayName"], service["Component_"]) == \
        ("VelnoDriver", "VelnoDriver", component_of["VelnoDriver.exe"]), service
    assert (int(service["ServiceType"]), int(service["StartType"]), service["StartName"]) == (0x10, 2, ""), service
    [control] = table(msi, "ServiceControl")
    assert control["Name"] == "VelnoDriver" and int(control["Event"]) == SERVICE_EVENTS, control

    shortcuts = table(msi, "Shortcut")
    assert {row["Name"]: row["Target"] for row in shortcuts} == \
        {name: f"[#{program}]" for name, program in SHORTCUTS.items()}, shortcuts
    menu = directories[shortcuts[0]["Directory_"]]
    assert (menu["DefaultDir"], menu["Directory_Parent"]) == ("Velno", "ProgramMenuFolder"), menu
    assert all(files[program]["FileName"] == program for program in SHORTCUTS.values())

    # The old product goes before anything new is installed; the service's files are replaced or removed
    # only once the driver has ended, and the settings file gets its rights once it is in place.
    sequence = {row["Action"]: int(row["Sequence"]) for row in table(msi, "InstallExecuteSequence")}
    order = ["InstallInitialize", "RemoveExistingProducts", "StopServices", "WaitForDriverExit", "DeleteServices",
             "RemoveFiles", "InstallFiles", "GrantUsersModifySettings", "StartServices", "InstallFinalize"]
    assert sorted(order, key=sequence.get) == order, {action: sequence.get(action) for action in order}
    # icacls of the package's own architecture: a 64-bit package's SystemFolder is SysWOW64.
    actions = {row["Action"]: row for row in table(msi, "CustomAction")}
    assert actions["LocateIcacls"]["Target"] == f"[{system_folder}]icacls.exe", actions["LocateIcacls"]


def main():
    version = os.environ.get("VELNO_VERSION")
    packages = {arch: (build / f"Velno-{version}-{arch}.msi", build / "bin")
                for arch, (build, *_) in ARCHITECTURES.items()}
    missing = [str(msi) for msi, _ in packages.values() if not msi.is_file()]
    if version is None or missing:
        print(f"skipped: not built: {missing or 'VELNO_VERSION unset'}", file=sys.stderr)
        return 77
    for arch, (msi, bin_dir) in packages.items():
        check_package(msi, *ARCHITECTURES[arch][1:], version, bin_dir)
        print(f"{msi.name}: {msi.stat().st_size} bytes")
    print(f"{len(packages)} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
