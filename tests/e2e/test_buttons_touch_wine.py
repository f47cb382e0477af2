"""Touch buttons end to end, from config.ini: a stroke that starts on a touch button injects no pointer
input at all (no press, so no release either), and its release fires the button's action; a stroke
between the buttons draws as usual. Then set up with the pen through the tool ("/buttons"): six buttons,
one touch on a place already set up refused and the run still finished; the driver stores them and they
act. A tool killed during a set-up gives the pen back and leaves the buttons as they were."""

import os
import signal
import time

from pen_driver_session import AUTOMATION_EXE, PenDriverSession, read_settings, write_settings
from receiver import MOUSE_KINDS
from tool_session import IDCANCEL, RESOURCE_IDS, ToolSession, touch_as_planned
from wine_harness import WineFixture, check, run_test, wait_for_line

TOOL = "Adjust_single_standard.exe"
BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe", TOOL, "tool_watch.exe",
            "post_command.exe"]
SETUP_TITLE = "Touch buttons"

# A 4-point calibration that maps board units onto absolute input units times two: each target, at
# 1/32 and 31/32 of the screen, was touched at half its absolute position.
SETTINGS = {
    "AdjustType": 4, "extendScreenFlag": 0,
    "Point01-x": 1024, "Point01-y": 1024, "Point02-x": 1024, "Point02-y": 31744,
    "Point03-x": 31744, "Point03-y": 1024, "Point04-x": 31744, "Point04-y": 31744,
    "num_buttons": 2,
    "Button01-x": 8000, "Button01-y": 8000,    # button 0: Win+D
    "Button02-x": 24000, "Button02-y": 8000,   # button 1: Application New
}
# The printed buttons the set-up touches in turn; the fifth touch slips onto button 3's place (80 units
# off) while button 4 is asked for, and is refused.
PLACES = [(4000 * i, 30000) for i in range(1, 7)]
PLAN = [(PLACES[0], True), (PLACES[1], True), (PLACES[2], True), ((PLACES[2][0] + 80, 30000), False),
        (PLACES[3], True), (PLACES[4], True), (PLACES[5], True)]
ASKED = [1, 2, 3, 4, 4, 5, 6]


def configured_buttons_script():
    return ["rate 50",
            "mark win-d", "hold 8010 7990 400", "up", "pause 500",
            "mark between", "hold 16000 24000 400", "up", "pause 500",
            "mark new", "hold 23980 8020 400", "up", "mark set-up"]


def set_up_script(signals):
    """The six places touched as the tool asks; then buttons 2 to 4 pressed; then a set-up whose tool is
    killed while the pen rests on its button 2, and a stroke once the test has seen the run end."""
    killed = signals / "killed"
    (x, y), other = PLACES[0], (16000, 16000)
    return [*touch_as_planned(PLAN, signals, "b-"),
            f"wait-file {signals / 'press'} 60000", "mark press",
            *[line for place in PLACES[1:4] for line in (f"hold {place[0]} {place[1]} 400", "up", "pause 300")],
            f"wait-file {signals / 'k-go-1'} 60000", f"down {x} {y}", f"hold-until-file {x} {y} {killed} 60000",
            "up", "pause 200", "mark draw", f"hold {other[0]} {other[1]} 400", "up"]


def check_configured_buttons(session, events, marks):
    between = (16000 * 2 * 1280 >> 16, 24000 * 2 * 1024 >> 16)
    clicks_and_keys = [(e.kind, e.position if e.kind in MOUSE_KINDS else e.vk) for e in events
                       if e.kind != "mousemove" and e.t_us < marks["set-up"]]
    check(clicks_and_keys == [
        ("keydown", 0x5B), ("keydown", 0x44), ("keyup", 0x5B), ("keyup", 0x44),
        ("lbuttondown", between), ("lbuttonup", between),
    ], f"clicks and keys at the receiver: {clicks_and_keys}")
    for start, end in (("win-d", "between"), ("new", "set-up")):
        moves = [e for e in events if e.kind == "mousemove" and marks[start] <= e.t_us < marks[end]]
        check(not moves, f"pointer moves during the stroke on a button ({start}): {moves}")


def set_up_six(wine, session, tool):
    """Returns the times from button 1 asked for to the last place taken and to the result (ms)."""
    program = wine.start_windows(TOOL, "/buttons")
    tool.wait_window(SETUP_TITLE, texts="How many buttons are printed on the board?")
    tool.click(SETUP_TITLE, RESOURCE_IDS["IDC_PRINTED_BUTTONS_1"] + 5)
    skip = 0
    for i, button in enumerate(ASKED, 1):
        skip = tool.wait_shown(button, skip, run="buttons")
        if i == 5:
            tool.wait_window(SETUP_TITLE, texts="Press ESC to exit|Touch printed button 4 of 6|That place is already "
                             "set up as another button. Lift the pen and touch printed button 4.")
        (wine.run_dir / f"b-go-{i}").touch()
    result = tool.wait_window(SETUP_TITLE, texts="6 touch buttons set up")
    stamps = [(line.split(" t_us=")[0], int(line.rsplit("t_us=", 1)[1])) for line in tool.lines()]
    first = next(t for state, t in stamps if state.startswith("buttons k=1 adjusting=1 "))
    taken = [t for state, t in stamps if state.startswith("buttons k=0 adjusting=1 ") and t < result.t_us][-1]
    (wine.run_dir / "b-ended").touch()
    stored = {key.lower(): value for key, value in read_settings(session.settings).items()}
    check(stored.get("num_buttons") == "6" and
          [(int(stored[f"button{k:02}-x"]), int(stored[f"button{k:02}-y"])) for k in range(1, 7)] == PLACES,
          f"config.ini after the set-up: {stored}")
    tool.click(SETUP_TITLE, IDCANCEL)
    program.wait(timeout=10)
    return (taken - first) / 1000, (result.t_us - first) / 1000


def killed_set_up(wine, session, tool):
    """A set-up of two buttons killed while button 2 shows, the pen resting on the board: returns how long
    the driver took to end the run (ms)."""
    seen = tool.mark()
    program = wine.start_windows(TOOL, "/buttons")
    tool.wait_window(SETUP_TITLE, texts="How many buttons are printed on the board?", skip=seen)
    tool.click(SETUP_TITLE, RESOURCE_IDS["IDC_PRINTED_BUTTONS_1"] + 1)
    tool.wait_shown(1, seen, run="buttons")
    (wine.run_dir / "k-go-1").touch()
    skip = tool.wait_shown(2, seen, run="buttons")
    os.killpg(program.pid, signal.SIGKILL)
    program.wait(timeout=10)
    killed_us = time.monotonic_ns() // 1000
    ended = wait_for_line(tool.watch_log, r"^buttons k=0 adjusting=0 ", timeout=10, skip=skip)
    (wine.run_dir / "killed").touch()
    return (int(ended.rsplit("t_us=", 1)[1]) - killed_us) / 1000


def main():
    with WineFixture("buttons_touch", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        write_settings(session.settings, SETTINGS)
        tool = ToolSession(wine)
        tool.start_watch()
        session.start(configured_buttons_script() + set_up_script(wine.run_dir))
        tool.wait_board_found()
        wait_for_line(session.board_log, r" event mark set-up$", timeout=30, program=session.board)
        touched_ms, set_up_ms = set_up_six(wine, session, tool)
        (wine.run_dir / "press").touch()
        commands = session.wait_for_automation_commands(4, timeout=20)
        check(commands == [f"{AUTOMATION_EXE} Application New", f"{AUTOMATION_EXE} Application New",
                           f"{AUTOMATION_EXE} Application SaveAs", f"{AUTOMATION_EXE} Document Undo"],
              f"automation command lines: {commands}")

        kill_ms = killed_set_up(wine, session, tool)
        check(kill_ms <= 2000, f"the killed set-up's run ended {kill_ms:.0f} ms after the kill")
        session.wait_for_script(timeout=30)
        stored = {key.lower(): value for key, value in read_settings(session.settings).items()}
        check(stored.get("num_buttons") == "6" and stored.get("button01-x") == str(PLACES[0][0]),
              f"config.ini after the killed set-up: {stored}")
        events = [e for e in session.receiver_events() if e.t_us > session.receiver.ready.t_us]
        marks = session.board_marks()
        check_configured_buttons(session, events, marks)
        drawn = [e.kind for e in events if e.kind in ("lbuttondown", "lbuttonup") and e.t_us > marks["draw"]]
        check(drawn == ["lbuttondown", "lbuttonup"], f"the stroke after the killed set-up: {drawn}")
        print(f"six touch buttons set up: {touched_ms / 1000:.1f} s from button 1 shown to the last taken (one "
              f"refused touch included), {set_up_ms / 1000:.1f} s to the result; a killed set-up's run ended "
              f"{kill_ms:.0f} ms after the kill")


if __name__ == "__main__":
    run_test(main)
