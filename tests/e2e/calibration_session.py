"""A calibration run end to end under Wine, for the test_calibration_*.py tests: adjust_peer.exe plays
the calibration tool's side through Velno.dll (adjust type, index 1, wait for the driver's 0, the next
index, ..., StopAdjust), the board simulator plays the pen on COM5, and VelnoDriver.exe ("/service")
measures the touches and writes config.ini beside itself in the fixture's bin folder.

    with WineFixture("calibration") as wine:
        session = CalibrationSession(wine)
        session.start_receiver()
        session.start_tool(9)
        touches = [Touch(board_position(*target)) for target in grid_targets(9)]
        session.start_board([*touch_lines(touches), "pause 1000", "mark verify", *stroke_lines(...)])
        session.start_driver()
        session.wait_for_tool(timeout=30)

The board positions come from a synthetic distortion (board_position): the board is turned, sheared and
stretched against the screen, so a driver that mixes up axes, points or cells maps visibly wrong.
"""

from dataclasses import dataclass

from pen_driver_session import SETTINGS_SECTION, start_board_sim
from receiver import absolute_to_pixel, read_log, start_receiver
from wine_harness import check, check_eventually, read_lines, wait_for_line, wait_until, windows_path

# Grid shape (rows, columns) of each point count the driver supports.
GRID_SHAPES = {4: (2, 2), 6: (2, 3), 9: (3, 3), 12: (3, 4), 16: (4, 4), 20: (4, 5), 25: (5, 5)}
STEADY_SAMPLES = 10
SETTINGS_BOM = b"\xff\xfe"
# "[Adjust-" U+4F43 "M]" as UTF-16LE: the U+4F43 is the bytes 43 4F.
SECTION_HEADER_BYTES = "[Adjust-".encode("utf-16-le") + b"\x43\x4f" + "M]".encode("utf-16-le")


def grid_targets(count):
    """The targets of a run of `count` points in point order (down the leftmost column first), in
    absolute input units: (1 + column * 30 / (columns - 1)) / 32 of the screen, likewise for rows."""
    rows, columns = GRID_SHAPES[count]
    return [(int((p // rows * 30 / (columns - 1) + 1) * 2048), int((p % rows * 30 / (rows - 1) + 1) * 2048))
            for p in range(count)]


def board_position(x_absolute, y_absolute):
    """Where the pen touches the board for a screen position: turned by about 1.5 degrees, sheared,
    stretched unevenly and bent a little (the bilinear term), in board units."""
    u, v = x_absolute / 65536, y_absolute / 65536
    return (round(1800 + 28600 * u + 750 * v + 900 * u * v), round(1400 - 520 * u + 29300 * v + 600 * u * v))


def target_pixel(target, screen):
    return absolute_to_pixel(target[0], screen[0]), absolute_to_pixel(target[1], screen[1])


@dataclass
class Touch:
    """One target touched: the pen comes down at `position`, rests for `samples` reports that jitter by
    up to 3 units (after an optional jump of `wander` units away, which restarts the measurement), stays
    there `rest_ms` longer (marked "<mark> lift" when it leaves), and is lifted."""
    position: tuple
    samples: int = 12
    wander: tuple = None
    pause_before_tenth_ms: int = 0
    rest_ms: int = 0

    def jittered(self, anchor):
        offsets = [(1, -2), (-3, 1), (2, 3), (0, -1), (-1, 2), (3, 0), (-2, -3), (1, 1), (-1, -1), (2, -2)]
        return [(anchor[0] + dx, anchor[1] + dy) for dx, dy in (offsets * 3)[:self.samples]]

    def lines(self, mark):
        x, y = self.position
        script = [f"mark {mark}", f"down {x} {y}"]
        anchor = self.position
        if self.wander is not None:
            script += [f"move {px} {py}" for px, py in self.jittered(anchor)[:STEADY_SAMPLES - 1]]
            anchor = (x + self.wander[0], y + self.wander[1])
            script += [f"mark {mark} wander", f"move {anchor[0]} {anchor[1]}"]
        samples = self.jittered(anchor)
        for i, (px, py) in enumerate(samples):
            if i == STEADY_SAMPLES - 1 and self.pause_before_tenth_ms:
                script += [f"mark {mark} before-tenth", f"pause {self.pause_before_tenth_ms}"]
            script.append(f"move {px} {py}")
        last = samples[-1]
        if self.rest_ms:
            script += [f"hold {last[0]} {last[1]} {self.rest_ms}", f"mark {mark} lift"]
        return script + [f"up {last[0]} {last[1]}"]

    def measured(self):
        """What the driver stores: the mean of the first ten samples after the (last) anchor, truncated."""
        anchor = self.position if self.wander is None else (self.position[0] + self.wander[0],
                                                            self.position[1] + self.wander[1])
        samples = self.jittered(anchor)[:STEADY_SAMPLES]
        return sum(x for x, _ in samples) // STEADY_SAMPLES, sum(y for _, y in samples) // STEADY_SAMPLES


def touch_lines(touches, pause_ms=500):
    """Script lines for the targets one after another; the pause lets the tool show the next target."""
    script = []
    for k, touch in enumerate(touches, 1):
        script += touch.lines(f"touch-{k}") + [f"pause {pause_ms}"]
    return script


def stroke_lines(positions, mark):
    """A short still stroke at each board position: the driver drops the first report, then presses,
    moves and releases there."""
    script = [f"mark {mark}"]
    for x, y in positions:
        script += [f"down {x} {y}", f"hold {x} {y} 80", f"up {x} {y}", "pause 150"]
    return script


def strokes_at_receiver(events):
    """The receiver's mouse messages grouped by stroke: each list runs from an lbuttondown to the next
    lbuttonup."""
    strokes, current = [], None
    for event in events:
        if event.kind == "lbuttondown":
            current = [event]
        elif current is not None and event.kind in ("mousemove", "lbuttonup"):
            current.append(event)
            if event.kind == "lbuttonup":
                strokes.append(current)
                current = None
    return strokes


def cursor_changes(log_path, after_us, before_us=None):
    """(t_us, x, y) of each cursor change that cursor_probe.exe logged after after_us (and before before_us)."""
    changes = []
    for line in read_lines(log_path):
        fields = dict(pair.split("=", 1) for pair in line.split()[1:])
        t_us = int(fields["t_us"])
        if line.startswith("cursor ") and t_us > after_us and (before_us is None or t_us < before_us):
            changes.append((t_us, int(fields["x"]), int(fields["y"])))
    return changes


def cursor_positions(log_path, after_us, before_us=None):
    """(x, y) of each cursor change that cursor_probe.exe logged after after_us (and before before_us)."""
    return [(x, y) for _, x, y in cursor_changes(log_path, after_us, before_us)]


def parse_settings(data):
    """config.ini's bytes as (section names, [(key, value), ...] of the settings section in file order)."""
    if not data.startswith(SETTINGS_BOM):
        raise ValueError(f"config.ini starts with {data[:4]!r}, not a UTF-16LE byte-order mark")
    sections, keys, current = [], [], None
    for line in data[2:].decode("utf-16-le").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
            sections.append(current)
        elif current == SETTINGS_SECTION and "=" in line:
            key, _, value = line.partition("=")
            keys.append((key, value))
    return sections, keys


def check_settings_saved(path, expected, timeout=20):
    """Checks that config.ini's section keys become `expected` within `timeout` seconds: a save writes
    them one by one after the acknowledgement the tool waits for."""
    def keys():
        try:
            return parse_settings(path.read_bytes())[1]
        except (ValueError, FileNotFoundError) as unreadable:  # UnicodeDecodeError is a ValueError
            return unreadable

    check_eventually(lambda: keys() == expected, timeout, lambda: f"config.ini keys:\n{keys()}\nexpected:\n{expected}")


def expected_settings(points, extend_screen_flag, brush=2500, erase=25000, buttons=()):
    """The keys a save writes, in its order, for measured points and touch buttons."""
    keys = [("GestureBrush", str(brush)), ("GestureErase", str(erase)), ("AdjustType", str(len(points))),
            ("extendScreenFlag", str(extend_screen_flag))]
    for k, (x, y) in enumerate(points, 1):
        keys += [(f"Point{k:02d}-x", str(x)), (f"Point{k:02d}-y", str(y))]
    keys.append(("num_buttons", str(len(buttons))))
    for k, (x, y) in enumerate(buttons, 1):
        keys += [(f"Button{k:02d}-x", str(x)), (f"Button{k:02d}-y", str(y))]
    return keys


class CalibrationSession:
    def __init__(self, wine):
        self.wine = wine
        self.settings_path = wine.bin_dir / "config.ini"
        self.tool_log = wine.logs / "adjust_peer.log"
        self.receiver = None
        self.tool = None
        self.board = None
        self.board_log = None
        self.driver = None
        self._boards = 0

    def start_receiver(self):
        self.receiver = start_receiver(self.wine, timeout=30)
        return self.receiver

    @property
    def screen(self):
        return self.receiver.ready.values["screen_w"], self.receiver.ready.values["screen_h"]

    def start_tool(self, adjust_type, per_target_ms=20000):
        """The tool's side of a run, started before the board so that target 1 is shown when the pen comes."""
        self.tool = self.wine.start_windows("adjust_peer.exe", windows_path(self.tool_log), hex(adjust_type),
                                            per_target_ms)
        wait_for_line(self.tool_log, r"^showing k=1 ", timeout=20, program=self.tool)

    def wait_for_tool(self, timeout):
        line = wait_for_line(self.tool_log, r"^(done|timeout) ", timeout=timeout, program=self.tool)
        check(line.startswith("done"), f"the tool's run did not finish: {read_lines(self.tool_log)}", stop=True)

    def tool_time(self, pattern):
        """t_us of the tool's first log line matching `pattern`."""
        line = wait_for_line(self.tool_log, pattern, timeout=0)
        return int(line.rsplit("t_us=", 1)[1])

    def start_board(self, script_lines, handshake_timeout_ms=20000):
        """A board on COM5 that plays the script once the driver has found it. Each call is a new board
        (a new pseudo-terminal behind COM5); the previous one must have ended."""
        self._boards += 1
        name = f"board-{self._boards}"
        self.board_log = self.wine.logs / f"{name}.log"
        self.board = start_board_sim(self.wine, [f"wait-handshake {handshake_timeout_ms}", "pause 300", *script_lines,
                                                 "pause 300"], name=name)

    def wait_for_board(self, timeout):
        code = self.board.wait(timeout)
        if code != 0:
            raise RuntimeError(f"the board simulator failed with {code}: {self.board.describe()}")

    def board_mark_time(self, text):
        """Microseconds (CLOCK_MONOTONIC) at which the current board's script reached `mark text`."""
        for line in read_lines(self.board_log):
            fields = line.split(" ", 3)
            if fields[1:3] == ["event", "mark"] and fields[3] == text:
                return int(fields[0])
        raise AssertionError(f"no mark {text!r} in {self.board_log}")

    def start_driver(self, env=None):
        self.driver = self.wine.start_windows("VelnoDriver.exe", "/service", env=env)
        return self.driver

    def stop_driver(self):
        self.driver.stop()
        self.driver = None

    def receiver_events_after(self, t_us):
        return [event for event in read_log(self.receiver.log_path) if event.t_us > t_us]

    def check_strokes_reach(self, t_us, targets, tolerance=1):
        """Checks that the receiver got one stroke a target after t_us (waits for that many), in order,
        each within `tolerance` pixels of its target: one check for the count, one for each stroke."""
        def all_strokes():
            strokes = strokes_at_receiver(self.receiver_events_after(t_us))
            return strokes if len(strokes) >= len(targets) else None

        strokes = wait_until(all_strokes, 20, lambda: f"fewer than {len(targets)} strokes at the receiver")
        check(len(strokes) == len(targets), f"{len(strokes)} strokes at the receiver, {len(targets)} expected")
        def near(event, pixel):
            return abs(event.x - pixel[0]) <= tolerance and abs(event.y - pixel[1]) <= tolerance

        pixels = [target_pixel(target, self.screen) for target in targets]
        for k, (stroke, expected) in enumerate(zip(strokes, pixels), 1):
            # Wine may echo the X pointer's older position as a move (the previous stroke's): forgiven
            # for moves only, never for a press or a release.
            astray = [(event.kind, event.position) for event in stroke if not near(event, expected)
                      and not (event.kind == "mousemove" and k > 1 and near(event, pixels[k - 2]))]
            check(not astray, f"stroke {k}: {astray}, target at {expected}")
