"""Unplug and replug: the reader notices the lost board (its keep-alive write fails), the device state
0 is published after the next pass, the board is found again once it is back, the device state 1 is
published again and strokes arrive again. The board stays unplugged, and later plugged, until the test
has seen the state it waits for. Then nine more unplugs and replugs in quick succession, each seen:
the event log has one entry of the board lost and one of it found, and, once the driver is stopped, one that
sums the rest. Prints how long each step took."""

import time

from pen_driver_session import PenDriverSession, go_ahead, hold_until
from pen_path_model import RATE, check_strokes, script_lines, stroke_reports
from service_session import EVENT_LOG_DEBUG, logged_events
from wine_harness import WineFixture, check, check_eventually, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe", "signal_event.exe"]
BOARD_FOUND, BOARD_LOST, BOARD_COMES_AND_GOES = 0x40000068, 0x80000069, 0x8000006F
QUICK_REPLUGS = 9


def device_state(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip()


def main():
    before = stroke_reports(1000, 1000, 2000, 1600, 12)
    after = stroke_reports(2200, 2200, 3200, 2800, 12)

    with WineFixture("driver_replug", binaries=BINARIES) as wine:
        script = [RATE, *script_lines(before), "pause 300", "mark unplug", "unplug", hold_until(wine, "lost"),
                  "mark replug", "replug", "wait-handshake 30000", "mark found", "pause 300", *script_lines(after),
                  hold_until(wine, "strokes-seen"), "mark quick"]
        # Plugged for half a second after each answer, unplugged for longer than the reader's three silent
        # reads before a keep-alive byte, so that the driver sees every one.
        script += ["unplug", "pause 3000", "replug", "wait-handshake 30000", "pause 500"] * QUICK_REPLUGS
        script += ["mark quick-done", hold_until(wine, "driver-stopped")]
        session = PenDriverSession(wine)
        session.start(script, driver_env=EVENT_LOG_DEBUG)
        session.wait_for_mark("unplug", timeout=40)
        unplugged = time.monotonic()
        check_eventually(lambda: device_state(wine) == "GetDeviceState=0", 20,
                         lambda: f"the published device state stayed {device_state(wine)!r} after the unplug")
        lost_s = time.monotonic() - unplugged
        go_ahead(wine, "lost")

        # The handshake of the search publishes the board again.
        session.wait_for_mark("found", timeout=40)
        check_eventually(lambda: device_state(wine) == "GetDeviceState=1", 20,
                         lambda: f"the published device state stayed {device_state(wine)!r} after the replug")
        events = session.wait_for_releases(2, timeout=30)
        go_ahead(wine, "strokes-seen")
        session.wait_for_mark("quick-done", timeout=90)
        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])
        check_strokes(events, [before, after], screen)

        # The driver stopped as a service stops it: what it summed goes out.
        check(wine.run_windows("signal_event.exe", "Global\\Brelmar_Service").popen.returncode == 0, "the stop")
        session.driver.wait(timeout=20)
        go_ahead(wine, "driver-stopped")
        session.wait_for_script(timeout=30)
        events = logged_events(session.driver.stderr_path.read_text(errors="replace"))
        presence = [(event, words) for event, words in events if event in (BOARD_FOUND, BOARD_LOST)]
        summed = [words for event, words in events if event == BOARD_COMES_AND_GOES]
        check(presence == [(BOARD_FOUND, ["COM5"]), (BOARD_LOST, ["COM5"])],
              f"ten unplugs and replugs, found and lost told: {presence}")
        check(len(summed) == 1 and summed[0][:3] == ["COM5", str(QUICK_REPLUGS), str(QUICK_REPLUGS + 1)],
              f"and summed: {summed}")

        marks = session.board_marks()
        found_s = (marks["found"] - marks["replug"]) / 1e6
        quick_s = (marks["quick-done"] - marks["quick"]) / 1e6
        print(f"device state 0 published {lost_s:.1f} s after the unplug; board found again {found_s:.1f} s "
              f"after the replug; {QUICK_REPLUGS} more unplugs and replugs found again in {quick_s:.0f} s")


if __name__ == "__main__":
    run_test(main)
