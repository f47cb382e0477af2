"""Hardware buttons end to end: the board's press and release codes run their actions. Buttons 1..9
and 12..15 start the presentation program's automation executable with one command each, 0 and 11
send Win+D, 10 does nothing; button 5 held 1.5 s also sends Page Up, with its release."""


from pen_driver_session import AUTOMATION_EXE, PenDriverSession, key_sequence
from wine_harness import WineFixture, check, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe"]

COMMANDS = {1: "Application New", 2: "Application SaveAs", 3: "Document Undo", 4: "Document Redo",
            5: "Drawing Tool Select", 6: "Drawing Pen Black", 7: "Drawing Pen Red", 8: "Drawing Pen Blue",
            9: "Drawing Eraser", 12: "Application New", 13: "Application SaveAs", 14: "Document Undo",
            15: "Document Redo"}
WIN_D = [("keydown", "LWin"), ("keydown", "D"), ("keyup", "LWin"), ("keyup", "D")]
PAGE_UP = [("keydown", "PageUp"), ("keyup", "PageUp")]


def main():
    script = []
    for number in range(16):  # short presses
        script += [f"press {number}", "pause 100", f"release {number}", "pause 250"]
    script += ["press 5", "pause 1500", "mark long-release", "release 5"]

    with WineFixture("buttons_hardware", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        session.start(script)
        session.wait_for_script(timeout=60)
        expected = sorted(f"{AUTOMATION_EXE} {c}" for c in
                          [*COMMANDS.values(), COMMANDS[5]])
        commands = session.wait_for_automation_commands(len(expected), timeout=20)
        session.wait_for_receiver(r"^keyup .*vk=0x21", timeout=10)

        # The stand-ins start one by one but may write their lines in any order.
        check(sorted(commands) == expected, f"automation command lines:\n{commands}\nexpected:\n{expected}")
        keys = key_sequence(session.receiver_events())
        check(keys == WIN_D + WIN_D + PAGE_UP, f"keys at the receiver: {keys}")
        # Page Up comes with the release of the long press, not while the button is still held.
        page_up = next(e for e in session.receiver_events() if e.kind == "keydown" and e.vk == 0x21)
        released = session.board_marks()["long-release"]
        check(page_up.t_us >= released, f"Page Up {released - page_up.t_us} us before the release was sent")
        pressed = [e for e in session.receiver_events() if e.kind.endswith("buttondown")]
        check(not pressed, f"pointer input from buttons: {pressed}")


if __name__ == "__main__":
    run_test(main)
