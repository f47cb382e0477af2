#!/usr/bin/env python3
"""Builds the Velno package from installer/Velno.wxs with wixl, then sets what wixl cannot write.

    build_msi.py --arch x64 --version 1.0.0 --bin-dir build/windows/bin \
                 --wait-helper build/windows/bin/WaitForDriverExit.exe --output Velno-1.0.0-x64.msi

One version gives one product code (a name-based UUID of version and architecture), so building the same
version twice gives the same product, and a higher version upgrades it in place.
"""

import argparse
import shutil
import subprocess
import sys
import tempfile
import uuid
from pathlib import Path

WXS = Path(__file__).with_name("Velno.wxs")
PRODUCT_CODE_NAMESPACE = uuid.UUID("0b9d3f55-3c1e-4f4e-a2c7-8e51d4c7a6b2")
# Per architecture: Win64 of the components, the Program Files folder, the system folder whose
# programs match the package's (SystemFolder is the 32-bit one, SysWOW64, on 64-bit Windows).
ARCHITECTURES = {"x64": ("yes", "ProgramFiles64Folder", "System64Folder"),
                 "x86": ("no", "ProgramFilesFolder", "SystemFolder")}

# Custom action types (the kind of action) and flags (when and as whom it runs).
EXE_IN_BINARY_TABLE = 2
EXE_NAMED_BY_PROPERTY = 50
SET_PROPERTY = 51
CONTINUE = 64  # the action's exit code is logged and the install goes on
DEFERRED = 1024
NO_IMPERSONATE = 2048  # runs as LocalSystem, like the rest of a per-machine install

# Standard sequence numbers the actions below are placed by.
COST_FINALIZE = 1000
STOP_SERVICES = 1900
INSTALL_FILES = 4000
INSTALL_SERVICES = 5800

HKLM = 2  # a Registry row's root
EVENT_SOURCE_KEY = r"SYSTEM\CurrentControlSet\Services\EventLog\Application\VelnoDriver"

# What wixl cannot write, applied to the package it built.
POST_BUILD_QUERIES = (
    # The settings file and its copy are never overwritten when they exist (a reinstall or an upgrade keeps
    # the calibration) and never removed (the uninstall keeps them: they are the user's data). Permanent (16) |
    # NeverOverwrite (128), keeping the 64-bit flag (256) wixl sets on an x64 package's components.
    "UPDATE `Component` SET `Attributes` = {settings_attributes} WHERE `Component` = 'Settings' OR "
    "`Component` = 'SettingsCopy'",
    # The programs and the library carry the build's version (their version resources): Windows
    # Installer's file versioning compares it, an unversioned file only by dates.
    "UPDATE `File` SET `Version` = '{file_version}' WHERE `File` <> 'config.ini' AND `File` <> 'config.copy.ini'",
    # wixl schedules RemoveExistingProducts after InstallFinalize, where the old product's uninstall
    # would stop and delete the service the new one has just started. Right after InstallInitialize
    # (1500) the old product is gone before anything new is installed.
    "UPDATE `InstallExecuteSequence` SET `Sequence` = 1501 WHERE `Action` = 'RemoveExistingProducts'",
    # Once the service is stopped, wait until it and its user-session driver have ended before files
    # are replaced or removed (see installer/wait_for_driver_exit_win32.cpp). A driver that could not be
    # ended is no reason to undo an install or a removal: its exit code is logged and the install goes on.
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('WaitForDriverExit', "
    f"{EXE_IN_BINARY_TABLE | CONTINUE | DEFERRED | NO_IMPERSONATE}, 'WaitForDriverExit', "
    "'\"[INSTALLDIR]VelnoDriver.exe\"')",
    f"INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WaitForDriverExit', {STOP_SERVICES + 50})",
    # The user-session driver runs as the logged-on user and saves the calibration into config.ini
    # beside itself, which Program Files does not let a standard user do: the Users group (S-1-5-32-545,
    # the same in every language) may read and write that one file's data, but neither delete it nor
    # change its access list (a deleted file could not be made again by a standard user).
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('LocateIcacls', "
    f"{SET_PROPERTY}, 'ICACLS', '[{{system_folder}}]icacls.exe')",
    f"INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('LocateIcacls', {COST_FINALIZE + 10})",
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('GrantUsersWriteSettings', "
    f"{EXE_NAMED_BY_PROPERTY | DEFERRED | NO_IMPERSONATE}, 'ICACLS', "
    "'\"[INSTALLDIR]config.ini\" /grant *S-1-5-32-545:(R,W)')",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('GrantUsersWriteSettings', "
    f"'NOT REMOVE~=\"ALL\"', {INSTALL_FILES + 10})",
    # The same for the copy that every save writes first (calibration/settings_copy.h).
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('GrantUsersWriteSettingsCopy', "
    f"{EXE_NAMED_BY_PROPERTY | DEFERRED | NO_IMPERSONATE}, 'ICACLS', "
    "'\"[INSTALLDIR]config.copy.ini\" /grant *S-1-5-32-545:(R,W)')",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('GrantUsersWriteSettingsCopy', "
    f"'NOT REMOVE~=\"ALL\"', {INSTALL_FILES + 11})",
    # The service manager restarts a failed service after 5 s, three times, and forgets the failures
    # after a day (the same as VelnoDriver.exe /c sets). Without them the pen would be gone until the
    # next boot; their lack is no reason to undo the install.
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('LocateSc', "
    f"{SET_PROPERTY}, 'SC', '[{{system_folder}}]sc.exe')",
    f"INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('LocateSc', {COST_FINALIZE + 11})",
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetServiceFailureActions', "
    f"{EXE_NAMED_BY_PROPERTY | CONTINUE | DEFERRED | NO_IMPERSONATE}, 'SC', "
    "'failure VelnoDriver reset= 86400 actions= restart/5000/restart/5000/restart/5000')",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetServiceFailureActions', "
    f"'NOT REMOVE~=\"ALL\"', {INSTALL_SERVICES + 10})",
    # And the restarts apply when the service ends with an exit code of its own, not only after a crash.
    # wixl writes no MsiServiceConfig row and Wine's msi runs none, so Windows' own sc sets it; Wine's sc
    # knows no failureflag (the action then fails there, and the install goes on).
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetServiceFailureFlag', "
    f"{EXE_NAMED_BY_PROPERTY | CONTINUE | DEFERRED | NO_IMPERSONATE}, 'SC', 'failureflag VelnoDriver 1')",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetServiceFailureFlag', "
    f"'NOT REMOVE~=\"ALL\"', {INSTALL_SERVICES + 11})",
    # The event source "VelnoDriver" of the log "Application", with the driver component: the words of its
    # events are VelnoDriver.exe's message table (an expandable string, "#%"). The key goes with the
    # component ("-"). wixl writes neither a key's removal nor an expandable string.
    *(f"INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`) VALUES ('{row}', "
      f"{HKLM}, '{EVENT_SOURCE_KEY}', {value}, 'Driver')"
      for row, value in (("EventSource", "'-', ''"),
                         ("EventSourceMessages", "'EventMessageFile', '#%[#VelnoDriver.exe]'"),
                         ("EventSourceTypes", "'TypesSupported', '#7'"))),
)

PACKAGED_PROGRAMS = ("VelnoDriver.exe", "Velno.dll", "Adjust.exe")
EMPTY_SETTINGS = b"\xff\xfe"  # UTF-16LE byte-order mark: the driver then writes the file in UTF-16LE


def product_code(version, arch):
    return str(uuid.uuid5(PRODUCT_CODE_NAMESPACE, f"Velno {version} {arch}")).upper()


def run(argv, cwd=None):
    completed = subprocess.run(argv, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if completed.returncode != 0:
        sys.exit(f"{' '.join(map(str, argv))} failed ({completed.returncode}):\n{completed.stdout}")


def build(arch, version, bin_dir, wait_helper, output):
    win64, program_files, system_folder = ARCHITECTURES[arch]
    output.parent.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        # wixl finds sources only by relative names: stage them under the names Velno.wxs uses.
        staged = Path(scratch)
        for name in PACKAGED_PROGRAMS:
            shutil.copy2(bin_dir / name, staged / name)
        shutil.copy2(wait_helper, staged / "WaitForDriverExit.exe")
        for settings in ("config.ini", "config.copy.ini"):
            (staged / settings).write_bytes(EMPTY_SETTINGS)
        defines = {"Version": version, "ProductCode": product_code(version, arch), "Win64": win64,
                   "ProgramFiles": program_files}
        run(["wixl", "-a", arch, "-o", output.resolve(),
             *[arg for name, value in defines.items() for arg in ("-D", f"{name}={value}")], WXS], cwd=staged)
    settings_attributes = 16 | 128 | (256 if win64 == "yes" else 0)
    for query in POST_BUILD_QUERIES:
        run(["msibuild", output, "-q", query.format(settings_attributes=settings_attributes,
                                                    file_version=f"{version}.0", system_folder=system_folder)])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--arch", choices=sorted(ARCHITECTURES), required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--bin-dir", type=Path, required=True)
    parser.add_argument("--wait-helper", type=Path, required=True)
    parser.add_argument("--output", type=Path, required=True)
    args = parser.parse_args()
    build(args.arch, args.version, args.bin_dir, args.wait_helper, args.output)


if __name__ == "__main__":
    main()
