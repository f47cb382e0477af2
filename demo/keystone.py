"""The demo board's distortion: a keystone (a projector tilted up at the board), as a projective map from
the screen to the board. The screen's corners land on the board at KEYSTONE_CORNERS, so uncalibrated
writing comes out as a trapezium; a calibration undoes it exactly."""

# Board units of the screen's top-left, top-right, bottom-right and bottom-left corners.
KEYSTONE_CORNERS = ((5200, 2600), (27600, 3400), (31200, 30400), (1600, 29600))


def keystone(corners=KEYSTONE_CORNERS):
    """The projective map of the unit square onto the quadrilateral `corners`: (u, v) -> board units."""
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = corners
    dx1, dx2, dx3 = x1 - x2, x3 - x2, x0 - x1 + x2 - x3
    dy1, dy2, dy3 = y1 - y2, y3 - y2, y0 - y1 + y2 - y3
    den = dx1 * dy2 - dx2 * dy1
    g = (dx3 * dy2 - dx2 * dy3) / den
    h = (dx1 * dy3 - dx3 * dy1) / den
    a, b, c = x1 - x0 + g * x1, x3 - x0 + h * x3, x0
    d, e, f = y1 - y0 + g * y1, y3 - y0 + h * y3, y0

    def board_position(u, v):
        w = g * u + h * v + 1
        return round((a * u + b * v + c) / w), round((d * u + e * v + f) / w)

    return board_position
