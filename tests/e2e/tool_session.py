"""The calibration tool Adjust.exe end to end under Wine, for the test_adjust_*.py tests: tool_watch.exe
logs the tool's dialogs and the point-run index as they change, post_command.exe clicks the tool's
buttons from outside, and screenshots read the target window's pixels.

    with WineFixture("adjust") as wine:
        tool = ToolSession(wine)
        tool.start_watch()
        program = tool.start("Adjust_single_standard.exe")
        tool.wait_window(CHOOSER_TITLE)
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[9])
        tool.wait_index(1)
"""

import os
import re
import subprocess
import time

from wine_harness import SOURCE_ROOT, check, check_eventually, read_lines, wait_for_line, wait_until, windows_path


def resource_ids(header=SOURCE_ROOT / "adjust" / "resource_ids.h"):
    """The `#define NAME number` lines of the tool's resource header, by name."""
    return {name: int(number) for name, number in re.findall(r"^#define (\w+) (\d+)\b", header.read_text(), re.M)}


RESOURCE_IDS = resource_ids()

CHOOSER_TITLE = "Choose Adjusting-point number:"
MESSAGE_TITLE = "Adjusting"
NO_BOARD_TEXT = "Please check whether the whiteboard is connected with the computer correctly\uff01"
NO_DRIVER_TEXT = ("The pen driver has not found the whiteboard. Please check that the whiteboard is connected, "
                  "wait a few seconds and start the calibration again.")
COUNT_BUTTONS = {count: RESOURCE_IDS[f"IDC_COUNT_{count}"] for count in (4, 6, 9, 12, 16, 20, 25)}
IDOK, IDCANCEL = 1, 2
# The check after a saved calibration: its window, its buttons, and its five crosses of a nine-point run as
# fractions of the screen (the middle one between targets 2 and 5, then one in each quarter's cell).
CHECK_TITLE = "Calibration check"
CHECK_DONE, CHECK_AGAIN = RESOURCE_IDS["IDC_CHECK_DONE"], RESOURCE_IDS["IDC_CHECK_AGAIN"]
CHECK_CROSSES_9 = [(8.5 / 32, 16 / 32), (8.5 / 32, 8.5 / 32), (23.5 / 32, 8.5 / 32), (8.5 / 32, 23.5 / 32),
                   (23.5 / 32, 23.5 / 32)]
# Colours of the target icons.
RED, GREEN, GREY, DISC = (224, 12, 20), (20, 131, 5), (164, 163, 163), (40, 230, 60)
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
WINDOW_FIELDS = re.compile(r'^window hwnd=(\S+) title="(.*)" x=(-?\d+) y=(-?\d+) w=(\d+) h=(\d+) focus=(-?\d+) '
                           r'texts="(.*)" t_us=(\d+)$')


class Window:
    def __init__(self, line):
        match = WINDOW_FIELDS.match(line)
        assert match, line
        self.hwnd, self.title = match[1], match[2]
        self.x, self.y, self.w, self.h, self.focus = (int(match[i]) for i in range(3, 8))
        self.texts, self.t_us = match[8], int(match[9])

    @property
    def rect(self):
        return self.x, self.y, self.x + self.w, self.y + self.h


def target_points(count, width, height):
    """The targets' pixels in a window of width x height, column by column from the left (the tool's grid)."""
    rows, columns = {4: (2, 2), 6: (2, 3), 9: (3, 3), 12: (3, 4), 16: (4, 4), 20: (4, 5), 25: (5, 5)}[count]
    return [(int(width * ((30 / (columns - 1)) * (i // rows) + 1) / 32), int(height * ((30 / (rows - 1)) * (i % rows) + 1) / 32))
            for i in range(count)]


def touch_until_next_target(positions, signals, tag=""):
    """Target k: wait until the test has seen it shown (signal file <tag>shown-k), pen down on it and steady
    reports until the next target shows (or the run has ended: <tag>ended), pen up."""
    script = []
    for k, (x, y) in enumerate(positions, 1):
        after = f"{tag}shown-{k + 1}" if k < len(positions) else f"{tag}ended"
        script += [f"wait-file {signals / f'{tag}shown-{k}'} 60000", f"mark {tag}touch-{k}", f"down {x} {y}",
                   f"hold-until-file {x} {y} {signals / after} 60000", f"up {x} {y}"]
    return script


def write_place(path, position):
    """Names a board position for the board's tap-at-file: written whole, then renamed into place."""
    part = path.with_name(path.name + ".part")
    part.write_text(f"{position[0]} {position[1]}\n")
    os.replace(part, path)


def touch_as_planned(plan, signals, tag=""):
    """The board's touches in turn, `plan` a list of (board position, taken): touch i waits for the signal
    file <tag>go-i, which the test makes once the tool shows the target it is for (ToolSession.let_touches_go).
    One the driver takes rests there until the next may go (<tag>go-(i+1); after the last, <tag>ended); one it
    refuses lifts after 300 ms (marked "<tag>lifted-i")."""
    script = []
    for i, ((x, y), taken) in enumerate(plan, 1):
        after = signals / (f"{tag}go-{i + 1}" if i < len(plan) else f"{tag}ended")
        script += [f"wait-file {signals / f'{tag}go-{i}'} 60000", f"mark {tag}touch-{i}", f"down {x} {y}",
                   f"hold-until-file {x} {y} {after} 60000" if taken else f"hold {x} {y} 300",
                   f"up {x} {y}", f"mark {tag}lifted-{i}"]
    return script


def check_cross_pixels(width, height):
    """The check's five crosses of a nine-point run, in pixels of a window of width x height."""
    return [(int(width * fx), int(height * fy)) for fx, fy in CHECK_CROSSES_9]


def touch_crosses(positions, signals, tag):
    """Cross c of the check: wait until the test has seen it shown (signal file <tag>cross-c), a short still
    touch there, lifted (marked "<tag>cross-c lift" just before)."""
    script = []
    for c, (x, y) in enumerate(positions, 1):
        script += [f"wait-file {signals / f'{tag}cross-{c}'} 60000", f"down {x} {y}", f"hold {x} {y} 80",
                   f"mark {tag}cross-{c} lift", f"up {x} {y}"]
    return script


class Screenshot:
    """The X screen's pixels as RGB triples."""

    def __init__(self, wine, width, height):
        raw = subprocess.run(["import", "-window", "root", "-display", wine.display, "-depth", "8", "rgb:-"],
                             check=True, capture_output=True, timeout=30, env=wine.env).stdout
        assert len(raw) == width * height * 3, f"screenshot of {len(raw)} bytes for {width} x {height}"
        self.raw, self.width = raw, width

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def count(self, colour, x0, y0, x1, y1):
        return sum(self.pixel(x, y) == colour for y in range(max(y0, 0), y1) for x in range(max(x0, 0), x1))


class ToolSession:
    def __init__(self, wine):
        self.wine = wine
        self.watch_log = wine.logs / "tool_watch.log"
        self.watch = None

    def start_watch(self):
        self.watch = self.wine.start_windows("tool_watch.exe", windows_path(self.watch_log))
        wait_for_line(self.watch_log, r"^ready ", timeout=20, program=self.watch)

    def start(self, program_name, name=None):
        return self.wine.start_windows(program_name, name=name)

    def lines(self):
        return read_lines(self.watch_log)

    def mark(self):
        """A place in the watcher's log: the waits below given it look only at what came later."""
        return len(self.lines())

    def wait_window(self, title, timeout=20, texts=None, skip=0, texts_pattern=None):
        """The first logged state of a dialog window titled `title` (and showing `texts`, or texts matching
        the regex `texts_pattern`), after the first `skip` lines of the log."""
        pattern = rf'^window .* title="{re.escape(title)}" '
        if texts is not None:
            pattern += rf'.* texts="{re.escape(texts)}" '
        if texts_pattern is not None:
            pattern += rf'.* texts="{texts_pattern}" '
        return Window(wait_for_line(self.watch_log, pattern, timeout=timeout, program=self.watch, skip=skip))

    def wait_gone(self, window, timeout):
        line = wait_for_line(self.watch_log, rf"^gone hwnd={window.hwnd} ", timeout=timeout, program=self.watch)
        return int(line.rsplit("t_us=", 1)[1])

    def wait_board_found(self, timeout=30):
        """Waits until the driver publishes that it has a board, as the tool checks before its chooser."""
        wait_for_line(self.watch_log, r"^device found=1 ", timeout=timeout, program=self.watch)

    def wait_index(self, k, timeout=20, skip=0):
        """The time (t_us) the tool published target k, as the watcher saw it (after the first `skip` lines)."""
        line = wait_for_line(self.watch_log, rf"^index k={k} adjusting=1 ", timeout=timeout, program=self.watch,
                             skip=skip)
        return int(line.rsplit("t_us=", 1)[1])

    def run_check(self, signals, tag, skip, timeout=20):
        """Lets the board touch the check's five crosses one by one as each shows (touch_crosses) and
        returns the result screen's window state; looks at the watcher's log after the first `skip` lines."""
        for c in range(1, 6):
            self.wait_window(CHECK_TITLE, texts_pattern=rf'Check: touch the centre of cross {c} of 5[^"]*',
                             timeout=timeout, skip=skip)
            (signals / f"{tag}cross-{c}").touch()
        # The verdict and the figures are two texts set one after the other: wait for both.
        return self.wait_window(CHECK_TITLE, texts_pattern=r'(?=[^"]*(Good|Not good))(?=[^"]*Largest error)[^"]*',
                                timeout=timeout, skip=skip)

    def wait_shown(self, k, skip, run="index"):
        """Waits until the tool publishes target k in a line after the first `skip` lines of the watcher's log
        (of the touch-button run with run="buttons"); returns the place just after that line."""
        pattern = re.compile(rf"^{run} k={k} adjusting=1 ")

        def found():
            lines = self.lines()
            return next((i + 1 for i in range(skip, len(lines)) if pattern.match(lines[i])), None)

        return wait_until(found, 30, lambda: f"target {k} not shown after line {skip}: {self.lines()[skip:][-10:]}")

    def let_touches_go(self, board_log, targets, taken, signals, tag="", skip=0, on_shown=None, run="index"):
        """Lets the touches of touch_as_planned go, touch i once the tool shows targets[i - 1]: published anew,
        or, after a refused touch of the same target, once that touch has lifted. on_shown(i, target) runs
        just before a touch goes. Returns the place in the watcher's log after the last target shown."""
        for i, target in enumerate(targets, 1):
            if i > 1 and not taken[i - 2] and targets[i - 2] == target:
                wait_for_line(board_log, rf" event mark {tag}lifted-{i - 1}$", timeout=30)
            else:
                skip = self.wait_shown(target, skip, run)
            if on_shown is not None:
                on_shown(i, target)
            (signals / f"{tag}go-{i}").touch()
        return skip

    def control_rect(self, window, control, timeout=10):
        """The last logged rectangle (x0, y0, x1, y1) of control number `control` of the dialog `window`."""
        pattern = re.compile(rf"^control dialog={window.hwnd} id={control} x=(-?\d+) y=(-?\d+) w=(\d+) h=(\d+) ")

        def rect():
            found = [m for m in map(pattern.match, self.lines()) if m]
            if not found:
                return None
            x, y, w, h = (int(found[-1][i]) for i in range(1, 5))
            return x, y, x + w, y + h

        return wait_until(rect, timeout, lambda: f"no control {control} logged for window {window.hwnd}")

    def published(self):
        """The targets the tool published, in order (the driver's answers 0 and requests left out)."""
        return [int(state.split()[1][2:]) for state in self.index_states()
                if "adjusting=1" in state and 0 < int(state.split()[1][2:]) < 0x80]

    def index_states(self):
        return [line.rsplit(" t_us=", 1)[0] for line in self.lines() if line.startswith("index ")]

    def check_last_state(self, expected, timeout=5):
        """Checks that the last index state the watcher logged becomes `expected`: a state set just before
        the tool ended can reach the watcher's log a moment after the tool has gone."""
        check_eventually(lambda: self.index_states()[-1:] == [expected], timeout,
                         lambda: f"published states: {self.index_states()}")

    def click(self, title, control):
        program = self.wine.run_windows("post_command.exe", title, control, timeout=20)
        if program.popen.returncode != 0:
            raise RuntimeError(f"no window {title!r} to click {control} in")

    def screenshot_until(self, problem, width, height, timeout=10):
        """Screenshots until problem(shot) returns nothing (a text of what is wrong otherwise) and returns
        that shot; raises TimeoutError with the last problem after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while True:
            shot = Screenshot(self.wine, width, height)
            error = problem(shot)
            if not error:
                return shot
            if time.monotonic() > deadline:
                raise TimeoutError(error)
            time.sleep(0.1)

    def check_screen(self, problem, width, height, timeout=10):
        """Checks the screen: passes once a screenshot shows no problem (see screenshot_until), fails with
        the last problem after `timeout` seconds."""
        try:
            self.screenshot_until(problem, width, height, timeout)
        except TimeoutError as last_problem:
            return check(False, str(last_problem))
        return check(True, "")
