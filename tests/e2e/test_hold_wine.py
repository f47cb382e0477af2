"""Press-and-hold end to end: a pen held still for ten seconds and lifted gives a right press and a
right release at the pen's position, and then the stroke's left release."""


from pen_driver_session import PenDriverSession
from receiver import MOUSE_KINDS
from wine_harness import WineFixture, check, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe"]

PEN = (2000, 1500)  # board units; uncalibrated, x16 in absolute units


def main():
    # Held a second past the ten: reports the driver reads late, in a burst, shorten the hold it measures.
    script = ["rate 100", "mark hold", f"hold {PEN[0]} {PEN[1]} 11000", "up"]
    with WineFixture("hold", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.start(script)
        session.wait_for_script(timeout=40)
        session.wait_for_receiver(r"^lbuttonup ", timeout=5)

        at_pen = (PEN[0] * 16 * 1280 >> 16, PEN[1] * 16 * 1024 >> 16)
        clicks = [(e.kind, e.position) for e in session.receiver_events()
                  if e.kind in MOUSE_KINDS and e.kind != "mousemove"]
        check(clicks == [("lbuttondown", at_pen), ("rbuttondown", at_pen), ("rbuttonup", at_pen),
                         ("lbuttonup", at_pen)], f"clicks at the receiver: {clicks}")


if __name__ == "__main__":
    run_test(main)
