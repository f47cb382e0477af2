"""A nine-point calibration end to end: the tool's side shows the targets one by one through Velno.dll,
the pen touches each at the board position a distorted board gives for it, the driver measures every
touch, acknowledges it, and after the last one saves config.ini (UTF-16LE, section "Adjust-" U+4F43 "M")
and maps through the new calibration at once; a restarted driver loads the file and maps the same way.
The config.ini there before is another program's, in the ANSI code page without a byte-order mark: the
save converts it to UTF-16LE and keeps its section."""


from calibration_session import (SECTION_HEADER_BYTES, CalibrationSession, Touch, board_position,
                                 expected_settings, grid_targets, parse_settings, stroke_lines, touch_lines)
from pen_driver_session import SETTINGS_SECTION
from wine_harness import WineFixture, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "adjust_peer.exe"]
# Code page 1252 is the prefix's ANSI code page; the e with acute accent is one byte there, E9.
INSTALLER_SECTION = "[Display]\r\nOwner=Salle Caf\u00e9\r\nRoom=12\r\n"


def main():
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    touches = [Touch(position) for position in positions]

    with WineFixture("calibration_run", binaries=BINARIES) as wine:
        session = CalibrationSession(wine)
        session.settings_path.write_bytes(INSTALLER_SECTION.encode("cp1252"))
        session.start_receiver()
        session.start_tool(9)
        session.start_board([*touch_lines(touches), "pause 1000", *stroke_lines(positions, "verify")])
        session.start_driver()
        session.wait_for_tool(timeout=40)
        session.wait_for_board(timeout=30)

        # The tool saw an acknowledgement for every target, each after the touch of that target began.
        for k in range(1, 10):
            assert session.tool_time(rf"^acknowledged k={k} ") > session.board_mark_time(f"touch-{k}"), k

        # The new calibration maps from the next stroke on.
        session.assert_strokes_reach(session.board_mark_time("verify"), targets)

        # The driver saved before it handled those strokes.
        data = session.settings_path.read_bytes()
        assert data.startswith(b"\xff\xfe" + INSTALLER_SECTION.encode("utf-16-le")), f"config.ini begins {data[:80]!r}"
        assert SECTION_HEADER_BYTES in data, "the section's name is not U+4F43 in UTF-16LE"
        sections, keys = parse_settings(data)
        assert sections == ["Display", SETTINGS_SECTION], sections
        assert list(wine.bin_dir.glob("config.ini?*")) == [], "the conversion left a file behind"
        expected = expected_settings([touch.measured() for touch in touches], extend_screen_flag=0)
        assert keys == expected, f"config.ini keys:\n{keys}\nexpected:\n{expected}"

        # A driver started afresh finds the board, loads the file and maps the same way.
        session.stop_driver()
        session.start_board(stroke_lines(positions, "verify-after-restart"))
        session.start_driver()
        session.wait_for_board(timeout=30)
        session.assert_strokes_reach(session.board_mark_time("verify-after-restart"), targets)
        assert session.settings_path.read_bytes() == data, "loading rewrote config.ini"
    print("1 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
