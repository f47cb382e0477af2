"""The calibration tool's other endings, each in its own prefix:
- no board listed: the "Adjusting" message box with its text; after OK the tool ends and the shared state
  was never touched;
- the board's port listed but no driver running: the message that the pen driver has not found the board;
  after OK the tool ends, nothing else was shown and the shared state was never touched;
- a second copy started while the target window shows ends at once without showing anything, and the first
  copy's window closes within a timer tick (allowed: 1 s);
- Esc in the target window ends the run part way; the driver keeps the calibration it had;
- a run left alone after its first target: the countdown shows beside the red target for the last ten
  seconds (a screenshot has many more dark pixels there than before), the tool ends 30 s after the driver
  took the target, and the driver keeps the calibration it had;
- the tool killed during a run: the driver ends the run within 2 s, the pen resting on the board since the
  run gives nothing until it lifts, and strokes map through the calibration the driver had; a run started
  through the library by another program and then left alone ends 60 s after it began; a tool killed
  with the pen off the board has its run ended within 2 s too; and one killed and started again at once
  gives the pen to the new copy's chooser as the pointer (the board presses "9 Points", the targets show)."""

import os
import signal
import subprocess
import time

from calibration_session import CalibrationSession, board_position, grid_targets, stroke_lines
from pen_driver_session import write_settings
from receiver import MOUSE_KINDS
from tool_session import (BLACK, CHOOSER_TITLE, COUNT_BUTTONS, IDCANCEL, IDOK, MESSAGE_TITLE, NO_BOARD_TEXT,
                          NO_DRIVER_TEXT, ToolSession, target_points, write_place)
from wine_harness import WineFixture, check, run_test, wait_for_line, wait_until

TOOL = "Adjust_single_standard.exe"
BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", TOOL, "tool_watch.exe", "post_command.exe"]
UNTOUCHED = ["index k=0 adjusting=0 type=0"]


def start_four_point_run(tool):
    """Once the driver has found the board: the tool started, 4 Points picked, target 1 on show; returns the
    tool and its target window."""
    tool.wait_board_found()
    program = tool.start(TOOL)
    tool.wait_window(CHOOSER_TITLE)
    tool.click(CHOOSER_TITLE, COUNT_BUTTONS[4])
    tool.wait_index(1)
    return program, tool.wait_window("", texts="Press ESC to exit")


def only_a_message(name, text, board=False):
    """The tool shows the message box with `text` and nothing else, ends after OK, and leaves the shared
    state untouched; with `board`, the board's port is listed (no driver runs)."""
    with WineFixture(name, binaries=BINARIES) as wine:
        tool = ToolSession(wine)
        tool.start_watch()
        if board:
            session = CalibrationSession(wine)
            session.start_board(["pause 60000"])
        program = tool.start(TOOL)
        box = tool.wait_window(MESSAGE_TITLE)
        check(box.texts == text, f"message box text {box.texts!r}")
        tool.click(MESSAGE_TITLE, IDOK)
        program.wait(timeout=20)
        shown = [line for line in tool.lines() if line.startswith("window ")]
        check(all(f"hwnd={box.hwnd} " in line for line in shown), f"more than the message box was shown: {shown}")
        states = tool.index_states()
        check(states == UNTOUCHED, f"published states: {states}")
        if board:
            session.board.stop()


def second_copy():
    with WineFixture("adjust_second_copy", binaries=BINARIES) as wine:
        tool = ToolSession(wine)
        tool.start_watch()
        session = CalibrationSession(wine)
        session.start_board(["pause 60000"])
        session.start_driver()
        first, window = start_four_point_run(tool)
        windows_before = len([line for line in tool.lines() if line.startswith("window ")])

        second = tool.start(TOOL, name="second-copy")
        second.wait(timeout=20)
        ended_us = time.monotonic_ns() // 1000
        gone_us = tool.wait_gone(window, timeout=5)
        check(gone_us - ended_us < 1_000_000, f"the target window closed {(gone_us - ended_us) / 1000:.0f} ms late")
        first.wait(timeout=10)
        new_windows = [line for line in tool.lines() if line.startswith("window ")][windows_before:]
        check(all(f"hwnd={window.hwnd} " in line for line in new_windows), f"the second copy showed {new_windows}")
        tool.check_last_state("index k=0 adjusting=0 type=4")
        session.board.stop()


def write_nine_point_calibration(session, positions):
    values = {"AdjustType": 9, "extendScreenFlag": 0}
    for k, (x, y) in enumerate(positions, 1):
        values.update({f"Point{k:02d}-x": x, f"Point{k:02d}-y": y})
    write_settings(session.settings_path, values)


def keeps_calibration(left_alone):
    """A run ended part way, by Esc or (`left_alone`) by nobody touching the next target: the driver keeps
    the calibration it had, in memory and in the file."""
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    with WineFixture("adjust_left_alone" if left_alone else "adjust_escape", binaries=BINARIES) as wine:
        session = CalibrationSession(wine)
        write_nine_point_calibration(session, positions)
        before = session.settings_path.read_bytes()
        session.start_receiver()
        tool = ToolSession(wine)
        tool.start_watch()
        shown, ended = wine.run_dir / "shown-1", wine.run_dir / "ended"
        # Target 1 is touched far from where the calibration has it; after the end the pen writes again.
        session.start_board([f"wait-file {shown} 60000", "mark touch-1", "down 16000 16000", *[f"move {16000 + i} 16000" for i in range(12)],
                             "up", f"wait-file {ended} 60000", "pause 300", *stroke_lines(positions, "verify")])
        session.start_driver()
        program, window = start_four_point_run(tool)
        shown.touch()
        taken_us = tool.wait_index(2)
        if left_alone:
            check_countdown(wine, tool, session.screen)
            gone_us = tool.wait_gone(window, timeout=40)
            check(29_500_000 <= gone_us - taken_us <= 31_000_000,
                  f"the target window closed {(gone_us - taken_us) / 1e6:.1f} s after target 1 was taken")
        else:
            wine.xdotool("key", "Escape")
            tool.wait_gone(window, timeout=5)
        program.wait(timeout=10)
        tool.check_last_state("index k=0 adjusting=0 type=4")
        ended.touch()
        session.wait_for_board(timeout=60)
        check(session.settings_path.read_bytes() == before, "config.ini changed")
        session.check_strokes_reach(session.board_mark_time("verify"), targets)


def check_countdown(wine, tool, screen):
    """The countdown's words on the target window in its last ten seconds, and many more dark pixels
    around target 2 of 4 on a screenshot than before it showed; that screenshot is kept as countdown.png
    among the logs."""
    x, y = target_points(4, *screen)[1]
    around = (0, max(0, y - 120), min(screen[0], x + 700), min(screen[1], y + 60))
    before = tool.screenshot_until(lambda shot: None, *screen).count(BLACK, *around)
    line = tool.wait_window("", texts_pattern=r"Press ESC to exit\|Closing in \d+ s: touch the red target to go on",
                            timeout=30)
    check(line.t_us > 0, line.texts)
    tool.check_screen(lambda shot: None if shot.count(BLACK, *around) > before + 500
                      else f"{shot.count(BLACK, *around)} dark pixels around target 2, {before} before the countdown",
                      *screen)
    subprocess.run(["import", "-window", "root", "-display", wine.display, str(wine.logs / "countdown.png")],
                   check=True, timeout=30, env=wine.env)


def state_time(tool, seen, prefix, timeout):
    """t_us of the first index state starting with `prefix` that tool_watch.exe logs after its first `seen` lines."""
    def found():
        return next((int(line.rsplit("t_us=", 1)[1]) for line in tool.lines()[seen:] if line.startswith(prefix)), None)

    return wait_until(found, timeout, lambda: f"no {prefix!r} in {tool.lines()[seen:]}")


def start_run_again(tool):
    """The tool started once more, 4 Points picked: returns it once target 1 shows."""
    seen = len(tool.lines())
    program = tool.start(TOOL)
    tool.wait_window(CHOOSER_TITLE, skip=seen)
    tool.click(CHOOSER_TITLE, COUNT_BUTTONS[4])
    tool.wait_index(1, skip=seen)
    return program


def kill_with_the_pen_off_the_board(tool, session, idle):
    """A run started, its target 1 touched and the pen lifted, then its tool killed: how long until the
    driver ended the run (ms)."""
    program = start_run_again(tool)
    seen = len(tool.lines())
    idle.with_name(f"{idle.name}-shown").touch()
    tool.wait_index(2, skip=seen)
    idle.with_name(f"{idle.name}-taken").touch()
    wait_for_line(session.board_log, r" event mark idle-lifted$", timeout=20, program=session.board)
    seen = len(tool.lines())
    os.killpg(program.pid, signal.SIGKILL)
    program.wait(timeout=10)
    killed_us = time.monotonic_ns() // 1000
    return (state_time(tool, seen, "index k=0 adjusting=0", timeout=10) - killed_us) / 1000


def restart_then_press_nine_points(wine, tool, press):
    """A run's tool killed and started again within 0.5 s: the board presses "9 Points" on the new chooser
    (through the calibration the driver has), and the nine targets show."""
    program = start_run_again(tool)
    os.killpg(program.pid, signal.SIGKILL)
    program.wait(timeout=10)
    killed = time.monotonic()
    seen = len(tool.lines())
    again = tool.start(TOOL, name="restarted")
    restarted_s = time.monotonic() - killed
    check(restarted_s < 0.5, f"started again {restarted_s:.2f} s after the kill")
    chooser = tool.wait_window(CHOOSER_TITLE, skip=seen)
    x0, y0, x1, y1 = tool.control_rect(chooser, COUNT_BUTTONS[9])
    width, height = wine.screen
    write_place(press, board_position((x0 + x1) * 65536 // (2 * width), (y0 + y1) * 65536 // (2 * height)))
    # The targets of the nine points the pen chose show.
    wait_for_line(tool.watch_log, r"^index k=1 adjusting=1 type=9 ", timeout=10, program=tool.watch, skip=seen)
    tool.click("", IDCANCEL)  # as Esc does
    again.wait(timeout=10)


def killed_tool_and_abandoned_run():
    targets = grid_targets(9)
    positions = [board_position(*target) for target in targets]
    with WineFixture("adjust_killed", binaries=BINARIES + ["velno_control.exe"]) as wine:
        session = CalibrationSession(wine)
        write_nine_point_calibration(session, positions)
        session.start_receiver()
        tool = ToolSession(wine)
        tool.start_watch()
        shown, killed = wine.run_dir / "shown-1", wine.run_dir / "killed"
        # The pen touches target 1 and rests there while the tool is killed, 2 s longer, then lifts and
        # writes. The board stays to the end, so that its reader watches the runs.
        x, y = positions[0]
        # After the library's run: target 1 of another run touched and lifted before that tool is killed,
        # and a press where the test sees "9 Points".
        idle, press = wine.run_dir / "idle", wine.run_dir / "press-9"
        session.start_board([f"wait-file {shown} 60000", "mark touch-1", f"down {x} {y}",
                             f"hold-until-file {x} {y} {killed} 60000", "mark killed", f"hold {x} {y} 2000",
                             f"up {x} {y}", *stroke_lines(positions, "verify"),
                             f"wait-file {idle}-shown 120000", f"down {x} {y}", f"hold-until-file {x} {y} {idle}-taken",
                             f"up {x} {y}", "mark idle-lifted", f"tap-at-file {press} 150 120000", "pause 120000"])
        session.start_driver()
        program, _ = start_four_point_run(tool)
        shown.touch()
        tool.wait_index(2)
        seen = len(tool.lines())
        os.killpg(program.pid, signal.SIGKILL)
        program.wait(timeout=10)
        killed_us = time.monotonic_ns() // 1000
        killed.touch()
        killed_run_ms = (state_time(tool, seen, "index k=0 adjusting=0", timeout=10) - killed_us) / 1000
        check(killed_run_ms <= 2000, f"the run ended {killed_run_ms:.0f} ms after the kill")
        wait_for_line(session.board_log, r" event mark verify$", timeout=20, program=session.board)
        verify = session.board_mark_time("verify")
        session.check_strokes_reach(verify, targets)
        # From the touch that began in the run to the next stroke: no click, and no move but Wine's echo
        # of where the pointer already was when a window goes.
        touched = session.board_mark_time("touch-1")
        pointer = ([None] + [e.position for e in session.receiver_events_after(0)
                             if e.kind in MOUSE_KINDS and e.t_us < touched])[-1]
        astray = [(e.kind, e.position) for e in session.receiver_events_after(touched) if e.kind in MOUSE_KINDS
                  and e.t_us < verify and (e.kind != "mousemove" or e.position != pointer)]
        check(not astray, f"pointer input from the pen that came down during the run: {astray}")

        # A run another program starts through the library, with no tool, is left alone.
        seen = len(tool.lines())
        control = wine.run_windows("velno_control.exe", "SetAdjustType", "4", "StartAdjust")
        check(control.popen.returncode == 0, f"velno_control: {control.describe()}", stop=True)
        started_us = state_time(tool, seen, "index k=1 adjusting=1", timeout=10)
        abandoned_s = (state_time(tool, seen, "index k=0 adjusting=0", timeout=90) - started_us) / 1e6
        check(59 <= abandoned_s <= 64, f"the abandoned run ended {abandoned_s:.1f} s after it began")
        idle_run_ms = kill_with_the_pen_off_the_board(tool, session, idle)
        check(idle_run_ms <= 2000, f"with the pen off the board, the run ended {idle_run_ms:.0f} ms after the kill")
        restart_then_press_nine_points(wine, tool, press)
        print(f"tool killed: its run ended {killed_run_ms:.0f} ms later ({idle_run_ms:.0f} ms with the pen off the "
              f"board); a run left alone ended after {abandoned_s:.1f} s")
        session.board.stop()


def main():
    only_a_message("adjust_no_board", NO_BOARD_TEXT)
    only_a_message("adjust_no_driver", NO_DRIVER_TEXT, board=True)
    second_copy()
    keeps_calibration(left_alone=False)
    keeps_calibration(left_alone=True)
    killed_tool_and_abandoned_run()


if __name__ == "__main__":
    run_test(main)
