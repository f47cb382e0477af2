"""Touch buttons end to end, from config.ini: a stroke that starts on a touch button injects no pointer
input at all (no press, so no release either), and its release fires the button's action; a stroke
between the buttons draws as usual. Then six set up with the pen ("/buttons"), one touch refused: they act;
a set-up killed midway gives the pen back within 2 s and leaves them. "Forget the touch buttons" in the
settings window, confirmed, saves no touch buttons, and the same touch on a button's place then draws."""

import os
import signal

from pen_driver_session import (AUTOMATION_EXE, PenDriverSession, go_ahead, hold_until, icon_window, read_settings,
                                write_settings)
from receiver import MOUSE_KINDS
from tool_session import IDCANCEL, RESOURCE_IDS, SOURCE_ROOT, ToolSession, resource_ids, touch_as_planned
from wine_harness import WineFixture, check, check_eventually, run_test, wait_for_line, wait_until

TOOL, TITLE = "Adjust_single_standard.exe", "Touch buttons"
BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe", TOOL, "tool_watch.exe",
            "post_command.exe", "icon_window.exe"]
DRIVER_IDS = resource_ids(SOURCE_ROOT / "driver" / "host" / "driver_resource_ids.h")
IDYES = 6

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
# Printed buttons touched in turn; the fourth touch lands 80 units off button 3 while 4 is asked for.
PLACES = [(4000 * i, 30000) for i in range(1, 7)]
PLAN = [(p, True) for p in PLACES[:3]] + [((PLACES[2][0] + 80, 30000), False)] + [(p, True) for p in PLACES[3:]]


def set_up_script(signals):  # the places as the tool asks; buttons 2 to 4 pressed; a kill, then a stroke
    presses = [line for x, y in PLACES[1:4] for line in (f"hold {x} {y} 400", "up", "pause 300")]
    return [*touch_as_planned(PLAN, signals, "b-"), f"wait-file {signals / 'press'} 60000", *presses,
            *touch_as_planned([(PLACES[0], True)], signals, "k-"), "mark draw", "hold 16000 16000 400", "up"]


def start_set_up(wine, tool, count, skip):
    program = wine.start_windows(TOOL, "/buttons")
    tool.wait_window(TITLE, texts="How many buttons are printed on the board?", skip=skip)
    tool.click(TITLE, RESOURCE_IDS["IDC_PRINTED_BUTTONS_1"] + count - 1)
    return program


def main():
    script = [
        "rate 50",
        "mark win-d", "hold 8010 7990 400", "up", "pause 500",
        "mark between", "hold 16000 24000 400", "up", "pause 500",
        "mark new", "hold 23980 8020 400", "up", "mark set-up",
    ]
    with WineFixture("buttons_touch", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        write_settings(session.settings, SETTINGS)
        tool = ToolSession(wine)
        tool.start_watch()
        forget = ["mark forget", hold_until(wine, "forgotten"), "hold 23980 8020 400", "up"]
        session.start(script + set_up_script(wine.run_dir) + forget)
        wait_for_line(session.board_log, r" event mark set-up$", timeout=30, program=session.board)
        program = start_set_up(wine, tool, 6, 0)
        skip = 0
        for i, button in enumerate([1, 2, 3, 4, 4, 5, 6], 1):
            skip = tool.wait_shown(button, skip, run="buttons")
            (wine.run_dir / f"b-go-{i}").touch()
        tool.wait_window(TITLE, texts="Press ESC to exit|Touch printed button 4 of 6: it will Undo (Easiteach)|That place is already set up as "
                         "another button. Lift the pen and touch printed button 4.")
        first = tool.wait_window(TITLE, texts="Press ESC to exit|Touch printed button 1 of 6: it will Show the desktop")
        result = tool.wait_window(TITLE, texts="6 touch buttons set up")
        (wine.run_dir / "b-ended").touch()
        tool.click(TITLE, IDCANCEL)
        program.wait(timeout=10)
        (wine.run_dir / "press").touch()

        # A set-up killed while it asks for button 2 of 2, the pen resting on button 1.
        seen = tool.mark()
        program = start_set_up(wine, tool, 2, seen)
        tool.let_touches_go(session.board_log, [1], [True], wine.run_dir, "k-", seen, run="buttons")
        skip = tool.wait_shown(2, seen, run="buttons")
        os.killpg(program.pid, signal.SIGKILL)
        wait_for_line(tool.watch_log, r"^buttons k=0 adjusting=0 ", timeout=2, skip=skip)  # the driver ended it
        (wine.run_dir / "k-ended").touch()

        session.wait_for_mark("forget", timeout=60)
        commands = session.wait_for_automation_commands(4, timeout=20)
        session.wait_for_releases(2, timeout=20)  # the strokes between the buttons and after the kill

        check(commands == [f"{AUTOMATION_EXE} Application {c}" for c in ("New", "New", "SaveAs")] +
              [f"{AUTOMATION_EXE} Document Undo"], f"automation command lines: {commands}")
        stored = {key.lower(): int(value) for key, value in read_settings(session.settings).items()}
        buttons = [(stored[f"button{k:02}-x"], stored[f"button{k:02}-y"]) for k in range(1, stored["num_buttons"] + 1)]
        check(buttons == PLACES, f"touch buttons stored, and kept by the killed set-up: {buttons}")
        events = [e for e in session.receiver_events() if e.t_us > session.receiver.ready.t_us]
        marks = session.board_marks()

        # Strokes on a button move and click nothing; their release fires the button.
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
        drawn = [e.kind for e in events if e.kind in ("lbuttondown", "lbuttonup") and e.t_us > marks["draw"]]
        check(drawn == ["lbuttondown", "lbuttonup"], f"the stroke after the killed set-up: {drawn}")
        print(f"six touch buttons set up, one touch refused: {(result.t_us - first.t_us) / 1e6:.1f} s from button 1 "
              "asked for to the result")

        icon_window(wine, "command", "Settings")
        for title, control in (("Velno settings", DRIVER_IDS["IDC_BUTTONS_FORGET"]), ("Velno", IDYES),
                               ("Velno settings", DRIVER_IDS["IDC_SETTINGS_CLOSE"])):
            wait_until(lambda: wine.run_windows("post_command.exe", title, control).popen.returncode == 0, 20,
                       lambda: f"no window {title!r} to click {control} in")
        check_eventually(lambda: read_settings(session.settings).get("num_buttons") == "0", 10,
                         lambda: f"num_buttons after Forget: {read_settings(session.settings).get('num_buttons')}")
        go_ahead(wine, "forgotten")
        session.wait_for_script(timeout=30)
        released = session.wait_for_releases(3, timeout=20)
        new_place = (23980 * 2 * 1280 >> 16, 8020 * 2 * 1024 >> 16)
        presses = [e.position for e in released if e.kind == "lbuttondown"]
        check(len(presses) == 3 and presses[-1] == new_place, f"presses after Forget: {presses}")
        check(session.automation_commands() == commands, "a forgotten touch button still ran its action")


if __name__ == "__main__":
    run_test(main)
