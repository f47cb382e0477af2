"""Touch buttons end to end, from config.ini: a stroke that starts on a touch button injects no pointer
input at all (no press, so no release either), and its release fires the button's action; a stroke
between the buttons draws as usual."""


from pen_driver_session import AUTOMATION_EXE, PenDriverSession, write_settings
from receiver import MOUSE_KINDS
from wine_harness import WineFixture, check, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe"]

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
        "mark new", "hold 23980 8020 400", "up",
    ]
    with WineFixture("buttons_touch", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        write_settings(session.settings, SETTINGS)
        session.start(script)
        session.wait_for_script(timeout=60)
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
        for start, end in (("win-d", "between"), ("new", "end")):
            moves = [e for e in events if e.kind == "mousemove" and marks[start] <= e.t_us < marks[end]]
            check(not moves, f"pointer moves during the stroke on a button ({start}): {moves}")


if __name__ == "__main__":
    run_test(main)
