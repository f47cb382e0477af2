"""A config.ini written by hand beside the driver (UTF-16LE with a byte-order mark, a comment, blanks
around the equals signs, a four-point calibration of a skewed board) is loaded when the driver finds
the board: pen strokes at the four measured points reach the screen targets, and one where the quad's
diagonals cross reaches the middle of the screen, where the targets' diagonals cross."""


from calibration_session import CalibrationSession, grid_targets, stroke_lines
from pen_driver_session import SETTINGS_SECTION
from wine_harness import WineFixture, check, run_test

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe"]
# Point order: down the left column first (top-left, bottom-left, top-right, bottom-right).
MEASURED = [(2500, 2100), (1800, 30500), (30900, 3300), (29800, 31200)]


def diagonal_crossing(a, b, c, d):
    """Where segment a-b crosses segment c-d, in whole board units."""
    denominator = (a[0] - b[0]) * (c[1] - d[1]) - (a[1] - b[1]) * (c[0] - d[0])
    s = ((a[0] - c[0]) * (c[1] - d[1]) - (a[1] - c[1]) * (c[0] - d[0])) / denominator
    return round(a[0] + s * (b[0] - a[0])), round(a[1] + s * (b[1] - a[1]))


def main():
    lines = ["; calibrated by hand", f"[{SETTINGS_SECTION}]", "AdjustType = 4", "extendScreenFlag = 0"]
    for k, (x, y) in enumerate(MEASURED, 1):
        lines += [f"Point{k:02d}-x = {x}", f"Point{k:02d}-y = {y}"]
    text = b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le")
    centre = diagonal_crossing(MEASURED[0], MEASURED[3], MEASURED[1], MEASURED[2])

    with WineFixture("calibration_settings_by_hand", binaries=BINARIES) as wine:
        session = CalibrationSession(wine)
        session.settings_path.write_bytes(text)
        session.start_receiver()
        session.start_board(stroke_lines([*MEASURED, centre], "strokes"))
        session.start_driver()
        session.wait_for_board(timeout=30)
        session.check_strokes_reach(session.board_mark_time("strokes"), [*grid_targets(4), (32768, 32768)])
        check(session.settings_path.read_bytes() == text, "loading changed config.ini")


if __name__ == "__main__":
    run_test(main)
