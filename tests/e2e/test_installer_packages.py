"""Both packages read back with msiinfo (the x86 one cannot be installed here): the version in the package,
its files and the programs' version resources; the service entry; the shortcuts onto the tool's program
names; the settings file kept; the order of the actions around the driver; icacls of the right bitness."""

import os
import subprocess
import sys
from pathlib import Path

BUILD = Path(__file__).resolve().parents[2] / "build"
PACKAGES = {  # build folder: suffix, summary template, system folder of the package's bitness
    Path(os.environ.get("VELNO_WINDOWS_BIN", BUILD / "windows" / "bin")).parent: ("x64", "x64;1033", "System64Folder"),
    BUILD / "windows-i686": ("x86", "Intel;1033", "SystemFolder"),
}
SHORTCUTS = {"Calibrate this screen": "Adjust_single_standard.exe", "Calibrate this screen twice":
             "Adjust_standard_double.exe", "Calibrate the second screen": "Adjust_single_extend.exe",
             "Calibrate the second screen twice": "Adjust_extend_double.exe",
             "Calibrate both screens": "Adjust_standard_extend_double.exe"}
ACTION_ORDER = ["InstallInitialize", "RemoveExistingProducts", "StopServices", "WaitForDriverExit", "DeleteServices",
                "RemoveFiles", "InstallFiles", "GrantUsersModifySettings", "StartServices", "InstallFinalize"]


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


def check(msi, template, system_folder, version):
    assert f"Template: {template}" in subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True).stdout
    assert rows(msi, "Property", "Property", "Value")["ProductVersion"] == version
    files = rows(msi, "File", "FileName", "Version", "Component_")
    for name, (file_version, _) in files.items():
        assert file_version == ("" if name == "config.ini" else f"{version}.0"), (name, file_version)
    for program in ("VelnoDriver.exe", "Velno.dll", "Adjust.exe"):
        assert resource_version(msi.parent / "bin" / program) == version, program
    settings = int(rows(msi, "Component", "Component", "Attributes")[files["config.ini"][1]])
    assert settings & (16 | 128) == 16 | 128, f"config.ini is not Permanent and NeverOverwrite: {settings}"
    assert rows(msi, "ServiceInstall", "Name", "DisplayName", "ServiceType", "StartType", "StartName", "Component_") \
        == {"VelnoDriver": ("VelnoDriver", "16", "2", "", files["VelnoDriver.exe"][1])}
    assert rows(msi, "Shortcut", "Name", "Target") == {name: f"[#{exe}]" for name, exe in SHORTCUTS.items()}
    assert set(SHORTCUTS.values()) <= set(files)
    sequence = rows(msi, "InstallExecuteSequence", "Action", "Sequence")
    assert sorted(ACTION_ORDER, key=lambda action: int(sequence[action])) == ACTION_ORDER, sequence
    assert rows(msi, "CustomAction", "Action", "Target")["LocateIcacls"] == f"[{system_folder}]icacls.exe"


def main():
    version = os.environ["VELNO_VERSION"]
    packages = {folder / f"Velno-{version}-{arch}.msi": rest for folder, (arch, *rest) in PACKAGES.items()}
    if not all(msi.is_file() for msi in packages):
        print(f"skipped: not built: {[str(msi) for msi in packages if not msi.is_file()]}", file=sys.stderr)
        return 77
    for msi, details in packages.items():
        check(msi, *details, version)
        print(f"{msi.name}: {msi.stat().st_size} bytes")
    print(f"{len(packages)} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
