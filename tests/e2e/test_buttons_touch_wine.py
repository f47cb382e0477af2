"""Touch buttons end to end, from config.ini: a stroke that starts on a touch button injects no pointer
input at all (no press, so no release either), and its release fires the button's action; a stroke
between the buttons draws as usual. "Forget the touch buttons" in the settings window, confirmed, saves
no touch buttons, and the same touch on a button's place then draws."""


from pen_driver_session import (AUTOMATION_EXE, PenDriverSession, go_ahead, hold_until, icon_window, read_settings,
                                write_settings)
from receiver import MOUSE_KINDS
from tool_session import SOURCE_ROOT, resource_ids
from wine_harness import WineFixture, check, check_eventually, run_test, wait_until

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe", "icon_window.exe",
            "post_command.exe"]
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


def main():
    script = [
        "rate 50",
        "mark win-d", "hold 8010 7990 400", "up", "pause 500",
        "mark between", "hold 16000 24000 400", "up", "pause 500",
        "mark new", "hold 23980 8020 400", "up", "mark forget",
    ]
    with WineFixture("buttons_touch", binaries=BINARIES) as wine:
        script += [hold_until(wine, "forgotten"), "hold 23980 8020 400", "up"]
        session = PenDriverSession(wine)
        session.install_automation_standin()
        write_settings(session.settings, SETTINGS)
        session.start(script)
        session.wait_for_mark("forget", timeout=60)
        commands = session.wait_for_automation_commands(1, timeout=20)
        session.wait_for_releases(1, timeout=20)  # only the stroke between the buttons is released

        check(commands == [f"{AUTOMATION_EXE} Application New"], f"automation command lines: {commands}")
        events = [e for e in session.receiver_events() if e.t_us > session.receiver.ready.t_us]
        marks = session.board_marks()

        # Strokes on a button move and click nothing; their release fires the button.
        between = (16000 * 2 * 1280 >> 16, 24000 * 2 * 1024 >> 16)
        clicks_and_keys = [(e.kind, e.position if e.kind in MOUSE_KINDS else e.vk) for e in events
                           if e.kind != "mousemove"]
        check(clicks_and_keys == [
            ("keydown", 0x5B), ("keydown", 0x44), ("keyup", 0x5B), ("keyup", 0x44),
            ("lbuttondown", between), ("lbuttonup", between),
        ], f"clicks and keys at the receiver: {clicks_and_keys}")
        for start, end in (("win-d", "between"), ("new", "forget")):
            moves = [e for e in events if e.kind == "mousemove" and marks[start] <= e.t_us < marks[end]]
            check(not moves, f"pointer moves during the stroke on a button ({start}): {moves}")

        icon_window(wine, "command", "Settings")
        for title, control in (("Velno settings", DRIVER_IDS["IDC_BUTTONS_FORGET"]), ("Velno", IDYES),
                               ("Velno settings", DRIVER_IDS["IDC_SETTINGS_CLOSE"])):
            wait_until(lambda: wine.run_windows("post_command.exe", title, control).popen.returncode == 0, 20,
                       lambda: f"no window {title!r} to click {control} in")
        check_eventually(lambda: read_settings(session.settings).get("num_buttons") == "0", 10,
                         lambda: f"num_buttons after Forget: {read_settings(session.settings).get('num_buttons')}")
        go_ahead(wine, "forgotten")
        session.wait_for_script(timeout=30)
        released = session.wait_for_releases(2, timeout=20)
        new_place = (23980 * 2 * 1280 >> 16, 8020 * 2 * 1024 >> 16)
        presses = [e.position for e in released if e.kind == "lbuttondown"]
        check(presses == [between, new_place], f"presses after Forget: {presses}")
        check(session.automation_commands() == commands, "a forgotten touch button still ran its action")


if __name__ == "__main__":
    run_test(main)
