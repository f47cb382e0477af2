"""Unplug and replug: the reader notices the lost board (its keep-alive write fails), the device state
0 is published after the next pass, the board is found again once it is back, the device state 1 is
published again and strokes arrive again. The board stays unplugged, and later plugged, until the test
has seen the state it waits for. Prints how long each step took."""

import time

from pen_driver_session import PenDriverSession, go_ahead, hold_until
from pen_path_model import RATE, check_strokes, script_lines, stroke_reports
from wine_harness import WineFixture, check_eventually, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe"]


def device_state(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip()


def main():
    before = stroke_reports(1000, 1000, 2000, 1600, 12)
    after = stroke_reports(2200, 2200, 3200, 2800, 12)

    with WineFixture("driver_replug", binaries=BINARIES) as wine:
        script = [RATE, *script_lines(before), "pause 300", "mark unplug", "unplug", hold_until(wine, "lost"),
                  "mark replug", "replug", "wait-handshake 30000", "mark found", "pause 300", *script_lines(after),
                  hold_until(wine, "strokes-seen")]
        session = PenDriverSession(wine)
        session.start(script)
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
        session.wait_for_script(timeout=30)
        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])
        check_strokes(events, [before, after], screen)

        marks = session.board_marks()
        found_s = (marks["found"] - marks["replug"]) / 1e6
        print(f"device state 0 published {lost_s:.1f} s after the unplug; board found again {found_s:.1f} s "
              f"after the replug")


if __name__ == "__main__":
    run_test(main)
