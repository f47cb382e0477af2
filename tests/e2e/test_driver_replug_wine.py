"""Unplug and replug: the reader notices the lost board (its keep-alive write fails), the device state
0 is published after the next pass, the board is found again once it is back, and strokes arrive again.
Prints how long each step took."""

import time

from pen_driver_session import PenDriverSession
from pen_path_model import RATE, assert_strokes, script_lines, stroke_reports
from wine_harness import WineFixture, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe"]
UNPLUGGED_MS = 14000


def device_connected(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip() == "GetDeviceState=1"


def main():
    before = stroke_reports(1000, 1000, 2000, 1600, 12)
    after = stroke_reports(2200, 2200, 3200, 2800, 12)
    script = [RATE, *script_lines(before), "pause 300", "mark unplug", "unplug", f"pause {UNPLUGGED_MS}", "mark replug",
              "replug", "wait-handshake 30000", "mark found", "pause 300", *script_lines(after), "pause 2000"]

    with WineFixture("driver_replug", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.start(script)
        # Poll the published device state from the unplug until it reads 0.
        while "unplug" not in session.board_marks():
            assert session.board.running(), session.board.describe()
            time.sleep(0.05)
        unplugged = time.monotonic()
        while device_connected(wine):
            assert time.monotonic() - unplugged < UNPLUGGED_MS / 1000, "device state 0 was never published"
            time.sleep(0.2)
        lost_s = time.monotonic() - unplugged
        # The handshake of the search publishes the board again; the script's end unplugs it for good.
        while "found" not in session.board_marks():
            assert session.board.running(), session.board.describe()
            time.sleep(0.05)
        assert device_connected(wine), "the board is published as connected again"
        session.wait_for_script(timeout=60)
        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])
        assert_strokes(session.receiver_events(), [before, after], screen)

        marks = session.board_marks()
        found_s = (marks["found"] - marks["replug"]) / 1e6
        print(f"device state 0 published {lost_s:.1f} s after the unplug; board found again {found_s:.1f} s "
              f"after the replug")
    print("3 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
