#!/usr/bin/env python3
"""End-to-end figures of the pen driver under Wine, in one run of one Wine fixture:

  1. CPU of the VelnoDriver.exe process, its icon in the notification area included (and of the
     wineserver), over 30 s with no board at all, then with a board that never answers the handshake
     (board-sim --silent on a CP210x port).
  2. Latency from board-sim writing a report's last byte to the receiver window getting the message at
     the position that report makes the driver inject: a 50 reports/s zigzag stroke whose every report
     lands on a pixel of its own. Beside it, Wine's floor: inject_mouse.exe calling mouse_event for the
     same positions at the same spacing, timed from just before the call to the receiver's message.

Every clock here is Linux's CLOCK_MONOTONIC in microseconds (board log, receiver log, inject_mouse log).
board-sim stamps a report as its write() of the six bytes begins, so a preempted simulator can only make
the driver's figures read high, never low.

    python3 bench/e2e_figures.py            # ~2 minutes; needs the native and windows builds

The no-board phase comes first: the board simulator's port listing (SERIALCOMM) lasts as long as the
wineserver, so after it a driver would still find a listed port.
"""

import math
import os
import sys
import time
from dataclasses import dataclass
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from pen_driver_session import PenDriverSession  # noqa: E402
from pen_path_model import PEN_DOWN, PEN_UP, pointer_events, script_lines  # noqa: E402
from receiver import MOUSE_KINDS, input_events, read_log, start_receiver  # noqa: E402
from wine_harness import (MissingWindowsBinaries, WineFixture, processes_of_run, read_lines,  # noqa: E402
                          windows_path)

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "inject_mouse.exe", "signal_event.exe"]
REPORT_HZ = 50
STROKE_REPORTS = 640  # a few are dropped or folded by Windows; at least 500 must be matched
CPU_WINDOW_S = 30.0
CPU_SETTLE_S = 5.0  # the driver's start (loading, first port search) is left out of the CPU window
MOUSEEVENTF_MOVE_ABSOLUTE = 0x8001
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


# ---- the stroke ---------------------------------------------------------------------------------

def zigzag_reports(count):
    """A pen-down stroke of `count` reports and its pen-up: X climbs 6 board units a report (about
    1.9 px after the x16 scale on 1280 px, so no two reports share a pixel, also after averaging), Y
    runs up and down between 1000 and 3000 in steps of 40. Every unit stays under 4096, on screen."""
    low, high, step = 1000, 3000, 40
    span = (high - low) // step
    reports = []
    for i in range(count + 1):
        phase = i % (2 * span)
        y = low + step * (phase if phase <= span else 2 * span - phase)
        reports.append((PEN_UP if i == count else PEN_DOWN, 100 + 6 * i, y))
    return reports


def injected_position_per_report(reports, screen):
    """For each report, the pixel of the press or move it makes the driver inject (pen_path_model),
    or None: the first report after a reset is dropped, and the pen-up ends the stroke."""
    positions, injected = [], 0
    for i in range(len(reports)):
        events = pointer_events(reports[:i + 1])
        if len(events) > injected and events[-1][0] in ("press", "move"):
            _, x_abs, y_abs = events[-1]
            positions.append((x_abs * screen[0] >> 16, y_abs * screen[1] >> 16))
        else:
            positions.append(None)
        injected = len(events)
    return positions


# ---- logs ---------------------------------------------------------------------------------------

def decode_report(hex_bytes):
    """(lead, x, y) of a six-byte report as board-sim logs it: lead, Y<<1, X<<1 (high bytes first)."""
    data = [int(byte, 16) for byte in hex_bytes]
    return data[0], ((data[3] << 8) | data[4]) >> 1, ((data[1] << 8) | data[2]) >> 1


def board_sends(board_log):
    """(CLOCK_MONOTONIC µs of the last byte written, decoded report) for each report the board sent."""
    sends = []
    for line in read_lines(board_log):
        fields = line.split()
        if len(fields) == 8 and fields[1] == "tx":
            sends.append((int(fields[0]), decode_report(fields[2:])))
    return sends


def injection_calls(inject_log):
    """(µs just before mouse_event, (x_abs, y_abs)) for each call inject_mouse.exe logged."""
    calls = []
    for line in read_lines(inject_log):
        values = dict(pair.split("=", 1) for pair in line.split()[1:])
        calls.append((int(values["t_us"]), (int(values["x"]), int(values["y"]))))
    return calls


# ---- matching -----------------------------------------------------------------------------------

@dataclass
class LatencyRun:
    targets: int  # positions that should reach the receiver
    latencies_us: list  # of the matched ones
    missing: int  # no message at the position: Windows folded the move into a later one
    echoes: int  # first seen after a later target's message: Wine's echo of a folded move's warp
    before_start: int  # matched messages stamped before their report: the sender's stamp came late


def match_latencies(targets, records):
    """targets: (start µs, pixel) in the order they were sent, pixels all different. Each is matched to
    the first mouse message at its pixel at or after the first target's start; a match that comes after
    the message of a later target is the X server's echo of a folded move, not the move, and is left
    out."""
    start = targets[0][0]
    first_seen = {}
    for index, record in enumerate(records):
        if record.kind in MOUSE_KINDS and record.t_us >= start:
            first_seen.setdefault(record.position, (index, record.t_us))
    seen = [first_seen.get(pixel) for _, pixel in targets]
    latencies, missing, echoes, before_start = [], 0, 0, 0
    earliest_later = math.inf  # the smallest record index among the targets after this one
    for (sent_us, pixel), match in reversed(list(zip(targets, seen))):
        if match is None:
            missing += 1
            continue
        index, received_us = match
        if index > earliest_later:
            echoes += 1
        else:
            before_start += received_us < sent_us
            latencies.append(received_us - sent_us)
        earliest_later = min(earliest_later, index)
    return LatencyRun(len(targets), latencies, missing, echoes, before_start)


def percentile(values, p):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(p / 100 * len(ordered)) - 1)]


# ---- CPU ----------------------------------------------------------------------------------------

def cpu_ticks(pid):
    """utime + stime of a process, in clock ticks, and its start time (to notice a restart)."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12]), int(fields[19])


def driver_process(wine):
    """The Linux process running VelnoDriver.exe in this fixture (Wine puts the Windows program's path
    into the process's argv[0])."""
    found = []
    for pid in processes_of_run(wine.run_dir, wine.prefix):
        try:
            argv0 = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0]
        except OSError:
            continue
        if argv0.replace(b"\\", b"/").endswith(b"/VelnoDriver.exe"):
            found.append(pid)
    if len(found) != 1:
        raise RuntimeError(f"expected one VelnoDriver.exe process in the run, found {found}")
    return found[0]


@dataclass
class CpuRun:
    wall_s: float
    driver_s: float
    wineserver_s: float


def measure_cpu(wine, session):
    """Starts the driver, lets it settle, and reads the CPU it and the wineserver use in the window."""
    driver = session.start_driver()
    time.sleep(CPU_SETTLE_S)
    pid = driver_process(wine)
    server = wine.wineserver.pid
    (driver_before, started), (server_before, _) = cpu_ticks(pid), cpu_ticks(server)
    wall_before = time.monotonic()
    time.sleep(CPU_WINDOW_S)
    (driver_after, still), (server_after, _) = cpu_ticks(pid), cpu_ticks(server)
    wall = time.monotonic() - wall_before
    if not driver.running() or still != started:
        raise RuntimeError(f"the driver did not run through the window: {driver.describe()}")
    # Ended as the service ends it, its icon taken away: under Wine the icon of a killed driver stays, and
    # Explorer then holds up all input for a second when the next driver adds its own.
    wine.run_windows("signal_event.exe", "Global\\Brelmar_Service", timeout=20)
    driver.wait(timeout=20)
    return CpuRun(wall, (driver_after - driver_before) / CLOCK_TICKS, (server_after - server_before) / CLOCK_TICKS)


# ---- the phases ---------------------------------------------------------------------------------

def cpu_phases(wine, session):
    no_board = measure_cpu(wine, session)
    silent = session.start_board(["pause 600000"], name="silent", options=["--silent"])
    with_silent_board = measure_cpu(wine, session)
    silent.stop()
    return {"no board": no_board, "silent board (CP210x)": with_silent_board}


def latency_phases(wine, session, screen):
    reports = zigzag_reports(STROKE_REPORTS)
    pixels = injected_position_per_report(reports, screen)
    wanted = [pixel for pixel in pixels if pixel is not None]
    if len(set(wanted)) != len(wanted):
        raise RuntimeError("the stroke puts two reports on one pixel; they could not be told apart")

    stroke_start = len(read_lines(session.receiver.log_path))
    session.board = session.start_board(["wait-handshake 30000", "pause 300", f"rate {REPORT_HZ}",
                                         *script_lines(reports), "mark stroke-end", "pause 600000"])
    session.driver = session.start_driver()
    session.wait_for_mark("stroke-end", timeout=60)
    time.sleep(0.5)  # the last messages

    sends = board_sends(session.board_log)
    if [report for _, report in sends] != reports:
        raise RuntimeError(f"the board log does not hold the stroke's {len(reports)} reports in order")
    records = input_events(read_log(session.receiver.log_path)[stroke_start:])
    driver_run = match_latencies([(sent_us, pixel) for (sent_us, _), pixel in zip(sends, pixels)
                                  if pixel is not None], records)

    # Wine's floor: the driver's positions and pace, injected by a program that does nothing else.
    floor_start = len(read_lines(session.receiver.log_path))
    positions = [(x_abs, y_abs) for kind, x_abs, y_abs in pointer_events(reports) if kind != "release"]
    inject_log = wine.logs / "inject.log"
    wine.run_windows("inject_mouse.exe", "--log", windows_path(inject_log), "--pause-ms", str(1000 // REPORT_HZ),
                     *(f"{MOUSEEVENTF_MOVE_ABSOLUTE:#x}:{x}:{y}" for x, y in positions), timeout=120)
    time.sleep(0.5)
    calls = injection_calls(inject_log)
    records = input_events(read_log(session.receiver.log_path)[floor_start:])
    floor_run = match_latencies([(called_us, (x * screen[0] >> 16, y * screen[1] >> 16))
                                 for called_us, (x, y) in calls], records)
    runs = {"driver: board-sim tx -> receiver": driver_run, "floor: mouse_event -> receiver": floor_run}
    return runs


def print_table(latency, cpu, screen):
    load = os.getloadavg()
    print(f"\nend-to-end figures under Wine, screen {screen[0]}x{screen[1]}, {REPORT_HZ} reports/s, "
          f"load average {load[0]:.2f} {load[1]:.2f}")
    print(f"{'latency':36} {'sent':>5} {'matched':>7} {'folded':>6} {'echo':>5} "
          f"{'p50 ms':>7} {'p99 ms':>7} {'max ms':>7}")
    for name, run in latency.items():
        values = run.latencies_us
        figures = (f"{percentile(values, 50) / 1000:7.2f} {percentile(values, 99) / 1000:7.2f} "
                   f"{max(values) / 1000:7.2f}" if values else f"{'-':>7} {'-':>7} {'-':>7}")
        print(f"{name:36} {run.targets:5} {len(values):7} {run.missing:6} {run.echoes:5} {figures}")
        if run.before_start:
            print(f"  {run.before_start} of them reached the receiver before the sender's stamp")
    print(f"\n{'CPU':36} {'wall s':>6} {'driver s':>8} {'driver %':>8} {'wineserver s':>12} {'wineserver %':>12}")
    for name, run in cpu.items():
        print(f"{name:36} {run.wall_s:6.1f} {run.driver_s:8.2f} {100 * run.driver_s / run.wall_s:8.3f} "
              f"{run.wineserver_s:12.2f} {100 * run.wineserver_s / run.wall_s:12.3f}")
    print(f"(% of one core; utime+stime from /proc/<pid>/stat, in steps of {1 / CLOCK_TICKS:g} s)")


def main():
    started = time.monotonic()
    with WineFixture("e2e_figures", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.receiver = start_receiver(wine, timeout=30)
        ready = session.receiver.ready.values
        if ready.get("clock") != "linux_monotonic":
            raise RuntimeError(f"the receiver's clock is {ready.get('clock')}, not Linux's CLOCK_MONOTONIC")
        screen = (ready["screen_w"], ready["screen_h"])
        print(f"CPU: driver alone, then with a silent board, {CPU_WINDOW_S:.0f} s each ...", flush=True)
        cpu = cpu_phases(wine, session)
        print(f"latency: {STROKE_REPORTS} reports at {REPORT_HZ}/s, then the same by mouse_event ...", flush=True)
        latency = latency_phases(wine, session, screen)
    print_table(latency, cpu, screen)
    print(f"\n(run took {time.monotonic() - started:.0f} s)")
    short = [name for name, run in latency.items() if len(run.latencies_us) < 500]
    if short:
        print(f"fewer than 500 matched reports for: {', '.join(short)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except MissingWindowsBinaries as missing:
        print(f"missing binaries: {missing}", file=sys.stderr)
        sys.exit(77)
