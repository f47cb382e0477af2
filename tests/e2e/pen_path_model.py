"""What the driver injects for a stream of pen reports on an uncalibrated board, worked out
independently of the driver's code: the first report after a reset is dropped, positions are averaged
over the last six samples (integer division), scaled by 16 and then mapped to pixels as Wine does."""

from receiver import absolute_to_pixel, input_events
from wine_harness import check

# Reports 20 ms apart: closer injections can be overtaken by the X server's echo of the previous
# cursor warp under Wine, and the receiver then sees the cursor jump back.
RATE = "rate 50"
PEN_DOWN = 0xFA
PEN_UP = 0xFC


def pointer_events(reports):
    """reports: (lead, x, y) in board units, as sent. Returns (kind, x_abs, y_abs) per injected event,
    kind 'press', 'move' or 'release'."""
    events = []
    pen_up, warm, window = True, False, []
    for lead, x, y in reports:
        if pen_up and lead == PEN_UP:
            warm, window = False, []
            continue
        if not warm:
            warm = True
            if lead == PEN_UP:
                window, warm, pen_up = [], False, True
            continue
        kind = "press" if pen_up else ("release" if lead == PEN_UP else "move")
        window = (window + [(x, y)])[-6:]
        avg_x = sum(p[0] for p in window) // len(window)
        avg_y = sum(p[1] for p in window) // len(window)
        events.append((kind, avg_x * 16, avg_y * 16))
        if kind == "press":
            pen_up = False
        elif kind == "release":
            pen_up, warm, window = True, False, []
    return events


def stroke_reports(x1, y1, x2, y2, moves):
    """A straight stroke: down at the start, `moves` reports evenly spaced to the end, up at the end."""
    reports = [(PEN_DOWN, x1, y1)]
    for i in range(1, moves + 1):
        reports.append((PEN_DOWN, x1 + (x2 - x1) * i // moves, y1 + (y2 - y1) * i // moves))
    reports.append((PEN_UP, x2, y2))
    return reports


def script_lines(reports):
    """The board-sim script that sends exactly these reports."""
    return [f"{'move' if lead == PEN_DOWN else 'up'} {x} {y}" for lead, x, y in reports]


def to_pixels(events, screen):
    return [(kind, absolute_to_pixel(x, screen[0]), absolute_to_pixel(y, screen[1])) for kind, x, y in events]


def strokes_at_receiver(records):
    """Each left-button stroke the receiver saw: the positions from its lbuttondown to its lbuttonup,
    repeats in a row folded into one (Wine echoes each warp of the cursor as one more move)."""
    strokes, current = [], None
    for record in records:
        if record.kind == "lbuttondown":
            current = [record.position]
        elif current is not None and record.kind in ("mousemove", "lbuttonup"):
            if record.position != current[-1]:
                current.append(record.position)
            if record.kind == "lbuttonup":
                strokes.append(current)
                current = None
    return strokes


def expected_stroke(events, screen):
    """The positions the receiver should see for one stroke's injected events, repeats folded."""
    positions = []
    for _kind, x, y in to_pixels(events, screen):
        if not positions or positions[-1] != (x, y):
            positions.append((x, y))
    return positions


def stroke_mismatch(seen, expected):
    """Why a stroke the receiver saw does not fit the expected one, or None when it fits.

    Under Wine two things blur what a window sees of injected input, and only these are forgiven:
    Windows folds mouse moves that queue up while the window is busy into the last one, so moves can be
    missing; and each injected move also warps the X pointer, whose echo can come back after the next
    injection, so the cursor can jump back to an earlier position (also one whose own move was folded
    away), and a button message can carry the position of the move before it. Every position seen must
    still be an injected one, new positions must come in order, the press must be exact and the release
    at the last or the one but last."""
    if not seen or seen[0] != expected[0]:
        return f"pressed at {seen[:1]}, expected {expected[0]}"
    if seen[-1] not in expected[-2:]:
        return f"released at {seen[-1]}, expected {expected[-1]}"
    reached, advanced = 0, 1  # index in `expected` of the latest new position; new positions seen
    for position in seen[1:]:
        if position in expected[:reached + 1]:
            continue  # an echo of an earlier warp
        if position not in expected[reached + 1:]:
            return f"{position} is not an expected position, or comes out of order"
        reached = expected.index(position, reached + 1)
        advanced += 1
    if advanced * 2 < len(expected):
        return f"only {advanced} of {len(expected)} positions seen"
    return None


def check_strokes(records, report_strokes, screen):
    """Checks that the receiver's records hold one stroke for each list of reports, in order, each
    fitting what the driver injects for those reports (stroke_mismatch): one check for the count, one
    for each stroke."""
    strokes = strokes_at_receiver(input_events(records))
    check(len(strokes) == len(report_strokes), f"{len(report_strokes)} strokes expected at the receiver: {strokes}")
    for k, (seen, reports) in enumerate(zip(strokes, report_strokes), 1):
        wanted = expected_stroke(pointer_events(reports), screen)
        problem = stroke_mismatch(seen, wanted)
        check(problem is None, f"stroke {k}: {problem}\nseen:     {seen}\nexpected: {wanted}")
