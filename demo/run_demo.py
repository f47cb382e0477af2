"""The main job: the pen driver under Wine draws a word from the simulated board into a canvas.

Starts a private X server and Wine prefix, the canvas (draws while the left button is down), the
board simulator on COM5 (a CP210x port) and VelnoDriver.exe /service; the board writes the word; then a
PNG screenshot of the canvas is saved and a summary printed. Ends by itself and leaves no process behind.
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))

from pen_driver_session import PenDriverSession  # noqa: E402
from pen_path_model import PEN_DOWN, PEN_UP, pointer_events  # noqa: E402
from wine_harness import WineFixture, read_lines, wait_for_line, windows_path  # noqa: E402
from word_strokes import densify, stroke_script, word_polylines  # noqa: E402

WORD = "VELNO"
RATE_HZ = 60
# Uncalibrated, board units are scaled by 16: 4096 units span the screen's width and height.
LEFT, TOP, LETTER_W, LETTER_H, GAP, STEP = 420, 1300, 520, 1300, 160, 14


def stamped(path, kind):
    """t_us of the lines of the given kind, in order."""
    return [int(line.split()[1].split("=")[1]) for line in read_lines(path) if line.startswith(kind + " ")]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=str(ROOT / "build" / "demo" / "velno-demo.png"), help="where the PNG goes")
    args = parser.parse_args()
    out = Path(args.out).resolve()
    out.parent.mkdir(parents=True, exist_ok=True)

    strokes = [densify(line, STEP) for line in word_polylines(WORD, LEFT, TOP, LETTER_W, LETTER_H, GAP)]
    script = ["wait-handshake 30000", f"rate {RATE_HZ}", "pause 300"]
    reports = []
    for points in strokes:
        script += stroke_script(points) + ["pause 150"]
        reports += [(PEN_DOWN, x, y) for x, y in points] + [(PEN_UP, *points[-1])]
    script.append("pause 500")

    with WineFixture("demo", binaries=["VelnoDriver.exe", "Velno.dll", "canvas.exe"]) as wine:
        session = PenDriverSession(wine)
        canvas_log = wine.logs / "canvas.log"
        canvas = wine.start_windows("canvas.exe", windows_path(canvas_log), name="canvas")
        wait_for_line(canvas_log, r"^ready ", timeout=30, program=canvas)
        started = time.monotonic()
        board = session.start_board(script, name="board")
        session.start_driver()
        code = board.wait(timeout=180)
        if code != 0:
            raise RuntimeError(f"the board simulator failed: {board.describe()}")
        drawn_s = time.monotonic() - started
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", "-display", wine.display, str(out)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, env=wine.env)

        sent = [line.split() for line in read_lines(wine.logs / "board.log") if " tx " in line]
        pen_sent = [(int(fields[0]), int(fields[2], 16)) for fields in sent if fields[2] in ("FA", "FC")]
        injected = pointer_events(reports)
        downs, ups = stamped(canvas_log, "lbuttondown"), stamped(canvas_log, "lbuttonup")
        last_line = read_lines(canvas_log)[-1].split()
        messages = next(int(f.split("=")[1]) for f in last_line if f.startswith("messages="))

        # The press comes from a stroke's second report (the first is dropped), the release from its
        # pen-up report: their send times against the canvas's messages.
        stroke_starts = [i for i, (_, lead) in enumerate(pen_sent) if lead == PEN_DOWN and
                         (i == 0 or pen_sent[i - 1][1] == PEN_UP)]
        releases = [t for t, lead in pen_sent if lead == PEN_UP]
        latencies = [(down - pen_sent[i + 1][0]) / 1000 for i, down in zip(stroke_starts, downs)]
        latencies += [(up - sent_at) / 1000 for sent_at, up in zip(releases, ups)]

    print(f"PNG: {out}")
    print(f"word: {WORD!r} in {len(strokes)} strokes, drawn in {drawn_s:.1f} s")
    print(f"reports sent by the board: {len(pen_sent)} at {RATE_HZ}/s")
    print(f"pointer events injected by the driver: {len(injected)} "
          f"({sum(k == 'press' for k, *_ in injected)} presses, {sum(k == 'release' for k, *_ in injected)} releases)")
    print(f"strokes the canvas drew: {len(downs)} (pointer messages it got: {messages})")
    if latencies:
        print(f"latency, board's last byte to the canvas's button message: median {statistics.median(latencies):.1f} ms,"
              f" max {max(latencies):.1f} ms over {len(latencies)} presses and releases")
    return 0 if len(downs) == len(strokes) == len(ups) else 1


if __name__ == "__main__":
    sys.exit(main())
