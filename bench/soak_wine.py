#!/usr/bin/env python3
"""Soak figures of the pen driver under Wine, in one run of one Wine fixture:

  1. Unplug and replug, 20 cycles: the board's pseudo-terminal is closed, and after a while a new one is
     put behind COM5. Each time the driver must notice (it publishes device state 0), find the board
     again (the board sees its handshake on the new pseudo-terminal) and draw the stroke that follows.
     Figures: time to notice, time to re-find, and the open file descriptors of the driver's process
     after each cycle (Wine holds each open port as a descriptor of the pseudo-terminal).
  2. Flood: short strokes at ten times the wire rate (9600 bytes/s, where 9600 baud carries 960), three
     junk bytes (no lead byte among them) between every two reports. A lost report loses or merges a
     stroke, so every stroke must arrive as one button-down and one button-up. Latency: from the board
     writing a stroke's press report to the receiver getting its button-down, percentiles.

    python3 bench/soak_wine.py              # ~5 minutes; needs the native and windows builds
    python3 bench/soak_wine.py --cycles 5   # fewer cycles
"""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from e2e_figures import driver_process, percentile  # noqa: E402
from pen_driver_session import PenDriverSession  # noqa: E402
from wine_harness import MissingWindowsBinaries, WineFixture, read_lines  # noqa: E402

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe"]
UNPLUGGED_MS = 12000
WIRE_BYTES_PER_S = 960        # 9600 baud, 8N1
FLOOD_STROKES = 1000          # three reports each
# No lead byte (FA, FC, A1..B0, C1..D0) among them: junk that holds one can frame a valid report of its
# own with the bytes that follow and swallow a real one, which no framing of this protocol can tell.
JUNK = [(0x00, 0x13, 0x37), (0x55, 0x7F, 0x3C), (0x12, 0x34, 0x56), (0x01, 0x02, 0x03)]
# Each report goes out with its junk in one write: 9 bytes a send, at ten times the wire rate.
FLOOD_SENDS_PER_S = round(13 * WIRE_BYTES_PER_S / 9)  # asked above ten times: pacing falls behind
BUTTON_DOWN = ("lbuttondown", "lbuttondblclk")


def cycle_lines(k):
    x = 300 + 150 * k
    return [f"mark unplug-{k}", "unplug", f"pause {UNPLUGGED_MS}", f"mark replug-{k}", "replug",
            "wait-handshake 30000", f"mark found-{k}", "pause 300", f"line {x} 500 {x} 900 8", "pause 500",
            f"mark drawn-{k}"]


def flood_position(i):
    """Uncalibrated, board units below 4096 stay on the screen; neighbours lie apart (no double click)."""
    return 200 + (i % 40) * 90, 200 + (i // 40 % 40) * 90


def report_bytes(lead, x, y):
    """A pen report as the board sends it: lead, Y and X shifted left by one (high bytes first), XOR."""
    data = [lead, (y << 1) >> 8, (y << 1) & 0xFF, (x << 1) >> 8, (x << 1) & 0xFF]
    checksum = 0
    for byte in data:
        checksum ^= byte
    return data + [checksum]


def flood_lines():
    script = ["mark flood", f"rate {FLOOD_SENDS_PER_S}"]
    for i in range(FLOOD_STROKES):
        x, y = flood_position(i)
        for j, lead in enumerate((0xFA, 0xFA, 0xFC)):
            data = report_bytes(lead, x, y) + list(JUNK[(i + j) % len(JUNK)])
            script.append("raw " + " ".join(f"{byte:02X}" for byte in data))
    return script + ["rate 100", "mark flood-end", "pause 3000"]


def device_connected(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip() == "GetDeviceState=1"


def wait_for_mark(session, text, timeout):
    deadline = time.monotonic() + timeout
    while text not in session.board_marks():
        if not session.board.running() or time.monotonic() > deadline:
            raise RuntimeError(f"the board never reached '{text}': {session.board.describe()}")
        time.sleep(0.05)
    return session.board_marks()[text]


def wait_for_driver_process(wine, timeout=20):
    """The driver's Linux process, once Wine has started it."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            return driver_process(wine)
        except RuntimeError:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)


def open_descriptors(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def replug_cycles(wine, session, cycles):
    """(seconds to notice, seconds to re-find, descriptors afterwards) for each cycle; None where the
    driver did not notice while the board was out."""
    pid = wait_for_driver_process(wine)
    rows = []
    for k in range(1, cycles + 1):
        wait_for_mark(session, f"unplug-{k}", timeout=60)
        unplugged = time.monotonic()
        noticed = None
        while f"replug-{k}" not in session.board_marks():
            if not device_connected(wine):
                noticed = time.monotonic() - unplugged
                break
            time.sleep(0.1)
        found = wait_for_mark(session, f"found-{k}", timeout=60)
        wait_for_mark(session, f"drawn-{k}", timeout=30)
        rows.append((noticed, (found - session.board_marks()[f"replug-{k}"]) / 1e6, open_descriptors(pid)))
        print(f"cycle {k:2d}: noticed {'-' if noticed is None else f'{noticed:.1f} s'}, "
              f"found again after {rows[-1][1]:.1f} s, {rows[-1][2]} descriptors", flush=True)
    return rows


def strokes_per_cycle(session, cycles):
    """Button-downs at the receiver before the cycles, then between each replug's handshake and the
    next unplug (or the flood): one each is a stroke drawn whole."""
    marks = session.board_marks()
    downs = [e.t_us for e in session.receiver_events() if e.kind in BUTTON_DOWN]
    edges = [0, marks["unplug-1"]] + [x for k in range(1, cycles + 1)
                                      for x in (marks[f"found-{k}"], marks.get(f"unplug-{k + 1}", marks["flood"]))]
    return [sum(1 for t in downs if start < t < end) for start, end in zip(edges[::2], edges[1::2])]


def board_sends(board_log, after_us, before_us):
    """(t_us, bytes) of every write of the board between two marks."""
    sends = []
    for line in read_lines(board_log):
        stamp, _, rest = line.partition(" ")
        if rest.startswith("tx ") and after_us < int(stamp) < before_us:
            sends.append((int(stamp), rest[3:].split()))
    return sends


def flood_figures(session):
    marks = session.board_marks()
    sends = board_sends(session.board_log, marks["flood"], marks["flood-end"])
    reports = [(t, data) for t, data in sends if data[0] in ("FA", "FC")]
    presses = [t for i, (t, _) in enumerate(reports) if i % 3 == 1]
    sent_bytes = sum(len(data) for _, data in sends)
    span_s = (sends[-1][0] - sends[0][0]) / 1e6
    events = [e for e in session.receiver_events() if marks["flood"] < e.t_us]
    downs = [e.t_us for e in events if e.kind in BUTTON_DOWN]
    ups = [e for e in events if e.kind == "lbuttonup"]
    latencies_ms = [(down - press) / 1000 for press, down in zip(presses, downs)]
    return {
        "strokes": len(presses), "downs": len(downs), "ups": len(ups), "bytes": sent_bytes, "span_s": span_s,
        "rate": sent_bytes / span_s, "latency_ms": latencies_ms,
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cycles", type=int, default=20)
    cycles = parser.parse_args().cycles

    script = ["line 300 300 300 700 8", "pause 500"]
    for k in range(1, cycles + 1):
        script += cycle_lines(k)
    script += flood_lines()
    try:
        with WineFixture("soak", binaries=BINARIES) as wine:
            session = PenDriverSession(wine)
            session.start(script)
            rows = replug_cycles(wine, session, cycles)
            wait_for_mark(session, "flood-end", timeout=120)
            session.wait_for_script(timeout=60)
            flood = flood_figures(session)
            strokes_drawn = strokes_per_cycle(session, cycles)
    except MissingWindowsBinaries as missing:
        print(missing, file=sys.stderr)
        return 77

    noticed = [row[0] for row in rows if row[0] is not None]
    found = [row[1] for row in rows]
    descriptors = [row[2] for row in rows]
    print()
    print(f"Unplug and replug, {cycles} cycles ({UNPLUGGED_MS / 1000:.0f} s unplugged each):")
    print(f"  noticed while unplugged: {len(noticed)} of {cycles}; "
          f"time to notice min/median/max {min(noticed):.1f}/{percentile(noticed, 50):.1f}/{max(noticed):.1f} s")
    print(f"  found again: {len(found)} of {cycles}; time to re-find min/median/max "
          f"{min(found):.1f}/{percentile(found, 50):.1f}/{max(found):.1f} s")
    print(f"  strokes drawn before the cycles and after each replug (one each): {strokes_drawn}")
    print(f"  driver's open descriptors after each cycle: {descriptors}")
    latency = flood["latency_ms"]
    print()
    print(f"Flood: {flood['strokes']} strokes, {flood['bytes']} bytes in {flood['span_s']:.2f} s "
          f"({flood['rate']:.0f} bytes/s, {flood['rate'] / WIRE_BYTES_PER_S:.1f} x the wire rate), junk between reports:")
    print(f"  button-downs {flood['downs']}, button-ups {flood['ups']} (of {flood['strokes']} each)")
    print(f"  latency press report -> button-down: p50 {percentile(latency, 50):.1f} ms, "
          f"p90 {percentile(latency, 90):.1f} ms, p99 {percentile(latency, 99):.1f} ms, max {max(latency):.1f} ms")
    ok = (len(found) == cycles and strokes_drawn == [1] * (cycles + 1) and len(set(descriptors)) == 1
          and flood["downs"] == flood["strokes"] == flood["ups"] == FLOOD_STROKES)
    print("\nall cycles re-found and drawing, descriptors stable, no report lost" if ok else "\nSOAK FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
