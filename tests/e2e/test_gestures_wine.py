"""Gestures end to end: with gesture recognition turned on in the settings window (opened as the Start
menu's "Velno settings" opens it), the box of a stroke's first 20 samples picks Ctrl+Shift+F22 (small),
F23 (medium) or F24 (large), once per stroke; new thresholds set through the library are saved to
config.ini on the driver's next report and used; gestures stay on after the driver was stopped (by the
service's stop event, its icon taken away) and started again."""

from pen_driver_session import PenDriverSession, go_ahead, hold_until, key_sequence, read_settings
from tool_session import SOURCE_ROOT, resource_ids
from wine_harness import WineFixture, check, check_eventually, run_test, wait_until

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe", "post_command.exe",
            "signal_event.exe"]
DRIVER_IDS = resource_ids(SOURCE_ROOT / "driver" / "host" / "driver_resource_ids.h")

CORNER = 2000  # board units; uncalibrated, x16 in absolute units: the pointer stays on the receiver


def stroke(mark, width, height):
    """A warm-up report, 20 samples whose box is width x height, then 10 more far outside it."""
    far = (CORNER + width, CORNER + height)
    samples = [(CORNER, CORNER), far] + [(CORNER + width // 2, CORNER + height // 2)] * 18
    return ([f"mark {mark}", f"down {CORNER} {CORNER}"] + [f"move {x} {y}" for x, y in samples]
            + [f"move {CORNER + 900} {CORNER + 900}"] * 10 + ["up", "pause 200"])


def ctrl_shift(key):
    return [("keydown", "Ctrl"), ("keydown", "Shift"), ("keydown", key), ("keyup", key), ("keyup", "Shift"),
            ("keyup", "Ctrl")]


def control(wine, *operations):
    """Runs velno_control.exe; returns its "Name=result" lines as a dict."""
    program = wine.run_windows("velno_control.exe", *operations, timeout=20)
    if program.popen.returncode != 0:
        raise RuntimeError(f"velno_control failed: {program.describe()}")
    return dict(line.split("=") for line in program.output().split())


def main():
    with WineFixture("gestures", binaries=BINARIES) as wine:
        # The board waits at each phase until the test has changed what that phase needs.
        script = ([hold_until(wine, "gestures-on"), "mark defaults"]
                  + stroke("small", 4, 4) + stroke("medium", 10, 10) + stroke("large", 100, 100)
                  + ["mark thresholds", hold_until(wine, "thresholds-set")]
                  + stroke("medium-now-large", 10, 10) + stroke("small-now-medium", 5, 5)
                  + [hold_until(wine, "restarted"), "pause 300"] + stroke("restarted", 5, 5))
        session = PenDriverSession(wine)
        session.start(script)

        session.wait_for_mark("handshake", timeout=30)
        # The driver's windows start beside its first search for the board.
        check_eventually(lambda: wine.run_windows("VelnoDriver.exe", "/settings").popen.returncode == 0, 20,
                         lambda: "no driver took /settings")
        for control_id in ("IDC_GESTURES_ON", "IDC_SETTINGS_CLOSE"):
            wait_until(lambda: wine.run_windows("post_command.exe", "Velno settings", DRIVER_IDS[control_id])
                       .popen.returncode == 0, 20, lambda: "no settings window")
        check_eventually(lambda: control(wine, "IsUsingGesture", "-1") == {"IsUsingGesture": "1"}, 10,
                         lambda: "the settings window did not turn gestures on", stop=True)
        go_ahead(wine, "gestures-on")

        session.wait_for_mark("thresholds", timeout=30)
        control(wine, "SetGestureBrush", "1234", "SetGestureErase", "5678", "StartGestureAdjust")
        go_ahead(wine, "thresholds-set")
        session.wait_for_releases(5, timeout=30)
        # Once the driver has ended nothing is left in the library's block: the new one has the settings
        # from the file.
        wine.run_windows("signal_event.exe", "Global\\Brelmar_Service", timeout=20)
        check(session.driver.wait(timeout=20) == 0, "the driver did not end on the stop event", stop=True)
        session.driver = session.start_driver()
        check_eventually(lambda: control(wine, "GetDeviceState") == {"GetDeviceState": "1"}, 30,
                         lambda: "the driver started again did not find the board", stop=True)
        go_ahead(wine, "restarted")
        session.wait_for_script(timeout=60)
        # A stroke's shortcut, and any shortcut sent twice, comes before the stroke's release.
        keys = key_sequence(session.wait_for_releases(6, timeout=20))
        expected = (ctrl_shift("F22") + ctrl_shift("F23") + ctrl_shift("F24") + ctrl_shift("F24") + ctrl_shift("F23")
                    + ctrl_shift("F23"))
        check(keys == expected, f"keys at the receiver:\n{keys}\nexpected:\n{expected}")

        settings = read_settings(session.settings)
        check((settings.get("GestureBrush"), settings.get("GestureErase")) == ("1234", "5678"),
              f"config.ini after the change: {settings}")
        adjusting = control(wine, "IsGestureAdjusting")
        check(adjusting == {"IsGestureAdjusting": "0"}, f"the library still adjusts gestures: {adjusting}")


if __name__ == "__main__":
    run_test(main)
