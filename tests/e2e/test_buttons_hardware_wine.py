"""Hardware buttons end to end: the board's press and release codes run their actions. Buttons 1..9
and 12..15 start the presentation program's automation executable with one command each, 0 and 11
send Win+D, 10 does nothing; button 5 held 1.5 s also sends Page Up, with its release.

Then the driver starts again on a config.ini whose section [Velno] gives button 3 Ctrl+Z, button 4 a
program that is not there and button 6 an entry it cannot read: Ctrl+Z goes out alone, the missing
program is logged and noticed once for two presses, and button 6 keeps its default with one log entry.
In the settings window, pressing button 3 chooses its line: a step gives it Ctrl+Y and "Default" gives it
Undo again, each saved in config.ini and in effect at once."""

import statistics

from pen_driver_session import (AUTOMATION_EXE, TRAY_DEBUG, PenDriverSession, go_ahead, hold_until, icon_window,
                                key_sequence, tray_trace)
from service_session import EVENT_LOG_DEBUG, logged_events
from tool_session import SOURCE_ROOT, resource_ids
from wine_harness import WineFixture, check, check_eventually, read_lines, run_test, wait_until

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "automation_standin.exe", "icon_window.exe",
            "post_command.exe"]
DRIVER_IDS = resource_ids(SOURCE_ROOT / "driver" / "host" / "driver_resource_ids.h")

COMMANDS = {1: "Application New", 2: "Application SaveAs", 3: "Document Undo", 4: "Document Redo",
            5: "Drawing Tool Select", 6: "Drawing Pen Black", 7: "Drawing Pen Red", 8: "Drawing Pen Blue",
            9: "Drawing Eraser", 12: "Application New", 13: "Application SaveAs", 14: "Document Undo",
            15: "Document Redo"}
WIN_D = [("keydown", "LWin"), ("keydown", "D"), ("keyup", "LWin"), ("keyup", "D")]
PAGE_UP = [("keydown", "PageUp"), ("keyup", "PageUp")]
CTRL_Z = [("keydown", "Ctrl"), ("keydown", "0x5a"), ("keyup", "0x5a"), ("keyup", "Ctrl")]
ACTIONS_REFUSED, ACTION_NOT_STARTED = 0x8000007D, 0x8000007E
MISSING = "C:\\nowhere\\gone.exe"
SET_ACTIONS = {"Button3": "keys Ctrl+Z", "Button4": f"program {MISSING}", "Button6": "keys Ctrl+Banana"}
UNDO_PRESSES = 10


def set_actions(session, actions):
    """config.ini with only the section [Velno], as IT may hand it out."""
    lines = ["[Velno]"] + [f"{key}={value}" for key, value in actions.items()]
    session.settings.write_bytes(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def click(wine, control):
    wait_until(lambda: wine.run_windows("post_command.exe", "Velno settings", DRIVER_IDS[control]).popen.returncode == 0,
               20, lambda: "no settings window")


def button3_entry(session):
    text = session.settings.read_bytes().decode("utf-16")
    return next((line for line in text.splitlines() if line.startswith("Button3=")), None)


def check_buttons_page(session, wine):
    """Button 3's line chosen by pressing it, stepped once from Ctrl+Z, then set back to its default."""
    icon_window(wine, "command", "Settings")
    click(wine, "IDC_BUTTONS_NEXT")  # nothing chosen yet: changes nothing
    go_ahead(wine, "settings-open")
    session.wait_for_mark("button3-sent", timeout=20)

    def stepped():
        # Until the window has seen the press, a step has no line to change.
        click(wine, "IDC_BUTTONS_NEXT")
        try:
            wait_until(lambda: button3_entry(session) != "Button3=keys Ctrl+Z", 1, lambda: "")
            return True
        except Exception:
            return False
    wait_until(stepped, 20, lambda: f"button 3 not stepped: {button3_entry(session)}")
    check(button3_entry(session) == "Button3=keys Ctrl+Y", f"one step from Ctrl+Z gave {button3_entry(session)}")
    click(wine, "IDC_BUTTONS_DEFAULT")
    check_eventually(lambda: button3_entry(session) == "Button3=", 10,
                     lambda: f"button 3 set back to its default reads {button3_entry(session)}")
    click(wine, "IDC_SETTINGS_CLOSE")
    go_ahead(wine, "default-set")
    check_eventually(lambda: session.automation_commands()[15:] == [f"{AUTOMATION_EXE} Document Undo"], 20,
                     lambda: f"button 3 on its default started {session.automation_commands()[15:]}")


def check_set_actions(session, wine):
    """The driver again, on actions set in config.ini; returns the times from a release to its first key."""
    script = ["wait-handshake 20000", "pause 300"]
    for i in range(UNDO_PRESSES):
        script += ["press 3", "pause 50", f"mark release-{i}", "release 3", "pause 150"]
    script += ["press 4", "pause 50", "release 4", "pause 300"] * 2 + ["press 6", "pause 50", "release 6", "pause 300"]
    script += [hold_until(wine, "settings-open"), "press 3", "pause 50", "release 3", "mark button3-sent",
               hold_until(wine, "default-set"), "press 3", "pause 50", "release 3"]
    set_actions(session, SET_ACTIONS)
    skip_keys = len(key_sequence(session.receiver_events()))
    skip_notices = len(tray_trace(wine, r"modify_icon .* flags=10\b"))
    session.board = session.start_board(script)
    session.driver = session.start_driver(EVENT_LOG_DEBUG)
    session.wait_for_automation_commands(15, timeout=60)

    keys = key_sequence(session.receiver_events())[skip_keys:]
    check(keys == CTRL_Z * UNDO_PRESSES, f"keys at the receiver for Button3=keys Ctrl+Z: {keys}")
    commands = session.automation_commands()[14:]
    check(commands == [f"{AUTOMATION_EXE} Drawing Pen Black"], f"button 6 with a garbled entry started {commands}")
    events = lambda: logged_events("\n".join(read_lines(session.driver.stderr_path)))
    check_eventually(lambda: [e for e in events() if e[0] == ACTION_NOT_STARTED], 10, lambda: f"events: {events()}")
    ours = [e for e in events() if e[0] in (ACTIONS_REFUSED, ACTION_NOT_STARTED)]
    check(ours == [(ACTIONS_REFUSED, ["Button6=keys Ctrl+Banana"]),
                   (ACTION_NOT_STARTED, ["Button 4", f"Start {MISSING}", "not found"])], f"events: {ours}")
    notice = (f"Button 4 is set to start a program, but it was not found: {MISSING}. Choose another action in "
              "Velno settings.").replace("\\", "\\\\")
    check_eventually(lambda: notice in tray_trace(wine, r'add text L"(.*)"'), 10,
                     lambda: f"no notice of button 4: {tray_trace(wine, r'add text L(.*)')}")
    notices = len(tray_trace(wine, r"modify_icon .* flags=10\b")) - skip_notices
    check(notices == 1, f"{notices} notifications for two presses of button 4")

    marks = session.board_marks()
    first_keys = [e.t_us for e in session.receiver_events() if e.kind == "keydown" and e.vk == 0x11]
    latencies = [next(t for t in first_keys if t >= marks[f"release-{i}"]) - marks[f"release-{i}"]
                 for i in range(UNDO_PRESSES)]
    check_buttons_page(session, wine)
    session.wait_for_script(timeout=30)
    return latencies


def main():
    script = []
    for number in range(16):  # short presses
        script += [f"press {number}", "pause 100", f"release {number}", "pause 250"]
    script += ["press 5", "pause 1500", "mark long-release", "release 5"]

    with WineFixture("buttons_hardware", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        session.start(script, receiver_env=TRAY_DEBUG)
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

        session.driver.stop()
        latencies = check_set_actions(session, wine)
        print(f"board button release to first injected key: p50 {statistics.median(latencies) / 1000:.2f} ms, "
              f"max {max(latencies) / 1000:.2f} ms over {len(latencies)} presses")


if __name__ == "__main__":
    run_test(main)
