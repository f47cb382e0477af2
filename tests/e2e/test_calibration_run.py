"""A nine-point calibration end to end: the tool's side shows the targets one by one through Velno.dll, the pen
touches each at the board position a distorted board gives for it, the driver measures every touch,
acknowledges it, and after the last one saves config.ini (UTF-16LE, section "Adjust-" U+4F43 "M") and maps
through the new calibration at once; a restarted driver loads the file and maps the same way. The config.ini
there before is another program's, in the ANSI code page without a byte-order mark: the save converts it to
UTF-16LE in place (the same file, which keeps the installer's access list; Wine does not enforce file rights,
so its identity stands for them) and keeps its section, after the save's check lines; its copy beside it holds
the same bytes. The pen still rests on the last target when the tool
stops the run: the rest of that touch gives no pointer input at all. The event log tells of the board found on
COM5 and of the calibration saved, with its points and screen.
Two slips go unanswered: target 3 touched again while target 4 shows, and, while target 7 (right column,
top row) shows, a touch left of the middle column; each of those targets is acknowledged only once it is
touched where it is."""


from calibration_session import (SECTION_HEADER_BYTES, CalibrationSession, Touch, board_position,
                                 cursor_positions, expected_settings, grid_targets, parse_settings, stroke_lines)
from pen_driver_session import SETTINGS_SECTION
from receiver import MOUSE_KINDS
from service_session import EVENT_LOG_DEBUG, logged_events
from wine_harness import WineFixture, check, run_test, wait_for_line, windows_path

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "adjust_peer.exe", "cursor_probe.exe"]
BOARD_FOUND, CALIBRATION_SAVED = 0x40000068, 0x4000006A
# Code page 1252 is the prefix's ANSI code page; the e with acute accent is one byte there, E9.
INSTALLER_SECTION = "[Display]\r\nOwner=Salle Caf\u00e9\r\nRoom=12\r\n"


def main():
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    touches = [Touch(position) for position in positions[:-1]] + [Touch(positions[-1], rest_ms=1500)]
    # Before the touch of target k, a slip at a board position (the pen lifts after each).
    left_of_middle = board_position((targets[0][0] + targets[3][0]) // 2, targets[0][1])
    slips = {4: positions[2], 7: left_of_middle}
    script = []
    for k, touch in enumerate(touches, 1):
        if k in slips:
            script += Touch(slips[k]).lines(f"slip-{k}") + ["pause 500"]
        script += touch.lines(f"touch-{k}") + ["pause 500"]

    with WineFixture("calibration_run", binaries=BINARIES) as wine:
        session = CalibrationSession(wine)
        session.settings_path.write_bytes(INSTALLER_SECTION.encode("cp1252"))
        settings_file = session.settings_path.stat().st_ino
        session.start_receiver()
        # The cursor shows input that lands off the receiver window too (Wine clamps it to the edge).
        probe_log = wine.logs / "cursor_probe.log"
        probe = wine.start_windows("cursor_probe.exe", windows_path(probe_log))
        wait_for_line(probe_log, r"^ready ", timeout=20, program=probe)
        session.start_tool(9)
        session.start_board([*script, "pause 1000", *stroke_lines(positions, "verify")])
        driver = session.start_driver(env=EVENT_LOG_DEBUG)
        session.wait_for_tool(timeout=40)
        session.wait_for_board(timeout=30)

        # The tool saw an acknowledgement for every target, each after the touch of that target began,
        # not after a slip before it.
        early = [k for k in range(1, 10)
                 if session.tool_time(rf"^acknowledged k={k} ") <= session.board_mark_time(f"touch-{k}")]
        check(not early, f"targets acknowledged before their touch began: {early}")

        # The tool stopped the run while the pen rested on the last target; from then until the next
        # stroke nothing reached the pointer: no move from the capture's sums, no release without a press.
        stopped, lifted = session.tool_time(r"^done "), session.board_mark_time("touch-9 lift")
        check(stopped < lifted, f"the run ended {(stopped - lifted) / 1000:.0f} ms after the pen lifted")
        verify = session.board_mark_time("verify")
        leaked = [e for e in session.receiver_events_after(stopped) if e.kind in MOUSE_KINDS and e.t_us < verify]
        check(not leaked, f"pointer input after the run, before the next stroke: {leaked}")
        moved = cursor_positions(probe_log, stopped, verify)
        check(not moved, f"the cursor moved after the run, before the next stroke: {moved}")

        # The new calibration maps from the next stroke on.
        session.check_strokes_reach(session.board_mark_time("verify"), targets)

        # The driver saved before it handled those strokes.
        data = session.settings_path.read_bytes()
        # After the save's check lines, the other program's section as it was, then the driver's.
        check(data.startswith(b"\xff\xfe[\0S\0a\0v\0e\0C\0h\0e\0c\0k\0]\0") and
              INSTALLER_SECTION.encode("utf-16-le") + SECTION_HEADER_BYTES in data, f"config.ini begins {data[:80]!r}")
        sections, keys = parse_settings(data)
        check(sections == ["SaveCheck", "Display", SETTINGS_SECTION], f"config.ini sections: {sections}")
        copy = session.settings_path.with_name("config.copy.ini")
        check(copy.exists() and copy.read_bytes() == data, "the copy beside config.ini does not hold the same save")
        left = list(wine.bin_dir.glob("config.ini?*"))
        check(left == [], f"the conversion left files behind: {left}")
        check(session.settings_path.stat().st_ino == settings_file, "the save replaced config.ini by a new file")
        expected = expected_settings([touch.measured() for touch in touches], extend_screen_flag=0)
        check(keys == expected, f"config.ini keys:\n{keys}\nexpected:\n{expected}")

        events = logged_events(driver.stderr_path.read_text(errors="replace"))
        check(events == [(BOARD_FOUND, ["COM5"]), (CALIBRATION_SAVED, ["9", "the main screen"])],
              f"the driver's events: {events}")

        # A driver started afresh finds the board, loads the file and maps the same way.
        session.stop_driver()
        session.start_board(stroke_lines(positions, "verify-after-restart"))
        session.start_driver()
        session.wait_for_board(timeout=30)
        session.check_strokes_reach(session.board_mark_time("verify-after-restart"), targets)
        check(session.settings_path.read_bytes() == data, "loading rewrote config.ini")


if __name__ == "__main__":
    run_test(main)
