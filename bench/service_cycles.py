#!/usr/bin/env python3
"""Start/stop cycles of the service "VelnoDriver" under Wine, one right after the other, with figures.

Twenty cycles in one Wine fixture, the receiver window keeping the desktop's shell alive and a
simulated board on COM5 answering every handshake. Each cycle:
  1. `net start VelnoDriver`, issued as soon as the previous stop has returned;
  2. the driver it launches is found (one process with the command line " /service") and sends the
     board its first handshake byte 0xEE: start to first handshake;
  3. a stop that waits for the stopped state, as Windows' `net stop` does (`service_probe.exe stop`;
     Wine's own `net stop` returns as soon as the stop is sent): stop to the driver's exit, and stop to
     the stop returning. Once the stop has returned, the driver must be gone.
At the end no driver process may be left. Every clock is Linux's CLOCK_MONOTONIC (the board log's
stamps are in microseconds of it).

    python3 bench/service_cycles.py [CYCLES]     # ~2 minutes for 20; needs the native and windows builds

Prints a Markdown table (docs/service-cycles.md holds one run's); exits with 1 when a cycle failed.
"""

import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from pen_driver_session import start_board_sim  # noqa: E402
from receiver import start_receiver  # noqa: E402
from service_session import SERVICE, driver_pids, net, wait_until  # noqa: E402
from wine_harness import MissingWindowsBinaries, WineFixture, read_lines  # noqa: E402

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "service_probe.exe"]
STOP_WAIT_MS = 20000


def first_handshake_after(board_log, after_us, timeout):
    """The stamp (µs) of the first 0xEE the board received after `after_us`."""
    found = []

    def arrived():
        for line in read_lines(board_log):
            stamp, _, rest = line.partition(" ")
            if rest == "rx EE" and int(stamp) > after_us:
                found.append(int(stamp))
                return True
        return False

    wait_until(arrived, timeout, "the driver's first handshake")
    return found[0]


def now_us():
    return time.monotonic_ns() // 1000


def run_cycle(wine, board_log):
    started_us = now_us()
    net(wine, "start")
    wait_until(lambda: driver_pids(wine), 15, "a driver launched by the service")
    drivers = driver_pids(wine)
    if len(drivers) != 1:
        raise RuntimeError(f"drivers running after the start: {drivers}")
    driver = next(iter(drivers))
    handshake_us = first_handshake_after(board_log, started_us, timeout=15)

    stop_us = now_us()
    stopper = wine.start_windows("service_probe.exe", "stop", STOP_WAIT_MS, name="stop")
    wait_until(lambda: driver not in driver_pids(wine), STOP_WAIT_MS / 1000, "the driver ending after the stop")
    exited_us = now_us()
    code = stopper.wait(timeout=STOP_WAIT_MS / 1000 + 10)
    returned_us = now_us()
    if code != 0:
        raise RuntimeError(f"the stop did not reach the stopped state: {stopper.describe()}: {stopper.output()}")
    if driver_pids(wine):
        raise RuntimeError(f"a driver outlived the stop: {driver_pids(wine)}")
    return {"start_to_handshake": (handshake_us - started_us) / 1e6, "stop_to_driver_exit": (exited_us - stop_us) / 1e6,
            "stop_to_stopped": (returned_us - stop_us) / 1e6}


def main():
    cycles = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    results = []
    try:
        with WineFixture("service_cycles", binaries=BINARIES) as wine:
            start_receiver(wine, timeout=30)
            start_board_sim(wine, ["pause 3600000"])
            code = wine.run_windows("VelnoDriver.exe", "/c").popen.returncode
            if code != 0:
                raise RuntimeError(f"VelnoDriver.exe /c ended with {code}")
            for number in range(1, cycles + 1):
                results.append(run_cycle(wine, wine.logs / "board.log"))
                print(f"cycle {number}: " + ", ".join(f"{k} {v:.2f} s" for k, v in results[-1].items()), flush=True)
            left = driver_pids(wine)
            wine.run_windows("VelnoDriver.exe", "/d")
    except MissingWindowsBinaries as missing:
        print(f"skipped: {missing}", file=sys.stderr)
        return 77
    except (RuntimeError, TimeoutError) as failure:
        print(f"cycle {len(results) + 1} failed: {failure}", file=sys.stderr)
        return 1

    print(f"\n{len(results)} cycles of {SERVICE}, each start right after the previous stop returned; "
          f"drivers left at the end: {len(left)}\n")
    print("| Figure | Median | Max |")
    print("|---|---|---|")
    names = {"start_to_handshake": "`net start` to the driver's first handshake",
             "stop_to_driver_exit": "stop to the driver's exit", "stop_to_stopped": "stop to the stopped state"}
    for key, name in names.items():
        values = [result[key] for result in results]
        print(f"| {name} | {statistics.median(values):.2f} s | {max(values):.2f} s |")
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(main())
