"""A whole nine-point calibration through the real tool: Adjust_single_standard.exe shows its chooser,
the test picks "9 Points", and for each target the board touches the raw position a turned, sheared and
stretched board gives for it, holding the pen steady until the tool shows the next target. After target 9 the
check shows its five crosses one by one and the board touches each where the distortion puts it: the
result screen says "Good" with a largest error of at most 2 px. "Calibrate again" runs the nine targets
once more; this time the board touches cross 3 40 px to the right of it, and the result names cross 3.
"Done" ends the tool, config.ini holds the nine points, and later strokes land within a pixel of their
targets. While target 3 shows, a screenshot has green crosses on targets 1-2, the red marker with the
hand on target 3 and grey crosses on 4-9.
Each pass has a slip, and the board then touches whatever target shows where it is: in the first, target 5's
place touched while target 4 shows (the driver takes it, refuses target 5 twice, asks for target 4 again: 12
touches); in the second, a palm in the middle of the lower right cell while target 2 shows (refused at once).
Neither slip reaches the calibration. Then, from the driver's menu: "Check the calibration" shows the
check of the nine points saved, "Good" when the board touches its crosses; "Calibrate this screen" shows
the chooser; "Settings..." the settings window."""

import re
import time

from calibration_session import (CalibrationSession, expected_settings, grid_targets, parse_settings,
                                 stroke_lines, strokes_at_receiver, target_pixel)
from pen_driver_session import icon_window
from tool_session import (BLACK, CHECK_AGAIN, CHECK_DONE, CHECK_TITLE, CHOOSER_TITLE, COUNT_BUTTONS, DISC, GREEN, GREY,
                          IDCANCEL, RED, WHITE, ToolSession, check_cross_pixels, target_points, touch_as_planned,
                          touch_crosses)
from wine_harness import WineFixture, check, run_test, wait_for_line, wait_until

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "Adjust_single_standard.exe", "tool_watch.exe",
            "post_command.exe", "icon_window.exe"]


def target_three_of_nine_problem(width, height):
    points = target_points(9, width, height)

    def problem(shot):
        for i, (x, y) in enumerate(points):
            expected = GREEN if i < 2 else RED if i == 2 else GREY
            if shot.pixel(x + 15, y) != expected:
                return f"target {i + 1} at ({x}, {y}): arm pixel {shot.pixel(x + 15, y)}, expected {expected}"
        x, y = points[2]
        if shot.pixel(x, y) != DISC:
            return f"target 3: centre {shot.pixel(x, y)}, expected the green disc {DISC}"
        # Target 3 lies in the left column: the hand stands right of it and points left.
        hand = (x + 29, y - 17, x + 77, y + 31)
        white, black = shot.count(WHITE, *hand), shot.count(BLACK, *hand)
        if white < 150 or black < 60:
            return f"hand at {hand}: {white} white and {black} black pixels"
        return None

    return problem


def board_position(x_absolute, y_absolute):
    """calibration_session's board without its bend: turned, sheared and stretched, which each cell's
    projective map follows exactly, so the check sees only rounding. (With the bend, a nine-point grid
    misses the cell centres by up to 13 px, and the check says so.)"""
    u, v = x_absolute / 65536, y_absolute / 65536
    return round(1800 + 28600 * u + 750 * v), round(1400 - 520 * u + 29300 * v)


def pixel_to_absolute(pixel, extent):
    """The absolute input coordinate in the middle of the pixel's span (absolute_to_pixel's inverse)."""
    return (2 * pixel + 1) * 65536 // (2 * extent)


def cross_board_positions(screen, off_by=None):
    """Where the board is touched for each cross of the check: the distortion's position for the cross's
    pixel; `off_by` = (cross number, dx) moves that one's touch dx pixels to the right."""
    positions = []
    for c, (x, y) in enumerate(check_cross_pixels(*screen), 1):
        if off_by is not None and off_by[0] == c:
            x += off_by[1]
        positions.append(board_position(pixel_to_absolute(x, screen[0]), pixel_to_absolute(y, screen[1])))
    return positions


# The targets shown, touch by touch, and whether the driver takes each touch: target 5's place touched while
# target 4 shows is taken, the genuine touches of target 5 are refused twice, and the driver asks for 4 again.
LATER_TARGET_SHOWN = [1, 2, 3, 4, 5, 5, 4, 5, 6, 7, 8, 9]
LATER_TARGET_TAKEN = [True, True, True, True, False, False, True, True, True, True, True, True]
# A palm far from every target (the middle of the lower right cell) while target 2 shows: refused at once.
PALM_SHOWN = [1, 2, 2, 3, 4, 5, 6, 7, 8, 9]
PALM_TAKEN = [True, False, True, True, True, True, True, True, True, True]


def later_target_plan(positions):
    touches = [positions[k - 1] for k in LATER_TARGET_SHOWN]
    touches[3] = positions[4]
    return list(zip(touches, LATER_TARGET_TAKEN))


def palm_plan(positions, palm):
    touches = [positions[k - 1] for k in PALM_SHOWN]
    touches[1] = palm
    return list(zip(touches, PALM_TAKEN))


def run_targets(tool, session, signals, tag, skip, shown, taken, screen=None):
    """The touches of one pass, each let go when the tool shows its target; a screenshot check at target 3
    when `screen` is given. Then, once the run has ended and the check shows, the pen on target 9 is lifted.
    Returns the place in the watcher's log from which the check's window is new."""
    def on_shown(_, target):
        if target == 3 and screen is not None:
            tool.check_screen(target_three_of_nine_problem(*screen), *screen)

    tool.let_touches_go(session.board_log, shown, taken, signals, tag, skip, on_shown)
    skip = tool.mark()
    tool.wait_window(CHECK_TITLE, skip=skip)
    (signals / f"{tag}ended").touch()
    return skip


def main():
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    palm = board_position(round(23.5 / 32 * 65536), round(23.5 / 32 * 65536))

    with WineFixture("adjust_calibration", binaries=BINARIES) as wine:
        signals = wine.run_dir / "signals"
        signals.mkdir()
        session = CalibrationSession(wine)
        session.start_receiver()
        screen = session.screen
        tool = ToolSession(wine)
        tool.start_watch()
        session.start_board([*touch_as_planned(later_target_plan(positions), signals),
                             *touch_crosses(cross_board_positions(screen), signals, "first-"),
                             *touch_as_planned(palm_plan(positions, palm), signals, "again-"),
                             *touch_crosses(cross_board_positions(screen, off_by=(3, 40)), signals, "again-"),
                             f"wait-file {signals / 'tool-ended'} 60000", "pause 300",
                             *stroke_lines(positions, "verify"),
                             *touch_crosses(cross_board_positions(screen), signals, "menu-")])
        session.start_driver()
        tool.wait_board_found()

        started = time.monotonic()
        adjust = tool.start("Adjust_single_standard.exe")
        chooser = tool.wait_window(CHOOSER_TITLE)
        check(chooser.focus == COUNT_BUTTONS[4], f"focus on control {chooser.focus}, not on 4 Points")
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[9])
        result = tool.run_check(signals, "first-",
                                run_targets(tool, session, signals, "", 0, LATER_TARGET_SHOWN, LATER_TARGET_TAKEN, screen))
        calibration_s = time.monotonic() - started
        result_ms = (result.t_us - session.board_mark_time("first-cross-5 lift")) / 1000
        largest = re.search(r"Largest error (\d+) px", result.texts)
        check(result.texts.startswith("Good") and largest and int(largest[1]) <= 2, f"first check: {result.texts!r}")
        check(result.x == 0 and result.y == 0 and (result.w, result.h) == screen, f"result screen at {result.rect}")

        skip = tool.mark()
        tool.click(CHECK_TITLE, CHECK_AGAIN)
        result = tool.run_check(signals, "again-",
                                run_targets(tool, session, signals, "again-", skip, PALM_SHOWN, PALM_TAKEN))
        off = re.search(r"Not good: at cross 3 the pen landed (\d+) px away", result.texts)
        check(off and 38 <= int(off[1]) <= 42, f"second check: {result.texts!r}")
        tool.click(CHECK_TITLE, CHECK_DONE)
        adjust.wait(timeout=30)
        (signals / "tool-ended").touch()
        wait_for_line(session.board_log, r" event mark verify$", timeout=60, program=session.board)

        states = tool.index_states()
        published = tool.published()
        check(published == _published(LATER_TARGET_SHOWN, LATER_TARGET_TAKEN) + _published(PALM_SHOWN, PALM_TAKEN),
              f"published targets: {published}")
        check([s for s in states if "k=132 " in s] == ["index k=132 adjusting=1 type=9"]
              and states[-1].startswith("index k=0 adjusting=0"), f"published states: {states}")
        _, keys = parse_settings(session.settings_path.read_bytes())
        expected = expected_settings(positions, extend_screen_flag=0)
        check(keys == expected, f"config.ini keys:\n{keys}\nexpected:\n{expected}")
        session.check_strokes_reach(session.board_mark_time("verify"), targets)
        strokes = strokes_at_receiver(session.receiver_events_after(session.board_mark_time("verify")))
        error = max(max(abs(event.x - target_pixel(target, session.screen)[0]),
                        abs(event.y - target_pixel(target, session.screen)[1]))
                    for stroke, target in zip(strokes, targets) for event in stroke)

        # From the driver's menu: the check of the calibration in use, then the chooser of a calibration,
        # then the settings window.
        skip, asked_us = tool.mark(), time.monotonic_ns() // 1000
        icon_window(wine, "command", "CheckCalibration")
        first_cross_ms = (tool.wait_window(CHECK_TITLE, skip=skip).t_us - asked_us) / 1000
        result = tool.run_check(signals, "menu-", skip)
        check(result.texts.startswith("Good"), f"the check from the menu: {result.texts!r}")
        tool.click(CHECK_TITLE, CHECK_DONE)
        session.wait_for_board(timeout=30)
        tool.wait_gone(result, timeout=20)

        def chooser_from_menu():
            icon_window(wine, "command", "CalibrateThisScreen")  # nothing starts until the check's tool has ended
            return any(f'title="{CHOOSER_TITLE}"' in line for line in tool.lines()[skip:])
        wait_until(chooser_from_menu, 20, lambda: "the menu started no chooser")
        tool.click(CHOOSER_TITLE, IDCANCEL)
        icon_window(wine, "command", "Settings")
        tool.wait_window("Velno settings", skip=skip)
    print(f"9-point calibration through the tool with its check: {calibration_s:.1f} s from the tool's start to "
          f"the result screen; last touch of the check to the result screen: {result_ms:.0f} ms; "
          f"largest error of the strokes after it: {error} px; the menu's Check the calibration to its first "
          f"cross: {first_cross_ms:.0f} ms")


def _published(shown, taken):
    """The targets the tool publishes for a plan: each target it shows anew (not again after a refusal)."""
    return [k for i, k in enumerate(shown) if i == 0 or taken[i - 1] or shown[i - 1] != k]


if __name__ == "__main__":
    run_test(main)
