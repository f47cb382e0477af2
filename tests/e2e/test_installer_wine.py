"""The x64 package under Wine, silently, from install to removal. Installed, the service runs and its
user-session driver injects a stroke from the simulated board; every Start-menu shortcut points at the
tool under its program name; the settings file is created empty and the Users group is granted rights
on it. A calibration saves config.ini beside the installed driver; installing the same package again,
then a higher version, keeps one product and one service, brings the driver back (it injects again) and
keeps config.ini byte for byte. The removal leaves no service, no driver and no file but config.ini."""

import os
import re
import subprocess
import sys
import time
from pathlib import Path

from calibration_session import (CalibrationSession, Touch, board_position, expected_settings, grid_targets,
                                 parse_settings, stroke_lines, strokes_at_receiver, touch_lines)
from wine_harness import SOURCE_ROOT, MissingWindowsBinaries, WineFixture, read_lines, run_test, windows_bin_dir, \
    windows_path
import wine_prefix

BINARIES = ["receiver.exe", "adjust_peer.exe", "Velno.dll"]
INSTALL_DIR = Path("drive_c/Program Files/Velno")
PROGRAMS = {"VelnoDriver.exe", "Velno.dll", "Adjust_single_standard.exe", "Adjust_standard_double.exe",
            "Adjust_single_extend.exe", "Adjust_extend_double.exe", "Adjust_standard_extend_double.exe"}
SHORTCUTS = {
    "Calibrate this screen": "Adjust_single_standard.exe",
    "Calibrate this screen twice": "Adjust_standard_double.exe",
    "Calibrate the second screen": "Adjust_single_extend.exe",
    "Calibrate the second screen twice": "Adjust_extend_double.exe",
    "Calibrate both screens": "Adjust_standard_extend_double.exe",
}
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\VelnoDriver"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# Wine's icacls changes no rights but names its arguments on this debug channel: proof that the action ran.
ICACLS_TRACE = r'"C:\\\\Program Files\\\\Velno\\\\config.ini" "/grant" "\*S-1-5-32-545:M"'


def packages(run_dir):
    """The build's package and a higher version of it, built here from the same programs."""
    base = Path(os.environ.get("VELNO_MSI", ""))
    version = os.environ.get("VELNO_VERSION", "")
    if not base.is_file() or not version:
        raise MissingWindowsBinaries(f"no package {base} (VELNO_MSI, VELNO_VERSION): build the windows preset")
    major, minor, patch = map(int, version.split("."))
    higher = run_dir / f"Velno-{major}.{minor}.{patch + 1}-x64.msi"
    subprocess.run([sys.executable, SOURCE_ROOT / "installer" / "build_msi.py", "--arch", "x64", "--version",
                    f"{major}.{minor}.{patch + 1}", "--bin-dir", windows_bin_dir(), "--wait-helper",
                    windows_bin_dir() / "WaitForDriverExit.exe", "--output", higher], check=True, timeout=120)
    return base, higher


def product_code(msi):
    text = subprocess.run(["msiinfo", "export", str(msi), "Property"], check=True, capture_output=True,
                          text=True).stdout
    return re.search(r"^ProductCode\t(\S+)", text, re.M).group(1)


def msiexec(wine, *args, log):
    """Runs msiexec silently with a verbose log; the installation must succeed with no action failing."""
    program = wine.run_windows("msiexec", *args, "/qn", "/l*v", windows_path(wine.logs / log), timeout=90,
                               env={"WINEDEBUG": "-all,fixme+icacls"})
    text = "\n".join(read_lines(wine.logs / log))
    ended = re.findall(r"Action ended [^:]*:\d\d:\d\d: (\w+)\. Return value (\d)", text)
    assert program.popen.returncode == 0 and ("InstallFinalize", "1") in ended, \
        f"msiexec {' '.join(args)}: exit {program.popen.returncode}; the last actions: {ended[-6:]}"
    return text, program.stderr_path.read_text(errors="replace")


def driver_processes(wine):
    """The running processes of the installed VelnoDriver.exe as {pid: role}: "service" for the copy the
    service manager started, "driver" for the user-session copy ("/service"). Wine shows a process's
    Windows command line as its own, which for the driver is " /service" alone, so the program is found
    by the image Wine has mapped."""
    image = str(wine.prefix / INSTALL_DIR / "VelnoDriver.exe")
    found = {}
    for pid in wine_prefix.processes_with_environment([f"WINEPREFIX={wine.prefix}"]):
        try:
            mapped = image in Path(f"/proc/{pid}/maps").read_text(errors="replace")
            command = Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if mapped:
            found[pid] = "driver" if "/service" in command else "service"
    return found


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"after {timeout} s: {what}")
        time.sleep(0.05)
    return result


def wait_for_new_driver(wine, previous):
    """Waits until exactly one service and one user-session driver run, none of them one of `previous`."""
    def settled():
        running = driver_processes(wine)
        return running if sorted(running.values()) == ["driver", "service"] and not set(running) & set(previous) \
            else None
    return wait_for(settled, 30, f"one new service and driver (before: {previous}, now: {driver_processes(wine)})")


def registry_has(wine, key):
    return wine.run_windows("reg", "query", key, timeout=30).popen.returncode == 0


def installed_products(wine):
    output = wine.run_windows("reg", "query", UNINSTALL_KEY, timeout=30).output()
    return sorted(re.findall(r"\\Uninstall\\(\{[0-9A-F-]+\})", output, re.I))


def start_menu_folder(wine):
    return next((wine.prefix / "drive_c" / "users").glob("*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"),
                None) / "Velno"


def check_stroke(session, mark):
    """The driver, whoever started it, injects a stroke from a new simulated board. The place lands on
    the receiver's window with and without the calibration (uncalibrated, board units are scaled by 16)."""
    session.start_board(stroke_lines([(3500, 3000)], mark), handshake_timeout_ms=30000)
    session.wait_for_board(timeout=45)
    strokes = strokes_at_receiver(session.receiver_events_after(session.board_mark_time(mark)))
    assert len(strokes) == 1, f"{mark}: {len(strokes)} strokes at the receiver"


def check_installed(wine, session, msi, settings, previous_drivers, mark):
    """What every install, reinstall and upgrade leaves: this product alone, one service with one new
    driver that injects, the programs, and config.ini as it was."""
    install_dir = wine.prefix / INSTALL_DIR
    assert installed_products(wine) == [product_code(msi)], installed_products(wine)
    assert registry_has(wine, SERVICE_KEY), "no VelnoDriver service"
    assert {path.name for path in install_dir.iterdir()} == PROGRAMS | {"config.ini"}, sorted(install_dir.iterdir())
    assert (install_dir / "config.ini").read_bytes() == settings, f"config.ini is {(install_dir / 'config.ini').read_bytes()!r}"
    drivers = wait_for_new_driver(wine, previous_drivers)
    check_stroke(session, mark)
    return drivers


def main():
    with WineFixture("installer", binaries=BINARIES) as wine:
        base, higher = packages(wine.run_dir)
        install_dir = wine.prefix / INSTALL_DIR
        session = CalibrationSession(wine)
        session.start_receiver()  # its window keeps the desktop shell, and so the services, alive

        log, trace = msiexec(wine, "/i", windows_path(base), log="install.log")
        assert re.search(ICACLS_TRACE, trace), f"icacls did not run on config.ini:\n{trace}"
        drivers = check_installed(wine, session, base, b"\xff\xfe", {}, "installed")
        shortcuts = {path.stem: path.read_bytes() for path in start_menu_folder(wine).glob("*.lnk")}
        assert sorted(shortcuts) == sorted(SHORTCUTS), sorted(shortcuts)
        for name, program in SHORTCUTS.items():
            assert program.encode() in shortcuts[name] or program.encode("utf-16-le") in shortcuts[name], \
                f"the shortcut {name!r} does not start {program}"

        # A calibration through the installed driver: config.ini beside it gets the four points.
        session.settings_path = install_dir / "config.ini"
        session.start_tool(4)
        touches = [Touch(board_position(*target)) for target in grid_targets(4)]
        session.start_board(touch_lines(touches), handshake_timeout_ms=30000)
        session.wait_for_tool(timeout=45)
        session.wait_for_board(timeout=30)
        calibrated = session.settings_path.read_bytes()
        assert parse_settings(calibrated)[1] == expected_settings([t.measured() for t in touches], 0), calibrated

        msiexec(wine, "/i", windows_path(base), log="reinstall.log")
        drivers = check_installed(wine, session, base, calibrated, drivers, "reinstalled")
        msiexec(wine, "/i", windows_path(higher), log="upgrade.log")
        check_installed(wine, session, higher, calibrated, drivers, "upgraded")

        msiexec(wine, "/x", windows_path(higher), log="uninstall.log")
        wait_for(lambda: not driver_processes(wine), 10, f"driver processes left: {driver_processes(wine)}")
        assert not registry_has(wine, SERVICE_KEY), "the service is still there"
        assert installed_products(wine) == [], installed_products(wine)
        assert [path.name for path in install_dir.iterdir()] == ["config.ini"], sorted(install_dir.iterdir())
        assert (install_dir / "config.ini").read_bytes() == calibrated, "the removal changed config.ini"
        assert not start_menu_folder(wine).exists(), "the Start-menu folder is still there"
        print(f"{base.name} {base.stat().st_size} bytes, {higher.name} {higher.stat().st_size} bytes")
    print("1 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
