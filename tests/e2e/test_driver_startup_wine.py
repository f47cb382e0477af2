"""A driver that cannot bind its library ends at once and opens no port: without Velno.dll beside it,
with a Velno.dll that lacks one of the 24 operations it needs (IsUsingGesture), and with a Velno.dll
that cannot have its shared block because another object holds the block's name (the library then
fails to load rather than run on a private block nobody else sees)."""

import os
import shutil
import subprocess
import time

from pen_driver_session import PenDriverSession, hold_until
from wine_harness import (MissingWindowsBinaries, WineFixture, check, read_lines, run_test, wait_for_line,
                          windows_bin_dir, windows_path)

BINARIES = ["VelnoDriver.exe", "receiver.exe", "shared_state_peer.exe"]
BLOCK_NAME = "Local\\Velno_SharedState"


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
    """Checks that the driver ends by itself (a driver left running ends the test); that it opened no
    port is checked on the board's side. Returns how long it took (Wine's start included), which is only
    reported: a loaded machine may take seconds."""
    started = time.monotonic()
    driver = session.start_driver()
    try:
        driver.wait(timeout=20)
    except subprocess.TimeoutExpired:
        check(False, f"{case}: the driver was still running after 20 s", stop=True)
    check(True, "")
    return time.monotonic() - started


def main():
    with WineFixture("driver_startup", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        board = session.start_board([hold_until(wine, "never", 600000)], name="board")
        log = wine.logs / "board.log"

        without = run_driver_expecting_end(session, "without Velno.dll")
        incomplete = windows_bin_dir() / "incomplete" / "Velno.dll"
        if not incomplete.exists():
            raise MissingWindowsBinaries(f"{incomplete} is missing: build the windows preset")
        shutil.copy2(incomplete, wine.bin_dir / "Velno.dll")
        lacking = run_driver_expecting_end(session, "with a library that lacks IsUsingGesture")

        shutil.copy2(windows_bin_dir() / "Velno.dll", wine.bin_dir / "Velno.dll")
        released = wine.run_dir / "name.go"
        squatter = wine.start_windows("shared_state_peer.exe", "hold-name", BLOCK_NAME, windows_path(released),
                                      name="squatter")
        wait_for_line(squatter.stdout_path, r"^holding$", timeout=20, program=squatter)
        peer = wine.run_windows("shared_state_peer.exe", "get-adjust-type", timeout=20, name="peer")
        check(peer.popen.returncode == 3, f"the library loaded without its block: {peer.describe()}")
        blocked = run_driver_expecting_end(session, "with the shared block's name taken")
        released.touch()

        # A driver that had opened the port would have sent the handshake byte at once: the board logs
        # any such byte before the one written now.
        write_through_port(wine, "COM5", b"\x00")
        wait_for_line(log, r" rx 00$", timeout=10, program=board)
        received = bytes_received(log)
        check([line.split(" ", 1)[1] for line in received] == ["rx 00"],
              f"the board got bytes from the drivers: {received}")
        check(board.running(), f"the board ended: {board.describe()}")
        print(f"ended after {without:.2f} s without the library, {lacking:.2f} s with an incomplete one, "
              f"{blocked:.2f} s without the shared block")


if __name__ == "__main__":
    run_test(main)
