"""Two monitors (Xorg with the dummy driver).

A second monitor of the primary's size right of it: Adjust_single_extend.exe centres its chooser on the
second monitor, announces the count with screen flag 1 (N OR 0x10000), and its target window covers
exactly that monitor.

An 800 x 600 projector right of the 1280 x 1024 primary, and a 1280 x 720 one left of it: the tool calibrates
the projector with the real driver and the simulated board touching its targets through a strong keystone
(a 4:3 picture on a 16:9 board whose top edge is 0.65 of its bottom), 6 points on the right and 12 on the
left, every touch taken at the first try; the board then touches the check's crosses where it sees them on
the screen, and the result screen has every cross and the error beside it in the clear, and the verdict, the
figures and both buttons on the projector and off them. Then strokes land on the projector within a pixel
of the targets. On the right, the projector then changes to 1024 x 768 while the driver runs, and the strokes
follow it."""

import re
import subprocess

from calibration_session import CalibrationSession, cursor_changes, cursor_positions, stroke_lines
from pen_driver_session import start_board_sim
from tool_session import (BLACK, CHECK_DONE, CHECK_TITLE, CHOOSER_TITLE, COUNT_BUTTONS, GREEN, GREY,
                          IDCANCEL, RED, RESOURCE_IDS, ToolSession, target_points, touch_until_next_target, write_place)
from wine_harness import WineFixture, check, check_eventually, run_test, wait_for_line, windows_path

BINARIES = ["VelnoDriver.exe", "Velno.dll", "Adjust_single_extend.exe", "tool_watch.exe", "post_command.exe"]
CALIBRATION_BINARIES = [*BINARIES, "cursor_probe.exe"]
SCREEN = (1280, 1024)
SECOND = (1280, 0, 2560, 1024)
RESULT_CONTROLS = {name: RESOURCE_IDS[name] for name in ("IDC_CHECK_VERDICT", "IDC_CHECK_FIGURES", "IDC_CHECK_DONE",
                                                           "IDC_CHECK_AGAIN")}


def keystoned_board_position(fx, fy, top=0.65):
    """Where the board is touched for a place of the screen (fractions of its width and height): a 4:3
    picture on a 16:9 board, 0.95 of its height, from a projector tilted down so that the top edge is 0.65
    of the bottom one (a projective keystone)."""
    w = 1 + (top - 1) * fy
    kx, ky = 0.5 + (fx - 0.5) * top / w, top * fy / w
    return round((0.5 + (kx - 0.5) * 0.95 * 0.75) * 32767), round((0.5 + (ky - 0.5) * 0.95) * 32767)


def cross_on_screen(shot, area):
    """The centre of the check's cross in `area` (x0, y0, x1, y1 of the screenshot): the rows with a black run
    over 40 pixels are its 3-pixel horizontal arm; the run's middle is its centre."""
    x0, y0, x1, y1 = area
    rows = []
    for y in range(y0, y1):
        row = shot.raw[(y * shot.width + x0) * 3:(y * shot.width + x1) * 3]
        # A run of black bytes, from the first whole pixel in it.
        runs = [((m.start() + 2) // 3, m.end() // 3) for m in re.finditer(rb"\x00{123,}", row)]
        start, end = max(runs, key=lambda r: r[1] - r[0], default=(0, 0))
        if end - start > 40:
            rows.append((y, x0 + (start + end - 1) // 2))
    return (rows[len(rows) // 2][1], rows[len(rows) // 2][0]) if rows else None


def result_screen_problem(controls, crosses, monitor):
    """What hides a cross or its error, or lies off the monitor, on the result screen (None when nothing does):
    `controls` the verdict's, figures' and buttons' rectangles, `crosses` the crosses' centres, all in screen
    pixels of a screenshot whose monitor is `monitor`."""
    def problem(shot):
        left, top, right, bottom = monitor
        boxes = [(x - 25, y - 25, x + 26, y + 26) for x, y in crosses]
        # The error goes right of the cross, a little below its centre, or above it near the bottom.
        labels = [(x + 30, y + 4, x + 140, y + 32) if y + 32 <= bottom else (x + 30, y - 32, x + 140, y - 4)
                  for x, y in crosses]
        for name, (x0, y0, x1, y1) in controls.items():
            if not (left <= x0 and top <= y0 and x1 <= right and y1 <= bottom):
                return f"{name} at {(x0, y0, x1, y1)} off the monitor {monitor}"
            for box in boxes + labels:
                if x0 < box[2] and box[0] < x1 and y0 < box[3] and box[1] < y1:
                    return f"{name} at {(x0, y0, x1, y1)} over a cross or its error at {box}"
            dark = shot.count(BLACK, x0, y0, x1, y1) + shot.count(GREEN, x0, y0, x1, y1) + shot.count(RED, x0, y0, x1, y1)
            if dark < 30:
                return f"{name} at {(x0, y0, x1, y1)} shows {dark} pixels of text"
        for x, y in crosses:
            ends = [(x + dx, y) for dx in (-20, 20)] + [(x, y + dy) for dy in (-20, 20)]
            arms = [shot.pixel(*end) for end in ends if top <= end[1] < bottom]
            if arms != [BLACK] * len(arms):
                return f"the cross at {(x, y)} is hidden: its arms show {arms}"
        for x0, y0, x1, y1 in labels:
            if shot.count(BLACK, x0, max(top, y0), x1, min(bottom, y1)) < 20:
                return f"the error at {(x0, y0, x1, y1)} is hidden or off the screen"
        return None

    return problem


def tool_on_same_size_monitor():
    with WineFixture("adjust_extended_screen", screen=SCREEN, binaries=BINARIES, second_monitor="right-of") as wine:
        tool = ToolSession(wine)
        tool.start_watch()
        board = start_board_sim(wine, ["pause 60000"])
        driver = wine.start_windows("VelnoDriver.exe", "/service")
        tool.wait_board_found()
        program = tool.start("Adjust_single_extend.exe")

        chooser = tool.wait_window(CHOOSER_TITLE)
        centre = ((SECOND[0] + SECOND[2]) // 2 - chooser.w // 2, (SECOND[1] + SECOND[3]) // 2 - chooser.h // 2)
        check((chooser.x, chooser.y) == centre, f"chooser at {chooser.rect}, expected its corner at {centre}")
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[9])

        tool.wait_index(1)
        states = tool.index_states()
        check(states[-1] == f"index k=1 adjusting=1 type={0x10009}", f"published states: {states}")
        left, top, right, bottom = SECOND
        wait_for_line(tool.watch_log, rf'^window .* title="" x={left} y={top} w={right - left} h={bottom - top} ',
                      timeout=10, program=tool.watch)
        # The targets are drawn on the second monitor, relative to its corner.
        points = [(left + x, top + y) for x, y in target_points(9, right - left, bottom - top)]

        def targets_not_on_second_monitor(shot):
            colours = [shot.pixel(x + 15, y) for x, y in points]
            return None if colours == [RED] + [GREY] * 8 else f"target arms on the second monitor: {colours}"

        tool.check_screen(targets_not_on_second_monitor, 2 * SCREEN[0], SCREEN[1])
        tool.click("", IDCANCEL)  # as Esc does (Xorg here has no keyboard for xdotool)
        program.wait(timeout=10)
        tool.check_last_state(f"index k=0 adjusting=0 type={0x10009}")
        driver.stop()
        board.stop()


def projector_monitor(side, size):
    """The projector's rectangle as Wine reports it: the primary stays at (0, 0)."""
    width, height = size
    return (SCREEN[0], 0, SCREEN[0] + width, height) if side == "right-of" else (-width, 0, 0, height)


def x_offset(side, size):
    """From Wine's desktop coordinates to the X screen's: a monitor left of the primary is at X 0."""
    return size[0] if side == "left-of" else 0


def check_the_check(wine, tool, signals, side, size, skip):
    """Runs the check after the pass (its window new after the first `skip` lines of the watcher's log): each
    cross is found on a screenshot and touched where the board sees it; then the result screen is looked at."""
    monitor = projector_monitor(side, size)
    shift = x_offset(side, size)
    area = (monitor[0] + shift, monitor[1], monitor[2] + shift, monitor[3])
    screen = (SCREEN[0] + size[0], SCREEN[1])
    crosses = []
    for c in range(1, 6):
        tool.wait_window(CHECK_TITLE, texts_pattern=rf"Check: touch the centre of cross {c} of 5[^\"]*", skip=skip)
        shot = tool.screenshot_until(lambda s: None if cross_on_screen(s, area) else "no cross", *screen)
        x, y = cross_on_screen(shot, area)
        crosses.append((x, y))
        fx, fy = (x - area[0] + 0.5) / size[0], (y - area[1] + 0.5) / size[1]
        write_place(signals / f"cross-{c}", keystoned_board_position(fx, fy))
    result = tool.wait_window(CHECK_TITLE, texts_pattern=r'(?=[^"]*Good)(?=[^"]*Largest error)[^"]*', skip=skip)
    controls = {}
    for name, control in RESULT_CONTROLS.items():
        x0, y0, x1, y1 = tool.control_rect(result, control)
        controls[name] = (x0 + shift, y0, x1 + shift, y1)
    tool.check_screen(result_screen_problem(controls, crosses, area), *screen)
    subprocess.run(["import", "-window", "root", "-display", wine.display, str(wine.logs / f"result-{side}.png")],
                   check=True, timeout=30, env=wine.env)


def calibrate_projector(side, size, counts, resize_to=None):
    """Two runs of the tool on the projector, one of each count: the first leaves its check at once, the
    second is checked to its result screen. Its calibration is the one the strokes go through."""
    # The pen touches the projector's picture through the keystone: board positions of the targets'
    # fractions of the monitor.
    fractions = {n: [(x / size[0], y / size[1]) for x, y in target_points(n, *size)] for n in counts}
    positions = {n: [keystoned_board_position(fx, fy) for fx, fy in fractions[n]] for n in counts}
    count = counts[-1]
    centre = positions[count][count // 2]

    with WineFixture(f"adjust_projector_{side}", screen=SCREEN, binaries=CALIBRATION_BINARIES, second_monitor=side,
                     second_size=size) as wine:
        signals = wine.run_dir / "signals"
        signals.mkdir()
        session = CalibrationSession(wine)
        tool = ToolSession(wine)
        tool.start_watch()
        probe_log = wine.logs / "cursor_probe.log"
        probe = wine.start_windows("cursor_probe.exe", windows_path(probe_log))
        wait_for_line(probe_log, r"^ready ", timeout=20, program=probe)
        # After the runs: a stroke on each target; then, after the resolution change, strokes on the centre
        # target until the test has seen where they land.
        after_resize = [f"wait-file {signals / 'resized'} 60000", "mark resized"]
        after_resize += [line for _ in range(40) for line in stroke_lines([centre], "again")[1:]]
        taps = [f"tap-at-file {signals / f'cross-{c}'} 100 60000" for c in range(1, 6)]
        session.start_board([*touch_until_next_target(positions[counts[0]], signals, "first-"),
                             *touch_until_next_target(positions[count], signals), *taps,
                             f"wait-file {signals / 'tool-ended'} 60000",
                             "pause 300", *stroke_lines(positions[count], "verify"),
                             *(after_resize if resize_to else [])])
        session.start_driver()
        tool.wait_board_found()

        for n, tag in ((counts[0], "first-"), (count, "")):
            skip = tool.mark()
            adjust = tool.start("Adjust_single_extend.exe")
            tool.wait_window(CHOOSER_TITLE, skip=skip)
            tool.click(CHOOSER_TITLE, COUNT_BUTTONS[n])
            for k in range(1, n + 1):
                tool.wait_index(k, skip=skip)
                (signals / f"{tag}shown-{k}").touch()
            # Saved, every touch taken at the first try: the tool's check follows.
            tool.wait_window(CHECK_TITLE, skip=skip)
            (signals / f"{tag}ended").touch()
            states = tool.index_states()
            check(tool.published()[-n:] == list(range(1, n + 1))
                  and not [state for state in states if int(state.split()[1][2:]) >= 0x80],
                  f"{n} points: published states: {states}")
            if n == count:
                check_the_check(wine, tool, signals, side, size, skip)
            tool.click(CHECK_TITLE, CHECK_DONE)
            adjust.wait(timeout=30)
        (signals / "tool-ended").touch()

        def check_strokes_land(mark, monitor, expected_fractions):
            left, top, right, bottom = monitor
            pixels = [(left + int((right - left) * fx), top + int((bottom - top) * fy)) for fx, fy in expected_fractions]

            def missed():
                # Where the cursor came to rest after each press (the probe sees every change).
                seen = cursor_positions(probe_log, session.board_mark_time(mark))
                return [pixel for pixel in pixels
                        if not any(abs(x - pixel[0]) <= 1 and abs(y - pixel[1]) <= 1 for x, y in seen)]

            check_eventually(lambda: not missed(), 20, lambda: f"{side}: no cursor within 1 px of {missed()} on "
                             f"{monitor}; seen {sorted(set(cursor_positions(probe_log, session.board_mark_time(mark))))}")

        wait_for_line(session.board_log, r" event mark verify", timeout=30, program=session.board)
        check_strokes_land("verify", projector_monitor(side, size), fractions[count])
        if resize_to:
            wine.set_second_monitor_size(resize_to)
            (signals / "resized").touch()
            wait_for_line(session.board_log, r" event mark resized", timeout=30, program=session.board)
            check_strokes_land("resized", projector_monitor(side, resize_to), [fractions[count][count // 2]])
            left, top, right, _ = projector_monitor(side, resize_to)
            followed_us = next(t for t, x, y in cursor_changes(probe_log, session.board_mark_time("resized"))
                               if abs(x - (left + int((right - left) * fractions[count][count // 2][0]))) <= 1)
            print(f"strokes followed the new resolution {(followed_us - session.board_mark_time('resized')) / 1e6:.2f} s "
                  "after the change (strokes every 0.23 s)")
        session.board.stop()


def main():
    tool_on_same_size_monitor()
    calibrate_projector("right-of", (800, 600), (6, 9), resize_to=(1024, 768))
    calibrate_projector("left-of", (1280, 720), (12, 16))


if __name__ == "__main__":
    run_test(main)
