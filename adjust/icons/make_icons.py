#!/usr/bin/env python3
"""Draws the calibration tool's icons and writes them as .ico files (32-bit with alpha) into the folder
given as the only argument:

  current_target.ico  48 x 48  red cross with a green disc where the bars meet: the target to touch now
  done_target.ico     48 x 48  green cross: a target already taken
  pending_target.ico  48 x 48  grey cross: a target still to come
  hand_right.ico      48 x 48  white hand, black outline, finger pointing right (about 43 x 20, centred)
  hand_left.ico       48 x 48  the same hand pointing left
  app.ico             128 x 128 (and 48, 32, 16): a whiteboard with a target and a pen stroke

Each cross is two bars 10 pixels wide across the whole icon; they meet on pixel (24, 24), which the
target window puts on the target point. Standard library only, so the build needs nothing more.
"""

import struct
import sys
from pathlib import Path

RED = (224, 12, 20)
GREEN = (20, 131, 5)
GREY = (164, 163, 163)
DISC = (40, 230, 60)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


class Canvas:
    """size x size RGBA pixels, all transparent at first."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(self, x, y, rgb, alpha=255):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = (*rgb, alpha)

    def rect(self, x0, y0, x1, y1, rgb):
        """Fills x0..x1, y0..y1 inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, rgb)

    def disc(self, cx, cy, radius, rgb):
        for y in range(self.size):
            for x in range(self.size):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                    self.put(x, y, rgb)

    def mirrored(self):
        other = Canvas(self.size)
        other.pixels = [list(reversed(row)) for row in self.pixels]
        return other

    def scaled_down(self, size):
        """A box-filtered copy, for the application icon's smaller sizes."""
        factor = self.size / size
        other = Canvas(size)
        for y in range(size):
            for x in range(size):
                xs = range(int(x * factor), max(int((x + 1) * factor), int(x * factor) + 1))
                ys = range(int(y * factor), max(int((y + 1) * factor), int(y * factor) + 1))
                samples = [self.pixels[sy][sx] for sy in ys for sx in xs]
                alpha = sum(p[3] for p in samples)
                if alpha:
                    rgb = tuple(round(sum(p[i] * p[3] for p in samples) / alpha) for i in range(3))
                    other.pixels[y][x] = (*rgb, round(alpha / len(samples)))
        return other


def cross(rgb, disc=None):
    canvas = Canvas(48)
    canvas.rect(19, 0, 28, 47, rgb)
    canvas.rect(0, 19, 47, 28, rgb)
    if disc:
        canvas.disc(24.0, 24.0, 5.0, disc)
    return canvas


# The hand pointing right, 43 x 20 pixels: '#' outline, '.' white, ' ' transparent. Cuff on the left,
# the fist with its curled fingers, the index finger along the top.
HAND = [
    "          ########                         ",
    "#######  #........#########################",
    "#.....# #.................................#",
    "#.....##..................................#",
    "#.....#............########################",
    "#.....#.....#####.........#                ",
    "#.....#....#.....#........#                ",
    "#.....#...#.......#.......#                ",
    "#.....#...#........########                ",
    "#.....#...#...............#                ",
    "#.....#...#........########                ",
    "#.....#...#...............#                ",
    "#.....#...#........########                ",
    "#.....#...#...............#                ",
    "#.....#...#........########                ",
    "#.....#....#..............#                ",
    "#.....#.....#............#                 ",
    "#.....##.....############                  ",
    "#######  #####                             ",
    "                                           ",
]


def hand_right():
    canvas = Canvas(48)
    left, top = (48 - 43) // 2, (48 - 20) // 2
    for y, row in enumerate(HAND):
        for x, mark in enumerate(row[:43]):
            if mark == "#":
                canvas.put(left + x, top + y, BLACK)
            elif mark == ".":
                canvas.put(left + x, top + y, WHITE)
    return canvas


def application_icon():
    canvas = Canvas(128)
    canvas.rect(6, 14, 121, 105, (90, 96, 104))        # frame
    canvas.rect(10, 18, 117, 101, (250, 250, 248))     # writing surface
    canvas.rect(54, 105, 73, 112, (90, 96, 104))       # stand
    canvas.rect(36, 112, 91, 117, (90, 96, 104))
    canvas.rect(34, 50, 47, 53, RED)                   # a target near the top-left corner
    canvas.rect(39, 45, 42, 58, RED)
    canvas.disc(40.5, 51.5, 2.5, DISC)
    for i in range(46):                                # a pen stroke towards the bottom right
        x = 58 + i
        y = 86 - (i * i) // 60
        canvas.rect(x, y, x + 2, y + 2, (25, 80, 200))
    return canvas


def dib(canvas):
    """The icon image as a bottom-up 32-bit DIB with its AND mask (1 where transparent)."""
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(v for r, g, b, a in canvas.pixels[y] for v in (b, g, r, a)) for y in reversed(range(size)))
    stride = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = bytearray(stride)
        for x, pixel in enumerate(canvas.pixels[y]):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + rows + mask


def ico(images):
    data = [dib(image) for image in images]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for image, blob in zip(images, data):
        out += struct.pack("<BBBBHHII", image.size % 256, image.size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(data)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    right = hand_right()
    app = application_icon()
    icons = {
        "current_target": [cross(RED, DISC)],
        "done_target": [cross(GREEN)],
        "pending_target": [cross(GREY)],
        "hand_right": [right],
        "hand_left": [right.mirrored()],
        "app": [app, app.scaled_down(48), app.scaled_down(32), app.scaled_down(16)],
    }
    for name, images in icons.items():
        (out / f"{name}.ico").write_bytes(ico(images))


if __name__ == "__main__":
    main()
