"""Gestures end to end: with gesture recognition turned on through Velno.dll, the box of a stroke's
first 20 samples picks Ctrl+Shift+F22 (small), F23 (medium) or F24 (large), once per stroke; new
thresholds set through the library are saved to config.ini on the driver's next report and used."""

import time

from pen_driver_session import PenDriverSession, key_sequence, read_settings
from wine_harness import WineFixture, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe"]

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
    assert program.popen.returncode == 0, f"velno_control failed: {program.describe()}"
    return dict(line.split("=") for line in program.output().split())


def main():
    script = (["pause 2500", "mark defaults"]
              + stroke("small", 4, 4) + stroke("medium", 10, 10) + stroke("large", 100, 100)
              + ["mark thresholds", "pause 2500"]
              + stroke("medium-now-large", 10, 10) + stroke("small-now-medium", 5, 5))
    with WineFixture("gestures", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.start(script)

        # Once the driver has loaded its settings (right after the handshake), gestures go on.
        session.wait_for_mark("handshake", timeout=30)
        time.sleep(0.5)
        assert control(wine, "IsUsingGesture", "1") == {"IsUsingGesture": "1"}
        session.assert_before_mark("defaults")

        session.wait_for_mark("thresholds", timeout=30)
        control(wine, "SetGestureBrush", "1234", "SetGestureErase", "5678", "StartGestureAdjust")
        session.assert_before_mark("medium-now-large")
        session.wait_for_script(timeout=60)
        expected = ctrl_shift("F22") + ctrl_shift("F23") + ctrl_shift("F24") + ctrl_shift("F24") + ctrl_shift("F23")
        keys = session.wait_for_keys(len(expected), timeout=5)
        time.sleep(0.3)  # nothing more may follow
        keys = key_sequence(session.receiver_events())
        assert keys == expected, f"keys at the receiver:\n{keys}\nexpected:\n{expected}"

        settings = read_settings(session.settings)
        assert (settings.get("GestureBrush"), settings.get("GestureErase")) == ("1234", "5678"), \
            f"config.ini after the change: {settings}"
        assert control(wine, "IsGestureAdjusting") == {"IsGestureAdjusting": "0"}
    print("1 passed, 0 failed")


if __name__ == "__main__":
    run_test(main)
