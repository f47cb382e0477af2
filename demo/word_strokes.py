"""The word the demo writes: block letters as polylines, turned into board-sim script lines."""

import math

# Each letter: polylines in a unit box (x right, y down), one stroke each.
LETTERS = {
    "V": [[(0, 0), (0.5, 1), (1, 0)]],
    "E": [[(1, 0), (0, 0), (0, 1), (1, 1)], [(0, 0.5), (0.75, 0.5)]],
    "L": [[(0, 0), (0, 1), (1, 1)]],
    "N": [[(0, 1), (0, 0), (1, 1), (1, 0)]],
    "O": [[(0.5 + 0.5 * math.sin(2 * math.pi * k / 40), 0.5 - 0.5 * math.cos(2 * math.pi * k / 40))
           for k in range(41)]],
}


def word_polylines(word, left, top, letter_width, letter_height, gap):
    """The word's strokes in board units."""
    strokes = []
    for index, letter in enumerate(word):
        x0 = left + index * (letter_width + gap)
        for line in LETTERS[letter]:
            strokes.append([(round(x0 + x * letter_width), round(top + y * letter_height)) for x, y in line])
    return strokes


def densify(polyline, step):
    """Points along the polyline no more than `step` board units apart, as a pen reports them."""
    points = [polyline[0]]
    for (x1, y1), (x2, y2) in zip(polyline, polyline[1:]):
        count = max(1, math.ceil(math.hypot(x2 - x1, y2 - y1) / step))
        points += [(round(x1 + (x2 - x1) * i / count), round(y1 + (y2 - y1) * i / count)) for i in range(1, count + 1)]
    return points


def stroke_script(points):
    """Pen down at the first point, moves along the rest, pen up at the last."""
    lines = [f"down {points[0][0]} {points[0][1]}"]
    lines += [f"move {x} {y}" for x, y in points[1:]]
    lines.append(f"up {points[-1][0]} {points[-1][1]}")
    return lines
