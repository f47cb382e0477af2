#!/usr/bin/env python3
"""Draws the pictures of the driver's icon in the notification area and writes them as .ico files (32-bit
with alpha, 48, 32, 24, 20 and 16 pixels) into the folder given as the only argument. Each is a small
whiteboard on its stand with a badge in the bottom-right corner that says the board's state:

  board_ready.ico        a green badge with a white tick: the whiteboard answers, the pen works
  board_looking.ico      the board greyed, a grey badge with three dots: looking for the whiteboard
  board_calibrating.ico  the tool's red target on the board, a blue badge with a white ring: a calibration runs
  board_unreliable.ico   an amber warning triangle with "!": the cable or bridge drops reports

Drawn at 64 pixels and scaled down with the calibration tool's canvas (adjust/icons/make_icons.py), so
the build needs nothing more than Python's standard library.
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "adjust" / "icons"))

from make_icons import DISC, RED, WHITE, Canvas, ico  # noqa: E402

FRAME = (90, 96, 104)
SURFACE = (250, 250, 248)
GREYED = (200, 202, 205)
GREEN = (30, 150, 60)
GREY = (120, 124, 130)
BLUE = (30, 90, 200)
AMBER = (240, 170, 0)
INK = (25, 25, 25)
SIZES = (48, 32, 24, 20, 16)


def board(surface):
    canvas = Canvas(64)
    canvas.rect(1, 6, 62, 47, FRAME)
    canvas.rect(5, 10, 58, 43, surface)
    canvas.rect(28, 47, 35, 53, FRAME)
    canvas.rect(16, 53, 47, 57, FRAME)
    return canvas


def thick_line(canvas, start, end, width, rgb):
    steps = 40
    for i in range(steps + 1):
        x = start[0] + (end[0] - start[0]) * i / steps
        y = start[1] + (end[1] - start[1]) * i / steps
        canvas.disc(x, y, width / 2, rgb)


def badge(canvas, rgb):
    canvas.disc(47.0, 45.0, 16.0, WHITE)
    canvas.disc(47.0, 45.0, 14.0, rgb)


def ready():
    canvas = board(SURFACE)
    badge(canvas, GREEN)
    thick_line(canvas, (39, 45), (45, 52), 5, WHITE)
    thick_line(canvas, (45, 52), (56, 38), 5, WHITE)
    return canvas


def looking():
    canvas = board(GREYED)
    badge(canvas, GREY)
    for x in (40, 47, 54):
        canvas.disc(float(x), 45.0, 3.0, WHITE)
    return canvas


def calibrating():
    canvas = board(SURFACE)
    canvas.rect(12, 24, 31, 29, RED)
    canvas.rect(19, 17, 24, 36, RED)
    canvas.disc(21.5, 26.5, 3.0, DISC)
    badge(canvas, BLUE)
    canvas.disc(47.0, 45.0, 9.0, WHITE)  # a white ring with a dot: a target
    canvas.disc(47.0, 45.0, 6.5, BLUE)
    canvas.disc(47.0, 45.0, 3.0, WHITE)
    return canvas


def unreliable():
    canvas = board(SURFACE)
    top, left, right, bottom = (46.0, 26.0), 29.0, 63.0, 61.0
    for y in range(64):
        for x in range(64):
            # Inside the triangle: below the top and within its two slanted sides.
            px, py = x + 0.5, y + 0.5
            if top[1] <= py <= bottom:
                half = (py - top[1]) / (bottom - top[1]) * (right - left) / 2
                if abs(px - top[0]) <= half:
                    canvas.put(x, y, AMBER)
    canvas.rect(45, 36, 48, 52, INK)
    canvas.rect(45, 55, 48, 58, INK)
    return canvas


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    pictures = {"board_ready": ready(), "board_looking": looking(), "board_calibrating": calibrating(),
                "board_unreliable": unreliable()}
    for name, picture in pictures.items():
        (out / f"{name}.ico").write_bytes(ico([picture.scaled_down(size) for size in SIZES]))


if __name__ == "__main__":
    main()
