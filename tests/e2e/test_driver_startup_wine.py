"""A driver that cannot bind its library ends at once and opens no port: without Velno.dll beside it,
and with a Velno.dll that lacks one of the 24 operations it needs (IsUsingGesture)."""

import os
import shutil
import subprocess
import time

from pen_driver_session import PenDriverSession
from wine_harness import MissingWindowsBinaries, WineFixture, read_lines, run_test, wait_for_line, windows_bin_dir

BINARIES = ["VelnoDriver.exe", "receiver.exe"]


def bytes_received(log_path):
    return [line for line in read_lines(log_path) if " rx " in line]


def write_through_port(wine, com, data):
    """Writes bytes into the board's line as a host would: the board logs them after everything that
    came before them."""
    fd = os.open(wine.prefix / "dosdevices" / com.lower(), os.O_WRONLY | os.O_NOCTTY)
    try:
        os.write(fd, data)
    finally:
        os.close(fd)


def run_driver_expecting_end(session, case):
    """The driver must end by itself; that it opened no port is checked on the board's side. How long
    it took (Wine's start included) is only reported: a loaded machine may take seconds."""
    started = time.monotonic()
    driver = session.start_driver()
    try:
        code = driver.wait(timeout=20)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"{case}: the driver was still running after 20 s") from None
    return code, time.monotonic() - started


def main():
    with WineFixture("driver_startup", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        board = session.start_board(["pause 60000"], name="board")
        log = wine.logs / "board.log"

        _, without = run_driver_expecting_end(session, "without Velno.dll")
        incomplete = windows_bin_dir() / "incomplete" / "Velno.dll"
        if not incomplete.exists():
            raise MissingWindowsBinaries(f"{incomplete} is missing: build the windows preset")
        shutil.copy2(incomplete, wine.bin_dir / "Velno.dll")
        _, lacking = run_driver_expecting_end(session, "with a library that lacks IsUsingGesture")

        # A driver that had opened the port would have sent the handshake byte at once: the board logs
        # any such byte before the one written now.
        write_through_port(wine, "COM5", b"\x00")
        wait_for_line(log, r" rx 00$", timeout=10, program=board)
        assert [line.split(" ", 1)[1] for line in bytes_received(log)] == ["rx 00"], \
            f"the board got bytes from the drivers: {bytes_received(log)}"
        assert board.running(), board.describe()
        print(f"ended after {without:.2f} s without the library, {lacking:.2f} s with an incomplete one")
    print("2 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
