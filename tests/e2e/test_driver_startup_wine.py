"""A driver that cannot bind its library ends at once and opens no port: without Velno.dll beside it,
and with a Velno.dll that lacks one of the 24 operations it needs (IsUsingGesture)."""

import shutil
import time

from pen_driver_session import PenDriverSession
from wine_harness import MissingWindowsBinaries, WineFixture, read_lines, run_test, windows_bin_dir

BINARIES = ["VelnoDriver.exe", "receiver.exe"]


def bytes_received(log_path):
    return [line for line in read_lines(log_path) if " rx " in line]


def run_driver_expecting_quick_end(session, case):
    started = time.monotonic()
    driver = session.start_driver()
    code = driver.wait(timeout=10)
    took = time.monotonic() - started
    assert took < 3, f"{case}: the driver took {took:.1f} s to end"
    return code, took


def main():
    with WineFixture("driver_startup", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        board = session.start_board(["pause 60000"], name="board")
        log = wine.logs / "board.log"

        _, without = run_driver_expecting_quick_end(session, "without Velno.dll")
        incomplete = windows_bin_dir() / "incomplete" / "Velno.dll"
        if not incomplete.exists():
            raise MissingWindowsBinaries(f"{incomplete} is missing: build the windows preset")
        shutil.copy2(incomplete, wine.bin_dir / "Velno.dll")
        _, lacking = run_driver_expecting_quick_end(session, "with a library that lacks IsUsingGesture")

        # A driver that had opened the port would have sent the handshake byte at once.
        time.sleep(0.5)
        assert not bytes_received(log), f"the board got bytes: {bytes_received(log)}"
        assert board.running(), board.describe()
        print(f"ended after {without:.2f} s without the library, {lacking:.2f} s with an incomplete one")
    print("2 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
