"""Several simulated boards at once: two boards that answer the handshake are both driven, one per
slot, and both strokes arrive at the receiver; a board that never answers 0xEE and one that answers
something else are asked but never taken."""

from pen_driver_session import PenDriverSession, go_ahead, hold_until
from pen_path_model import RATE, check_strokes, script_lines, stroke_reports
from receiver import start_receiver
from wine_harness import WineFixture, check, read_lines, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe"]


def handshakes_received(log_path):
    return sum(1 for line in read_lines(log_path) if line.split()[1:] == ["rx", "EE"])


def main():
    left = stroke_reports(800, 1200, 1800, 2000, 15)
    right = stroke_reports(2600, 1200, 3600, 2000, 15)

    with WineFixture("driver_boards", binaries=BINARIES) as wine:
        session = PenDriverSession(wine)
        session.receiver = start_receiver(wine, timeout=30)
        # Listed first, so that every search meets them before the good boards. They stay until both
        # strokes have arrived, and each fails unless the driver asked it at least once.
        silent = session.start_board(["wait-bytes 1 30000", hold_until(wine, "strokes-seen")], name="silent",
                                     com="COM5", device="\\Device\\silabser0", options=["--silent"])
        wrong = session.start_board(["wait-bytes 1 30000", hold_until(wine, "strokes-seen")], name="wrong",
                                    com="COM6", device="\\Device\\slabser0", options=["--wrong-answer"])
        first = session.start_board(["wait-handshake 20000", RATE, "pause 300", *script_lines(left), "pause 300"],
                                    name="first", com="COM7", device="\\Device\\silabser1")
        second = session.start_board(["wait-handshake 20000", RATE, "pause 2000", *script_lines(right), "pause 300"],
                                     name="second", com="COM8", device="\\Device\\silabser2")
        session.start_driver()
        events = session.wait_for_releases(2, timeout=40)
        go_ahead(wine, "strokes-seen")
        for board in (first, second, silent, wrong):
            check(board.wait(timeout=40) == 0, f"the board failed (see its log): {board.describe()}")

        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])
        check_strokes(events, [left, right], screen)

        # One search when the driver starts, then one a pass (4 s) for the slot that stays empty... until
        # both good boards hold the slots: then nobody asks again.
        asked = {name: handshakes_received(wine.logs / f"{name}.log") for name in ("silent", "wrong")}
        check(all(count >= 1 for count in asked.values()), f"handshakes the ignored boards got: {asked}")
        print(f"handshakes the ignored boards got: {asked}")


if __name__ == "__main__":
    run_test(main)
