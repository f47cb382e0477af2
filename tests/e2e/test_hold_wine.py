"""Press-and-hold end to end: with "abc" for the hold time in config.ini the driver reports the value
once and holds for its default: a pen held still for ten seconds and lifted gives a right press and a
right release at the pen's position, and then the stroke's left release. Set to 2 s in the settings
window (the file then says 2), a hold of 1.6 s gives no right click and one of 2.4 s does."""


from pen_driver_session import PenDriverSession, go_ahead, hold_until, icon_window
from receiver import MOUSE_KINDS
from tool_session import SOURCE_ROOT, resource_ids
from wine_harness import WineFixture, check, check_eventually, read_lines, run_test, wait_until

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "icon_window.exe", "post_command.exe"]
DRIVER_IDS = resource_ids(SOURCE_ROOT / "driver" / "host" / "driver_resource_ids.h")

PEN = (2000, 1500)  # board units; uncalibrated, x16 in absolute units


def click(wine, control):
    wait_until(lambda: wine.run_windows("post_command.exe", "Velno settings", DRIVER_IDS[control]).popen.returncode == 0,
               20, lambda: "no settings window")


def main():
    with WineFixture("hold", binaries=BINARIES) as wine:
        (wine.bin_dir / "config.ini").write_bytes(
            b"\xff\xfe" + "[Velno]\r\nPressAndHoldSeconds=abc\r\n".encode("utf-16-le"))
        # Held a second past the ten: reports the driver reads late, in a burst, shorten the hold it measures.
        hold = [f"hold {PEN[0]} {PEN[1]} {ms}" for ms in (11000, 1600, 2400)]
        script = ["rate 100", hold[0], "up", hold_until(wine, "two-seconds"), hold[1], "up", "pause 300", hold[2],
                  "up"]
        session = PenDriverSession(wine)
        session.start(script, driver_env={"WINEDEBUG": "+eventlog"})
        session.wait_for_releases(1, timeout=40)

        # Ten seconds to two: sixteen steps of half a second.
        icon_window(wine, "command", "Settings")
        for control in ["IDC_HOLD_SHORTER"] * 16 + ["IDC_SETTINGS_CLOSE"]:
            click(wine, control)
        settings = wine.bin_dir / "config.ini"
        check_eventually(lambda: "PressAndHoldSeconds=2\r\n" in settings.read_bytes().decode("utf-16"), 10,
                         lambda: f"config.ini: {settings.read_bytes().decode('utf-16')!r}", stop=True)
        go_ahead(wine, "two-seconds")
        session.wait_for_script(timeout=40)
        session.wait_for_releases(3, timeout=10)

        at_pen = (PEN[0] * 16 * 1280 >> 16, PEN[1] * 16 * 1024 >> 16)
        clicks = [e.kind for e in session.receiver_events() if e.kind in MOUSE_KINDS and e.kind != "mousemove"]
        positions = {e.position for e in session.receiver_events() if e.kind in MOUSE_KINDS and e.kind != "mousemove"}
        right_click = ["lbuttondown", "rbuttondown", "rbuttonup", "lbuttonup"]
        check(clicks == right_click + ["lbuttondown", "lbuttonup"] + right_click and positions == {at_pen},
              f"clicks at the receiver: {clicks} at {positions}")
        reported = [line for line in read_lines(session.driver.stderr_path) if ",0x80000078," in line]
        check(len(reported) == 1, f"the refused value was reported {len(reported)} times")


if __name__ == "__main__":
    run_test(main)
