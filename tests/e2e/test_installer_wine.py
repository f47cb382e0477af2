"""The x64 package under Wine, silently, from install to removal. Installed: the service runs, its user-session
driver injects a stroke from the simulated board, each Start-menu shortcut names the tool under its program
name, config.ini and its copy config.copy.ini are empty and icacls ran on each (Wine's icacls changes no rights
but names its arguments on a debug channel), the service's restart on failure was set (Wine's service manager
keeps no failure actions, so only the action's run shows) and the event source names the installed program. A
calibration then saves config.ini and its copy; installing the same package again, then a higher version, leaves
that product alone with one service, a new driver that injects, and both files byte for byte. The removal leaves
no service, event source, driver or file but those two."""

import os
import re
import subprocess
import sys
from pathlib import Path

import wine_prefix
from calibration_session import (CalibrationSession, Touch, board_position, expected_settings, grid_targets,
                                 parse_settings, stroke_lines, strokes_at_receiver, touch_lines)
from test_installer_packages import SHORTCUTS
from wine_harness import (SOURCE_ROOT, MissingWindowsBinaries, WineFixture, check, check_eventually, read_lines,
                          run_test, windows_bin_dir, windows_path)

BINARIES = ["receiver.exe", "adjust_peer.exe", "Velno.dll"]
INSTALL_DIR = Path("drive_c/Program Files/Velno")
START_MENU = "drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velno"
INSTALLED = {"VelnoDriver.exe", "Velno.dll", "config.ini", "config.copy.ini", *SHORTCUTS.values()}
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\VelnoDriver"
ICACLS_TRACE = r'"C:\\\\Program Files\\\\Velno\\\\{}" "/grant" "\*S-1-5-32-545:\(R,W\)"'
EVENT_SOURCE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VelnoDriver"


def packages(run_dir):
    """The build's package and a higher version built here from the same programs."""
    base, version = Path(os.environ.get("VELNO_MSI", "")), os.environ.get("VELNO_VERSION", "")
    if not base.is_file():
        raise MissingWindowsBinaries(f"no package {base}: build the windows preset")
    major, minor, patch = map(int, version.split("."))
    higher = run_dir / f"Velno-{major}.{minor}.{patch + 1}-x64.msi"
    subprocess.run([sys.executable, SOURCE_ROOT / "installer" / "build_msi.py", "--arch", "x64", "--version",
                    f"{major}.{minor}.{patch + 1}", "--bin-dir", windows_bin_dir(), "--wait-helper",
                    windows_bin_dir() / "WaitForDriverExit.exe", "--output", higher], check=True, timeout=120)
    return base, higher


def msiexec(wine, *args, log):
    """msiexec, silent with a verbose log; checks that it ends with InstallFinalize done (the test stops
    otherwise). Returns its stderr."""
    program = wine.run_windows("msiexec", *args, "/qn", "/l*v", windows_path(wine.logs / log), timeout=90,
                               env={"WINEDEBUG": "-all,fixme+icacls"})
    ended = re.findall(r"Action ended [\d:]+: (\w+)\. Return value (\d)", "\n".join(read_lines(wine.logs / log)))
    check(program.popen.returncode == 0 and ("InstallFinalize", "1") in ended,
          f"msiexec {' '.join(args)}: exit {program.popen.returncode}; the last actions: {ended[-6:]}", stop=True)
    return program.stderr_path.read_text(errors="replace"), dict(ended)


def driver_processes(wine):
    """{pid: "driver" (the user-session copy, " /service") or "service"} of the installed VelnoDriver.exe,
    found by the image Wine maps: the driver's command line shows " /service" alone."""
    image, found = str(wine.prefix / INSTALL_DIR / "VelnoDriver.exe"), {}
    for pid in wine_prefix.processes_with_environment([f"WINEPREFIX={wine.prefix}"]):
        try:
            if image in Path(f"/proc/{pid}/maps").read_text(errors="replace"):
                found[pid] = "driver" if b"/service" in Path(f"/proc/{pid}/cmdline").read_bytes() else "service"
        except OSError:
            continue
    return found


def registry(wine, key):
    """`reg query` of a key: its text, or None when the key does not exist."""
    program = wine.run_windows("reg", "query", key, timeout=30)
    return program.output() if program.popen.returncode == 0 else None


def products(wine):
    return re.findall(r"\\Uninstall\\(\{[0-9A-F-]+\})", registry(wine, r"HKLM\Software\Microsoft\Windows"
                                                                  r"\CurrentVersion\Uninstall") or "", re.I)


def check_installed(wine, session, msi, settings, previous_drivers, mark, then=()):
    """This product alone, one service with a new driver, the files, config.ini as it was; then a board
    that plays a stroke, which must reach the receiver, and the lines `then`. The stroke lands on the
    receiver with and without the calibration (uncalibrated: board units x 16)."""
    code = re.search(r"^ProductCode\t(\S+)", subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                                                             capture_output=True, text=True).stdout, re.M)[1]
    installed = products(wine)
    check(installed == [code] and registry(wine, SERVICE_KEY), f"{mark}: products {installed}, expected {code} and "
          "its service")
    files = {path.name for path in (wine.prefix / INSTALL_DIR).iterdir()}
    check(files == INSTALLED, f"{mark}: installed files {sorted(files)}")
    for name in ("config.ini", "config.copy.ini"):
        check((wine.prefix / INSTALL_DIR / name).read_bytes() == settings, f"{mark}: {name} changed")

    def settled():
        running = driver_processes(wine)
        return running if sorted(running.values()) == ["driver", "service"] and not set(running) & set(previous_drivers) \
            else None
    drivers = check_eventually(settled, 30, lambda: f"{mark}: not one new service and driver: "
                               f"{driver_processes(wine)}; before {previous_drivers}", stop=True)

    def strokes():
        try:
            return strokes_at_receiver(session.receiver_events_after(session.board_mark_time(mark)))
        except AssertionError:  # the board has not reached the mark yet
            return None
    session.start_board([*stroke_lines([(3500, 3000)], mark), *then], handshake_timeout_ms=30000)
    check_eventually(strokes, 45, lambda: f"{mark}: no stroke at the receiver")
    return drivers


def main():
    with WineFixture("installer", binaries=BINARIES) as wine:
        base, higher = packages(wine.run_dir)
        session = CalibrationSession(wine)
        session.settings_path = wine.prefix / INSTALL_DIR / "config.ini"
        session.start_receiver()  # its window keeps the desktop shell, and so the services, alive

        # Installed, the driver injects a stroke; then, with the same board, a calibration through it.
        tool_ready = wine.run_dir / "tool-ready"
        touches = [Touch(board_position(*target)) for target in grid_targets(4)]
        traces, ended = msiexec(wine, "/i", windows_path(base), log="install.log")
        for name in ("config.ini", "config.copy.ini"):
            check(re.search(ICACLS_TRACE.format(re.escape(name)), traces), f"icacls did not run on {name}")
        check(ended.get("SetServiceFailureActions") == "1", f"the failure actions were not set: {ended}")
        source = registry(wine, EVENT_SOURCE_KEY) or ""
        check(re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+C:\\Program Files\\Velno\\VelnoDriver\.exe", source),
              f"event source: {source}")
        drivers = check_installed(wine, session, base, b"\xff\xfe", {}, "installed",
                                  then=[f"wait-file {tool_ready} 60000", *touch_lines(touches)])
        [menu] = wine.prefix.glob(START_MENU)
        shortcuts = {path.stem: path.read_bytes() for path in menu.glob("*.lnk")}
        check(sorted(shortcuts) == sorted(SHORTCUTS), f"shortcuts {sorted(shortcuts)}")
        astray = [name for name, program in SHORTCUTS.items() if name in shortcuts
                  and program.encode() not in shortcuts[name] and program.encode("utf-16-le") not in shortcuts[name]]
        check(not astray, f"shortcuts that do not name their program: {astray}")

        session.start_tool(4)
        tool_ready.touch()
        session.wait_for_tool(timeout=45)
        session.wait_for_board(timeout=30)
        calibrated = session.settings_path.read_bytes()
        check(parse_settings(calibrated)[1] == expected_settings([t.measured() for t in touches], 0),
              f"config.ini after the calibration: {calibrated}")

        msiexec(wine, "/i", windows_path(base), log="reinstall.log")
        drivers = check_installed(wine, session, base, calibrated, drivers, "reinstalled")
        session.wait_for_board(timeout=30)
        msiexec(wine, "/i", windows_path(higher), log="upgrade.log")
        check_installed(wine, session, higher, calibrated, drivers, "upgraded")
        session.wait_for_board(timeout=30)

        msiexec(wine, "/x", windows_path(higher), log="uninstall.log")
        check_eventually(lambda: not driver_processes(wine), 10,
                         lambda: f"driver processes left: {driver_processes(wine)}")
        left = products(wine)
        check(registry(wine, SERVICE_KEY) is None and registry(wine, EVENT_SOURCE_KEY) is None and left == [],
              f"service, event source or products left: {left}")
        files = [path.name for path in (wine.prefix / INSTALL_DIR).iterdir()]
        check(sorted(files) == ["config.copy.ini", "config.ini"], f"files left: {files}")
        check(session.settings_path.read_bytes() == calibrated and
              session.settings_path.with_name("config.copy.ini").read_bytes() == calibrated,
              "the removal changed config.ini or its copy")
        check(not menu.exists(), "the Start-menu folder is still there")
        print(f"{base.name} {base.stat().st_size} bytes, {higher.name} {higher.stat().st_size} bytes")


if __name__ == "__main__":
    run_test(main)
