"""The receiver window (tests/win32/receiver_win32.cpp) for the Wine tests: starting it, reading its
log, and where Wine puts absolute mouse coordinates.

A log line is a kind followed by key=value fields, numbers in decimal or 0x hex:
    ready t_us=... clock=linux_monotonic screen_w=1280 screen_h=1024 window_w=1279 window_h=1023
    lbuttondown t_us=... msg_ms=... x=390 y=468 mk=0x0001
    keydown t_us=... msg_ms=... vk=0x41 scan=0x1e ext=0 repeat=0
inject_mouse.exe --log writes the same form (`call t_us=... done_us=... flags=0x8003 x=... y=...`).
With clock=linux_monotonic, t_us is time.monotonic_ns() // 1000 of the moment the window procedure saw
the message, so it can be compared with stamps taken by Linux programs. Wine's QueryPerformanceCounter
is CLOCK_MONOTONIC_RAW instead, which is a different clock (see linux_monotonic_clock.h).

Injected mouse input under Wine has one trap: each absolute move also warps the X pointer, and the X
server's echo of that warp comes back ~1-2 ms later (tens of ms on a busy machine) as a real motion.
A move injected before the echo of the previous one has arrived is overtaken by it: the cursor jumps
back, and a button message without coordinates lands at the old place. Measured with 200 moves: none
stale 20 ms apart, a few at 10 ms on a loaded machine, many at 2-5 ms. Space injections ~20 ms apart,
a pen's pace, give button messages their coordinates, and let a mousemove repeat a place already
visited.
"""

import time
from dataclasses import dataclass, field

from wine_harness import wait_for_line, windows_path

MOUSE_KINDS = frozenset({
    "mousemove", "lbuttondown", "lbuttonup", "lbuttondblclk", "rbuttondown", "rbuttonup", "rbuttondblclk",
    "mbuttondown", "mbuttonup", "mbuttondblclk",
})
KEY_KINDS = frozenset({"keydown", "keyup", "syskeydown", "syskeyup"})

MK_LBUTTON = 0x0001
MK_RBUTTON = 0x0002
MK_MBUTTON = 0x0010


@dataclass(frozen=True)
class LogRecord:
    kind: str
    t_us: int
    x: int | None = None
    y: int | None = None
    mk: int | None = None
    vk: int | None = None
    values: dict = field(default_factory=dict)  # every field of the line, numbers as int

    @property
    def position(self):
        return (self.x, self.y)


@dataclass(frozen=True)
class Receiver:
    program: object  # wine_harness.Program
    log_path: object
    ready: LogRecord  # screen_w/screen_h in .values: the screen as Wine sees it


def parse_value(text):
    try:
        return int(text, 0)
    except ValueError:
        return text


def parse_line(line):
    kind, *pairs = line.split()
    values = {}
    for pair in pairs:
        key, separator, value = pair.partition("=")
        if not separator:
            raise ValueError(f"not key=value: {pair!r} in log line {line!r}")
        values[key] = parse_value(value)
    return LogRecord(kind=kind, t_us=values["t_us"], x=values.get("x"), y=values.get("y"), mk=values.get("mk"),
                     vk=values.get("vk"), values=values)


def parse_log(lines):
    """Every line as a LogRecord, in the order they were written."""
    return [parse_line(line) for line in lines if line.strip()]


def read_log(path):
    with open(path, errors="replace") as file:
        return parse_log(file.read().splitlines())


def input_events(records, kinds=MOUSE_KINDS | KEY_KINDS):
    return [record for record in records if record.kind in kinds]


def start_receiver(wine, name="receiver", timeout=20, attempts=3, env=None):
    """Starts receiver.exe in the fixture and waits until its window is up and focused. The first Wine
    program of a prefix also starts Wine's services, hence the generous default. While those start, a
    window can fail to be created (seen on a loaded machine): the receiver is then started again. Wine's
    explorer.exe, started for the first window, inherits `env` and the receiver's standard error."""
    log_path = wine.logs / f"{name}.log"
    for attempt in range(1, attempts + 1):
        program = wine.start_windows("receiver.exe", windows_path(log_path), name=name, env=env)
        ready = parse_line(wait_for_line(log_path, r"^(ready|error) ", timeout, program=program))
        if ready.kind == "ready":
            return Receiver(program, log_path, ready)
        program.wait(timeout=10)
        if ready.values.get("reason") != "no_window" or attempt == attempts:
            raise RuntimeError(f"the receiver did not get the focus: {ready.values}")
        time.sleep(0.5)


def absolute_to_pixel(value, extent):
    """The pixel Wine moves the cursor to for an absolute mouse_event coordinate 0..65535 on a single
    screen `extent` pixels wide (or high): value * extent / 65536, rounded down."""
    if not 0 <= value <= 65535:
        raise ValueError(f"absolute coordinate {value} outside 0..65535")
    return value * extent >> 16
