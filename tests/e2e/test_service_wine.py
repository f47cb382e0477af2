"""VelnoDriver.exe as the service "VelnoDriver" under Wine's service manager, end to end:
- "/c" stores a quoted path as it comes, and from an unquoted command line whose path holds a blank
  stores that path quoted; the service is auto-start, its own process, LocalSystem; it registers the
  event source for the program; from a relative path it installs nothing and says why, with exit code 2;
- with a window (and so the shell) on the desktop, and the stop event's name taken first by a program
  that keeps the event, `net start` reports RUNNING with the service's record, says in the event log that
  it does not use that event, and launches the driver in the console session, which finds the simulated
  board: a stroke arrives; that program's SetEvent stops neither (after an unplug that follows it, the
  same driver publishes that no board is there, a pass after its stop check, and the service runs on);
- `net stop` ends that driver within one pass, and the service reaches STOPPED;
- started while no shell runs (a kiosk or replacement shell), the service launches the driver all the
  same, with the console session's user token; the stop event's access list: SYSTEM and Administrators
  may do anything, everyone else only wait; the service's process killed with TerminateProcess takes its
  driver with it, and started again it runs exactly one driver;
- the event log: the service's start and stop, the driver launched for the user in session 1, the board
  found on its port; every event's message in the program's message table, its words filled in;
- "/d" with no console nor a desktop anyone sees removes the service and the event source and says so in
  the event log; with none to remove it fails with exit code 1 and says why there; a path stored unquoted
  (as an installer's service table stores it) runs too, also while another program holds the stop event's
  name with a mutex.
"""

import re
import shutil
import time

from pen_driver_session import go_ahead, hold_until, start_board_sim
from pen_path_model import RATE, check_strokes, script_lines, stroke_reports
from receiver import read_log, start_receiver
from service_session import (EVENT_LOG_DEBUG, RUNNING_RECORD, STOPPED, driver_pids, logged_events, net, probe,
                             service_manager_running, shell_running, wait_for_state, wait_until)
from wine_harness import WineFixture, check, check_eventually, run_test, windows_path

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "service_probe.exe", "signal_event.exe",
            "velno_control.exe"]
STOP_EVENT = "Global\\Brelmar_Service"
EVENT_SOURCE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VelnoDriver"
# The stop event's access list by account: every right of an event (0x1F0003) for SYSTEM and the
# Administrators, SYNCHRONIZE (0x100000) alone for everyone else.
STOP_EVENT_ACCESS = {"SY": 0x1F0003, "BA": 0x1F0003, "WD": 0x100000}
# A pass of the driver with one board and one empty slot: 2 s for the empty slot, 2 s at its end.
ONE_PASS_S = 4
# A launch takes a fraction of a second.
LAUNCH_S = 3
# The events of a start, a launch, a board found on COM5 and a stop: identifier and words.
SERVICE_STARTED, SERVICE_STOPPED, DRIVER_LAUNCHED, BOARD_FOUND = 0x40000064, 0x40000065, 0x40000066, 0x40000068
NAME_TAKEN, COMMAND_DONE, COMMAND_FAILED = 0x80000074, 0x40000076, 0xC0000077
# Every event the program reports (driver/core/platform/log_events.h), with words for its message.
MESSAGES = {SERVICE_STARTED: [], SERVICE_STOPPED: [], DRIVER_LAUNCHED: ["PC\\teacher", "1"],
            0xC0000067: ["1", "Denied."], BOARD_FOUND: ["COM5"], 0x80000069: ["COM5"], 0x4000006A: ["9", "the main screen"],
            0x8000006B: ["9", "the main screen"], 0xC000006C: ["C:\\config.ini", "Denied."],
            0x8000006D: ["COM5", "12", "600"], 0x8000006E: ["C:\\Velno\\VelnoDriver.exe"],
            0x8000006F: ["COM5", "9", "8", "10"], 0x40000070: ["PC\\teacher", "4", "10"],
            0x80000071: ["C:\\config.ini", "is missing", "Loaded."], 0x80000072: ["C:\\config.ini"],
            0x80000073: ["C:\\config.copy.ini", "Denied."], NAME_TAKEN: [STOP_EVENT, "Taken."],
            0xC0000075: ["its stop signal could not be made."], COMMAND_DONE: ["/c", "Installed."],
            COMMAND_FAILED: ["/d", "Denied."]}


def install_unquoted(wine, folder):
    """Installs from an unquoted command line: the program's path, which holds a blank, then "/c"."""
    exe = windows_path(folder / "VelnoDriver.exe")
    code = wine.run_windows("service_probe.exe", "run", exe, f"{exe} /c").popen.returncode
    check(code == 0, f"VelnoDriver.exe /c ended with {code}", stop=True)
    return exe


def event_source(wine):
    """The program file registered for the event source, or None when there is no source."""
    program = wine.run_windows("reg", "query", EVENT_SOURCE_KEY, "/v", "EventMessageFile", timeout=30)
    found = re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+(.+)", program.output())
    return found[1].strip() if program.popen.returncode == 0 and found else None


def stop_event_access(wine):
    """{account: rights} of the stop event's access list (a null list: None)."""
    text = probe(wine, "access", "Global\\Brelmar_Service")
    if text in (None, "null"):
        return None
    return {sid: int(mask, 16) for mask, sid in re.findall(r"\(A;;(0x[0-9a-fA-F]+);;;(\w+)\)", text)}


def device_state(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip()


def unseen(wine, exe, switch):
    """VelnoDriver.exe with `switch`, as a deployment tool in session 0 runs it: (exit code, events)."""
    program = wine.run_windows("service_probe.exe", "unseen", exe, f"{exe} {switch}", name=f"unseen{switch[1:]}",
                               env=EVENT_LOG_DEBUG)
    return program.popen.returncode, logged_events(program.stderr_path.read_text(errors="replace"))


def stop_and_measure(wine, driver):
    """`net stop`, then the seconds until the driver has ended; the service must reach STOPPED."""
    net(wine, "stop")
    stopped = time.monotonic()
    wait_until(lambda: driver not in driver_pids(wine), 15, "the driver ending after net stop")
    took = time.monotonic() - stopped
    wait_for_state(wine, STOPPED, timeout=15)
    return took


def single_driver(wine, timeout):
    """Checks that the service launched one driver (the test stops otherwise); returns its process id."""
    wait_until(lambda: driver_pids(wine), timeout, "a driver launched by the service")
    pids = driver_pids(wine)
    check(len(pids) == 1, f"drivers running: {pids}", stop=True)
    return next(iter(pids))


def main():
    figures = []
    with WineFixture("service", binaries=BINARIES) as wine:
        # Keeps Wine's services alive without a window, so the shell runs only while the receiver does.
        # Started first, it starts Wine's service manager, and so the service and its drivers report on its
        # stderr.
        hold = wine.start_windows("service_probe.exe", "hold", name="hold", env=EVENT_LOG_DEBUG)
        wait_until(lambda: service_manager_running(wine), 30, "Wine's service manager")
        folder = wine.run_dir / "Program Files" / "Velno"
        folder.mkdir(parents=True)
        for name in ("VelnoDriver.exe", "Velno.dll"):
            shutil.copy2(wine.bin_dir / name, folder / name)
        # Wine hands a program its path quoted: stored as it comes, the blank before the switch included.
        wine.run_windows("VelnoDriver.exe", "/c")
        config = probe(wine, "config")
        check(config and config.endswith(f'path=["{windows_path(wine.bin_dir / "VelnoDriver.exe")}" ]'),
              f"installed from a quoted path: {config}")
        wine.run_windows("VelnoDriver.exe", "/d")
        check(event_source(wine) is None, "/d left the event source")
        # From a relative path the service manager would find no program: nothing is installed.
        exe = windows_path(folder / "VelnoDriver.exe")
        relative = wine.run_windows("service_probe.exe", "run", exe, "VelnoDriver.exe /c", name="install-relative")
        said = relative.stderr_path.read_text(errors="replace")
        check(relative.popen.returncode == 2 and "full path" in said and probe(wine, "config") is None,
              f"/c from a relative path: exit {relative.popen.returncode}, said {said!r}")
        exe = install_unquoted(wine, folder)
        config = probe(wine, "config")
        check(config == f'type=0x10 start=2 error=1 account=LocalSystem path=["{exe}"]',
              f"installed from an unquoted command line: {config}")
        check(event_source(wine) == exe, f"event source registered for {event_source(wine)}, not {exe}")
        texts = {event: probe(wine, "message", exe, f"{event:x}", *words) for event, words in MESSAGES.items()}
        unlike = {f"{event:x}": text for event, text in texts.items()
                  if not text or not all(f" {word}" in text for word in MESSAGES[event])}
        check(not unlike, f"messages missing or without their words: {unlike}")

        # Started with the desktop's shell running, the stop event's name taken first by a program that keeps
        # the event: the driver finds the board and a stroke arrives. That program's SetEvent stops neither
        # the service nor its driver: after an unplug that follows it, the driver publishes that no board
        # is there, which it does only in a pass after its stop check.
        squat = wine.start_windows("service_probe.exe", "squat", STOP_EVENT, "event", name="squat-event")
        receiver = start_receiver(wine, timeout=30)
        stroke = stroke_reports(1500, 1200, 3500, 2600, 16)
        board = start_board_sim(wine, ["wait-handshake 30000", "pause 300", RATE, *script_lines(stroke), "pause 300",
                                       hold_until(wine, "set"), "unplug"])
        net(wine, "start")
        status = probe(wine, "status")
        check(status == RUNNING_RECORD, f"the service's status after net start: {status}")
        driver = single_driver(wine, timeout=10)
        wait_until(lambda: any(e.kind == "lbuttonup" for e in read_log(receiver.log_path)), 30, "the stroke")
        screen = (receiver.ready.values["screen_w"], receiver.ready.values["screen_h"])
        check_strokes(read_log(receiver.log_path), [stroke], screen)
        check(wine.run_windows("signal_event.exe", STOP_EVENT).popen.returncode == 0, "SetEvent on the squatted name")
        go_ahead(wine, "set")
        check_eventually(lambda: device_state(wine) == "GetDeviceState=0", 20,
                         lambda: f"the driver did not go on after the squatter's SetEvent: {device_state(wine)}")
        check(board.wait(timeout=40) == 0, f"the board failed (see its log): {board.describe()}")
        check(probe(wine, "status") == RUNNING_RECORD and driver_pids(wine) == {driver},
              f"after the squatter's SetEvent: {probe(wine, 'status')}, drivers {driver_pids(wine)}")
        stop_s = stop_and_measure(wine, driver)
        squat.stop()
        check(stop_s < ONE_PASS_S + 2, f"the driver ended {stop_s:.1f} s after net stop")
        figures.append(f"driver ended {stop_s:.2f} s after net stop")
        events = logged_events(hold.stderr_path.read_text(errors="replace"))
        launched = [words for event, words in events if event == DRIVER_LAUNCHED]
        check([event for event, _ in events if event in (SERVICE_STARTED, SERVICE_STOPPED)] ==
              [SERVICE_STARTED, SERVICE_STOPPED] and len(launched) == 1 and launched[0][1:] == ["1"] and
              launched[0][0] and (BOARD_FOUND, ["COM5"]) in events, f"the events of a run: {events}")
        refused = [words for event, words in events if event == NAME_TAKEN]
        check(len(refused) == 1 and refused[0][0] == STOP_EVENT and "another account" in refused[0][1],
              f"what the service said of the squatted name: {refused}")

        # Started while no shell runs (a kiosk shell): the driver runs all the same, as the session's user.
        receiver.program.stop()
        wait_until(lambda: not shell_running(wine), 15, "the shell ending with the last window")
        net(wine, "start")
        started = time.monotonic()
        driver = single_driver(wine, timeout=LAUNCH_S + 7)
        launch_s = time.monotonic() - started
        check(launch_s < LAUNCH_S and not shell_running(wine), f"the driver started {launch_s:.1f} s after net start")
        figures.append(f"driver launched {launch_s:.2f} s after net start with no shell")
        access = stop_event_access(wine)
        check(access == STOP_EVENT_ACCESS, f"the stop event's access list: {access}")
        # Killed (a crash): its driver goes with it, and started again it runs exactly one.
        check(wine.run_windows("service_probe.exe", "kill").popen.returncode == 0, "TerminateProcess of the service")
        check_eventually(lambda: not driver_pids(wine), 10, lambda: f"drivers left by the killed service: "
                         f"{driver_pids(wine)}")
        # Wine's service manager keeps no failure actions and goes on to show the killed service as running;
        # `net start` starts it again all the same.
        net(wine, "start")
        wait_until(lambda: driver_pids(wine), LAUNCH_S + 7, "a driver launched by the service started again")
        check(len(driver_pids(wine)) == 1 and driver not in driver_pids(wine),
              f"drivers after the restart: {driver_pids(wine)}, the killed service's was {driver}")
        stop_and_measure(wine, next(iter(driver_pids(wine))))

        code, events = unseen(wine, exe, "/d")
        check(code == 0 and probe(wine, "config") is None and [(e, w[0]) for e, w in events] == [(COMMAND_DONE, "/d")],
              f"/d with nobody to tell: exit {code}, the event log heard {events}", stop=True)
        code, events = unseen(wine, exe, "/d")
        check(code == 1 and [(event, words[0]) for event, words in events] == [(COMMAND_FAILED, "/d")] and
              "could not be removed" in events[0][1][1], f"/d with no service: exit {code}, the event log heard {events}")

        # Stored unquoted, as an installer's service table stores it, and started while another program
        # holds the stop event's name with a mutex: the service runs its driver, which finds a board.
        created = wine.run_windows("sc", "create", "VelnoDriver", "binPath=", exe, "start=", "auto")
        check(created.popen.returncode == 0, f"sc create failed: {created.output()}", stop=True)
        config = probe(wine, "config")
        check(config and config.endswith(f"path=[{exe}]"), f"installed by sc: {config}")
        wine.start_windows("service_probe.exe", "squat", STOP_EVENT, "mutex", name="squat-mutex")
        board = start_board_sim(wine, ["wait-handshake 30000"], name="board-later")
        net(wine, "start")
        driver = single_driver(wine, timeout=10)
        check(board.wait(timeout=40) == 0, f"the board failed (see its log): {board.describe()}")
        stop_and_measure(wine, driver)
        left = driver_pids(wine)
        check(not left, f"drivers left: {left}")
        refused = [words[1] for event, words in logged_events(hold.stderr_path.read_text(errors="replace"))
                   if event == NAME_TAKEN]
        check(len(refused) == 2 and "no event" in refused[1], f"what the service said of the mutex: {refused}")
        wine.run_windows("VelnoDriver.exe", "/d")
    print("; ".join(figures))


if __name__ == "__main__":
    run_test(main)
