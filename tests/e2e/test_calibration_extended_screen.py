"""A calibration for an extended screen below the primary one (adjust type 0x20009: nine points, screen
flag 2): the driver saves "extendScreenFlag" 2 and offsets every mapped position by one screen height.
Xvfb has one screen only, so Wine clamps the offset position to its bottom row: the cursor lands on the
target's column there, and the receiver window, one pixel short of the bottom, gets no pen input."""


from calibration_session import (CalibrationSession, Touch, board_position, cursor_positions, expected_settings,
                                 grid_targets, parse_settings, stroke_lines, target_pixel, touch_lines)
from receiver import MOUSE_KINDS, input_events
from wine_harness import WineFixture, check, run_test, wait_for_line, wait_until, windows_path

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "adjust_peer.exe", "cursor_probe.exe"]


def main():
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    touches = [Touch(position) for position in positions]

    with WineFixture("calibration_extended_screen", binaries=BINARIES) as wine:
        session = CalibrationSession(wine)
        session.start_receiver()
        probe_log = wine.logs / "cursor_probe.log"
        probe = wine.start_windows("cursor_probe.exe", windows_path(probe_log))
        wait_for_line(probe_log, r"^ready ", timeout=20, program=probe)
        session.start_tool(0x20009)
        session.start_board([*touch_lines(touches), "pause 1000", *stroke_lines(positions, "verify")])
        session.start_driver()
        session.wait_for_tool(timeout=40)
        session.wait_for_board(timeout=30)

        verify_us = session.board_mark_time("verify")
        width, height = session.screen
        columns = sorted({target_pixel(target, session.screen)[0] for target in targets})

        def visited_columns():
            # Each stroke's column in order: the three targets of a column share it.
            cursor = cursor_positions(probe_log, verify_us)
            visited = [x for i, (x, _) in enumerate(cursor) if i == 0 or cursor[i - 1][0] != x]
            return [min(columns, key=lambda c: abs(c - x)) for x in visited]

        def all_columns_visited():
            visited = visited_columns()
            return visited if len(visited) >= len(columns) else None

        visited = wait_until(all_columns_visited, 20,
                             lambda: f"the cursor visited the columns {visited_columns()} of {columns}")
        check(visited == columns, f"the cursor visited the columns {visited} of {columns}")
        cursor = cursor_positions(probe_log, verify_us)
        off_bottom = [(x, y) for x, y in cursor if y != height - 1]
        check(not off_bottom, f"cursor positions not on the bottom row {height - 1}: {off_bottom}")
        off_column = [(x, y) for x, y in cursor if min(abs(x - column) for column in columns) > 1]
        check(not off_column, f"cursor positions off the target columns {columns}: {off_column}")

        # The driver saved before it handled the strokes.
        _, keys = parse_settings(session.settings_path.read_bytes())
        expected = expected_settings([touch.measured() for touch in touches], extend_screen_flag=2)
        check(keys == expected, f"config.ini keys:\n{keys}\nexpected:\n{expected}")
        pen_input = input_events(session.receiver_events_after(verify_us), MOUSE_KINDS)
        check(pen_input == [], f"the receiver got pen input inside the primary screen: {pen_input[:5]}")


if __name__ == "__main__":
    run_test(main)
