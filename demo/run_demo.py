"""The main job: the pen driver under Wine, calibrated with the calibration tool, draws a word from the
simulated board into a canvas.

Starts a private X server and Wine prefix, the canvas (draws while the left button is down), the
board simulator on COM5 (a CP210x port) and VelnoDriver.exe /service. Act 1: Adjust_single_standard.exe
calibrates the board, whose pen-to-screen relation is a strong keystone: nine points are picked in its
chooser and the board touches each target where the keystone puts it (a PNG screenshot of the target
window is saved); then the tool's check shows its five crosses and the board touches each where the
keystone puts it (a PNG screenshot of the result screen is saved). Act 2: the board writes the word
through the keystone, and the calibration straightens it; a PNG screenshot of the canvas is saved, with
a picture of where the pen touched the board, and a summary printed. Act 3: the driver's icon: PNGs of its
menu, of About clicked in it, and of the settings window. Ends by itself and leaves no process behind.
"""

import argparse
import re
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))

from calibration_session import grid_targets  # noqa: E402
from keystone import KEYSTONE_CORNERS, keystone  # noqa: E402
from pen_driver_session import PenDriverSession, icon_window  # noqa: E402
from pen_path_model import PEN_DOWN, PEN_UP, pointer_events  # noqa: E402
from tool_session import (CHECK_DONE, CHECK_TITLE, CHOOSER_TITLE, COUNT_BUTTONS, RED, ToolSession,  # noqa: E402
                          check_cross_pixels, resource_ids, target_points, touch_crosses, touch_until_next_target)
from wine_harness import WineFixture, read_lines, wait_for_line, windows_path  # noqa: E402
from word_strokes import densify, stroke_script, word_polylines  # noqa: E402

WORD = "VELNO"
RATE_HZ = 60
# The word's place on the screen, in 1/4096 of its width and height.
LEFT, TOP, LETTER_W, LETTER_H, GAP, STEP = 420, 1300, 520, 1300, 160, 14
POINTS = 9
SHOWN_TARGET = 5  # the target on show in the saved screenshot of the target window
DRIVER_IDS = resource_ids(ROOT / "driver" / "host" / "driver_resource_ids.h")
KEYSTONE_TEXT = ", ".join(f"({x}, {y})" for x, y in KEYSTONE_CORNERS)


def stamped(path, kind):
    """t_us of the lines of the given kind, in order."""
    return [int(line.split()[1].split("=")[1]) for line in read_lines(path) if line.startswith(kind + " ")]


def shoot(wine, path, line, margin=0):
    """A PNG of the screen around the window of one of tool_watch's lines."""
    x, y, w, h = map(int, re.search(r" x=(-?\d+) y=(-?\d+) w=(\d+) h=(\d+) ", line).groups())
    crop = f"{w + 2 * margin}x{h + 2 * margin}+{max(x - margin, 0)}+{max(y - margin, 0)}"
    subprocess.run(["import", "-window", "root", "-display", wine.display, "-crop", crop, "+repage", str(path)],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, env=wine.env)


def draw_board_input(path, strokes, touches, width, height):
    """A picture of where the pen touched the board, placed on the screen as an uncalibrated driver would
    (board units scaled to the screen): the keystone the calibration undoes. Targets touched are red."""
    def pixel(x, y):
        return f"{x * width // 32768},{y * height // 32768}"

    draw = ["-stroke", "#1a3ca8", "-strokewidth", "4", "-fill", "none"]
    for points in strokes:
        # One line a segment: ImageMagick closes a long polyline.
        draw += ["-draw", " ".join(f"line {pixel(*a)} {pixel(*b)}" for a, b in zip(points, points[1:]))]
    draw += ["-stroke", "#e00c14", "-strokewidth", "6"]
    for x, y in touches:
        cx, cy = (int(v) for v in pixel(x, y).split(","))
        draw += ["-draw", f"line {cx - 16},{cy} {cx + 16},{cy}", "-draw", f"line {cx},{cy - 16} {cx},{cy + 16}"]
    subprocess.run(["convert", "-size", f"{width}x{height}", "xc:white", *draw, str(path)], check=True, timeout=30)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=str(ROOT / "build" / "demo" / "velno-demo.png"), help="where the PNG goes")
    args = parser.parse_args()
    out = Path(args.out).resolve()
    out.parent.mkdir(parents=True, exist_ok=True)
    targets_png = out.with_name(out.stem + "-targets.png")
    check_png = out.with_name(out.stem + "-check.png")
    board_png = out.with_name(out.stem + "-board.png")
    menu_png, about_png, settings_png = (out.with_name(f"{out.stem}-{name}.png") for name in ("menu", "about", "settings"))

    board_position = keystone()
    # The word on the screen, densified there, and the board positions the keystone turns it into.
    screen_strokes = [densify(line, STEP) for line in word_polylines(WORD, LEFT, TOP, LETTER_W, LETTER_H, GAP)]
    strokes = [[board_position(x / 4096, y / 4096) for x, y in points] for points in screen_strokes]
    touches = [board_position(x / 65536, y / 65536) for x, y in grid_targets(POINTS)]

    with WineFixture("demo", binaries=["VelnoDriver.exe", "Velno.dll", "canvas.exe", "Adjust_single_standard.exe",
                                       "tool_watch.exe", "post_command.exe", "icon_window.exe"]) as wine:
        signals = wine.run_dir / "signals"
        signals.mkdir()
        width, height = wine.screen
        # The check's crosses, touched where the keystone puts the middle of each cross's pixel.
        crosses = [board_position((x + 0.5) / width, (y + 0.5) / height) for x, y in check_cross_pixels(width, height)]
        script = ["wait-handshake 30000", "pause 300", *touch_until_next_target(touches, signals),
                  *touch_crosses(crosses, signals, ""), f"wait-file {signals / 'tool-ended'} 60000", "pause 500",
                  f"rate {RATE_HZ}", "mark word"]
        reports = []
        for points in strokes:
            script += stroke_script(points) + ["pause 150"]
            reports += [(PEN_DOWN, x, y) for x, y in points] + [(PEN_UP, *points[-1])]
        script.append("pause 500")

        session = PenDriverSession(wine)
        canvas_log = wine.logs / "canvas.log"
        canvas = wine.start_windows("canvas.exe", windows_path(canvas_log), name="canvas")
        wait_for_line(canvas_log, r"^ready ", timeout=30, program=canvas)
        tool = ToolSession(wine)
        tool.start_watch()
        board = session.start_board(script, name="board")
        session.start_driver()
        session.wait_for_mark("handshake", timeout=30)
        tool.wait_board_found()

        # Act 1: the calibration tool, nine points, the board touching each target through the keystone.
        started = time.monotonic()
        adjust = tool.start("Adjust_single_standard.exe")
        tool.wait_window(CHOOSER_TITLE)
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[POINTS])
        for k in range(1, POINTS + 1):
            tool.wait_index(k)
            if k == SHOWN_TARGET:
                x, y = target_points(POINTS, width, height)[k - 1]
                tool.screenshot_until(lambda shot: None if shot.pixel(x + 15, y) == RED else "target not shown yet",
                                      width, height)
                subprocess.run(["import", "-window", "root", "-display", wine.display, str(targets_png)], check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, env=wine.env)
            (signals / f"shown-{k}").touch()
        # The check after saving: the pen on target 9 is lifted once it shows, then the five crosses.
        skip = tool.mark()
        tool.wait_window(CHECK_TITLE, skip=skip)
        (signals / "ended").touch()
        result = tool.run_check(signals, "", skip)
        calibrated_s = time.monotonic() - started
        result_ms = (result.t_us - session.board_marks()["cross-5 lift"]) / 1000
        largest = re.search(r"Largest error (\d+) px", result.texts)
        subprocess.run(["import", "-window", "root", "-display", wine.display, str(check_png)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, env=wine.env)
        tool.click(CHECK_TITLE, CHECK_DONE)
        adjust.wait(timeout=60)
        (signals / "tool-ended").touch()

        # Act 2: the word, written through the keystone and the new calibration.
        started = time.monotonic()
        code = board.wait(timeout=180)
        if code != 0:
            raise RuntimeError(f"the board simulator failed: {board.describe()}")
        drawn_s = time.monotonic() - started
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", "-display", wine.display, str(out)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, env=wine.env)

        word_us = session.board_marks()["word"]
        sent = [line.split() for line in read_lines(wine.logs / "board.log") if " tx " in line
                and int(line.split()[0]) > word_us]
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

        # A stroke's press comes from its second report: where the word puts that point on the screen.
        presses = [tuple(int(f.split("=")[1]) for f in line.split()[2:4]) for line in read_lines(canvas_log)
                   if line.startswith("lbuttondown ")]
        wanted = [(points[1][0] * 16 * width >> 16, points[1][1] * 16 * height >> 16) for points in screen_strokes]
        offsets = [max(abs(px - wx), abs(py - wy)) for (px, py), (wx, wy) in zip(presses, wanted)]

        # Act 3: the driver's icon: its menu where the pen last was, About clicked in it, the settings window.
        skip = tool.mark()
        icon_window(wine, "open-menu")
        menu = wait_for_line(tool.watch_log, r"^menu ", timeout=20, program=tool.watch, skip=skip)
        shoot(wine, menu_png, menu, margin=40)
        x, y, w, h = map(int, re.search(r" x=(\d+) y=(\d+) w=(\d+) h=(\d+) ", menu).groups())
        wine.xdotool("mousemove", x + w // 2, y + h - 6, "click", "1")
        about = tool.wait_window("About Velno", skip=skip)
        shoot(wine, about_png, f" x={about.x} y={about.y} w={about.w} h={about.h} ")
        tool.click("About Velno", 1)
        icon_window(wine, "command", "Settings")
        tool.wait_window("Velno settings", skip=skip)
        tool.click("Velno settings", DRIVER_IDS["IDC_SETTINGS_FIRST_PAGE"] + 1)
        settings = tool.wait_window("Velno settings", texts_pattern=".*Brush.*", skip=skip)
        shoot(wine, settings_png, f" x={settings.x} y={settings.y} w={settings.w} h={settings.h} ")
    draw_board_input(board_png, strokes, touches, width, height)

    print(f"PNG: {out}")
    print(f"PNG of the target window (target {SHOWN_TARGET} of {POINTS}): {targets_png}")
    print(f"PNG of where the pen touched the board, placed as an uncalibrated driver would: {board_png}")
    print(f"PNG of the check's result screen: {check_png}")
    print(f"PNGs of the icon's menu, About and the settings window: {menu_png}, {about_png}, {settings_png}")
    print(f"calibration: {POINTS} points through a keystone (screen corners at board {KEYSTONE_TEXT}), "
          f"{calibrated_s:.1f} s from the tool's start to the check's result")
    print(f"check after the calibration: {result.texts.split('|')[0]!r} (largest error "
          f"{largest[1] if largest else '?'} px); last touch to the result screen: {result_ms:.0f} ms")
    print(f"word: {WORD!r} in {len(strokes)} strokes, drawn in {drawn_s:.1f} s")
    if offsets:
        print(f"stroke starts on the canvas: at most {max(offsets)} px from where the word puts them "
              f"({len(offsets)} strokes)")
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
