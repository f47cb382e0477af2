"""The driver against a simulated board, end to end: VelnoDriver.exe /service finds the board on its
CP210x port, strokes arrive at the receiver as press, moves and release at the pixels the uncalibrated
x16 scale gives; junk bytes, 0x11/0x13 (XON/XOFF) in the stream, a report split across reads and reports with bad
checksums between good ones are skipped and the good ones still arrive; the device state is published;
setting the stop event from another process ends the driver within one pass."""

import time

from pen_driver_session import PenDriverSession, go_ahead, hold_until
from pen_path_model import RATE, PEN_DOWN, check_strokes, script_lines, stroke_reports
from wine_harness import WineFixture, check, check_eventually, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "signal_event.exe", "velno_control.exe"]
JUNK = "raw 00 13 11 7F"
BAD_REPORT = "bad-checksum 2100 3100"  # its bytes hold no lead byte: the whole report is dropped


def with_faults(reports):
    """Script lines for the reports with junk and a bad report after every third one, and one good
    report split in two by a pause longer than the port's time-out between bytes."""
    lines = []
    for i, (lead, x, y) in enumerate(reports):
        if i == 4 and lead == PEN_DOWN:
            # Past the port's 30 ms between bytes: the report arrives in two reads.
            lines.append(f"split {x} {y} 2 60")
        else:
            lines += script_lines([(lead, x, y)])
        if i % 3 == 1:
            lines += [JUNK, BAD_REPORT]
    return lines


def device_state(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip()


def main():
    clean = stroke_reports(1000, 1500, 3000, 2500, 20)
    faulty = stroke_reports(2000, 3000, 2600, 3500, 12)

    with WineFixture("driver_link", binaries=BINARIES) as wine:
        # The board stays plugged in until the driver has been stopped.
        script = [RATE, *script_lines(clean), "pause 300", *with_faults(faulty), hold_until(wine, "stopped")]
        session = PenDriverSession(wine)
        session.start(script)
        events = session.wait_for_releases(2, timeout=60)
        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])

        check_strokes(events, [clean, faulty], screen)
        check_eventually(lambda: device_state(wine) == "GetDeviceState=1", 20,
                         lambda: f"the published device state is {device_state(wine)!r} with the board plugged in")

        signal = wine.run_windows("signal_event.exe", "Global\\Brelmar_Service", timeout=20)
        check(signal.popen.returncode == 0, f"the stop event was not set: {signal.describe()}", stop=True)
        # The event is set by the time signal_event.exe has ended. One pass with a board in slot 0 and
        # none in slot 1 sleeps 2 s + 2 s, then looks at the event.
        signalled = time.monotonic()
        code = session.driver.wait(timeout=8)
        stopped_s = time.monotonic() - signalled
        check(code == 0, f"the driver ended with {code:#x}")
        check(stopped_s < 6, f"the driver took {stopped_s:.1f} s to stop")
        go_ahead(wine, "stopped")
        session.wait_for_script(timeout=30)
        print(f"driver stopped {stopped_s:.2f} s after the stop event was set")


if __name__ == "__main__":
    run_test(main)
