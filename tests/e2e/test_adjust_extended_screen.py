"""Two monitors (Xorg with the dummy driver).

A second monitor of the primary's size right of it: Adjust_single_extend.exe centres its chooser on the
second monitor, announces the count with screen flag 1 (N OR 0x10000), and its target window covers
exactly that monitor.

A 1024 x 768 projector right of the 1280 x 1024 primary, and one left of it: the tool calibrates the
projector with the real driver and the simulated board touching its targets, then strokes land on the
projector within a pixel of the targets. On the right, the projector then changes to 800 x 600 while the
driver runs, and the strokes follow it."""

from calibration_session import CalibrationSession, board_position, cursor_changes, cursor_positions, stroke_lines
from pen_driver_session import start_board_sim
from tool_session import (CHECK_DONE, CHECK_TITLE, CHOOSER_TITLE, COUNT_BUTTONS, GREY, IDCANCEL, RED, ToolSession,
                          target_points, touch_until_next_target)
from wine_harness import WineFixture, check, check_eventually, run_test, wait_for_line, windows_path

BINARIES = ["VelnoDriver.exe", "Velno.dll", "Adjust_single_extend.exe", "tool_watch.exe", "post_command.exe"]
CALIBRATION_BINARIES = [*BINARIES, "cursor_probe.exe"]
SCREEN = (1280, 1024)
SECOND = (1280, 0, 2560, 1024)
PROJECTOR = (1024, 768)


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


def calibrate_projector(side, resize_to=None):
    # The pen touches the projector's picture through the same keystone as on a primary screen: board
    # positions of the targets' fractions of the monitor.
    count = 9
    fractions = [(x / PROJECTOR[0], y / PROJECTOR[1]) for x, y in target_points(count, *PROJECTOR)]
    positions = [board_position(round(fx * 65536), round(fy * 65536)) for fx, fy in fractions]
    centre = positions[count // 2]

    with WineFixture(f"adjust_projector_{side}", screen=SCREEN, binaries=CALIBRATION_BINARIES, second_monitor=side,
                     second_size=PROJECTOR) as wine:
        signals = wine.run_dir / "signals"
        signals.mkdir()
        session = CalibrationSession(wine)
        tool = ToolSession(wine)
        tool.start_watch()
        probe_log = wine.logs / "cursor_probe.log"
        probe = wine.start_windows("cursor_probe.exe", windows_path(probe_log))
        wait_for_line(probe_log, r"^ready ", timeout=20, program=probe)
        # After the run: a stroke on each target; then, after the resolution change, strokes on the centre
        # target until the test has seen where they land.
        after_resize = [f"wait-file {signals / 'resized'} 60000", "mark resized"]
        after_resize += [line for _ in range(40) for line in stroke_lines([centre], "again")[1:]]
        session.start_board([*touch_until_next_target(positions, signals), f"wait-file {signals / 'tool-ended'} 60000",
                             "pause 300", *stroke_lines(positions, "verify"), *(after_resize if resize_to else [])])
        session.start_driver()
        tool.wait_board_found()

        adjust = tool.start("Adjust_single_extend.exe")
        tool.wait_window(CHOOSER_TITLE)
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[count])
        for k in range(1, count + 1):
            tool.wait_index(k)
            (signals / f"shown-{k}").touch()
        # Saved: the tool's check follows, which this scenario leaves at once.
        tool.wait_window(CHECK_TITLE)
        (signals / "ended").touch()
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
        check_strokes_land("verify", projector_monitor(side, PROJECTOR), fractions)
        if resize_to:
            wine.set_second_monitor_size(resize_to)
            (signals / "resized").touch()
            wait_for_line(session.board_log, r" event mark resized", timeout=30, program=session.board)
            check_strokes_land("resized", projector_monitor(side, resize_to), [fractions[count // 2]])
            left, top, right, _ = projector_monitor(side, resize_to)
            followed_us = next(t for t, x, y in cursor_changes(probe_log, session.board_mark_time("resized"))
                               if abs(x - (left + int((right - left) * fractions[count // 2][0]))) <= 1)
            print(f"strokes followed the new resolution {(followed_us - session.board_mark_time('resized')) / 1e6:.2f} s "
                  "after the change (strokes every 0.23 s)")
        session.board.stop()


def main():
    tool_on_same_size_monitor()
    calibrate_projector("right-of", resize_to=(800, 600))
    calibrate_projector("left-of")


if __name__ == "__main__":
    run_test(main)
