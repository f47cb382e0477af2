"""The settings files of tests/data/settings read by the driver's real settings store: settings_corpus.exe
makes each one config.ini beside itself, loads it with LoadSettings through the Win32 profile calls (byte
order marks, UTF-16 cut in half, noise, numbers as the profile calls read them) and solves its transforms;
every file gives the state in the table below, and maps positions safely.

Then saves that survive anything, through the same store (settings_saves.exe): a config.ini zero-filled, one
cut in the middle of a key, and one marked read-only each load the last save (from the copy beside it for the
first two), the event log says what was found, and the next save writes both files again; and a loop that
saves A and B one after the other, ended by TerminateProcess at 50 random moments, after which every fresh
load gives exactly A or B. Prints how long the 50 kills took."""

import os
import re

from service_session import EVENT_LOG_DEBUG, logged_events
from wine_harness import SOURCE_ROOT, WineFixture, check, run_test, windows_path

BINARIES = ["Velno.dll", "settings_corpus.exe", "settings_saves.exe"]
SETTINGS_DAMAGED, SETTINGS_READ_ONLY = 0x80000071, 0x80000072
CORPUS = SOURCE_ROOT / "tests" / "data" / "settings"
FIELDS = ("adjustType", "calibrated", "extendScreenFlag", "buttons", "brush", "erase")
INT32_MIN, INT32_MAX = -2**31, 2**31 - 1
# A file whose section is never found: an uncalibrated 16-point grid and the default thresholds.
UNREAD = (16, 0, 0, 0, 2500, 25000)

EXPECTED = {
    "empty.ini": UNREAD,
    "bom_only.ini": UNREAD,
    "binary_noise.ini": UNREAD,
    "utf16_noise_after_header.ini": UNREAD,
    "no_section_header.ini": UNREAD,
    "section_adjust_com.ini": UNREAD,
    "section_name_without_bom.ini": UNREAD,  # the name's UTF-8 bytes read as single-byte characters
    "unterminated_header.ini": UNREAD,
    "garbage_values.ini": UNREAD,  # every number reads as 0
    "negative_count.ini": UNREAD,
    "unsupported_count_with_buttons.ini": UNREAD,
    "keys_without_values.ini": UNREAD,  # the first "AdjustType" is empty
    "utf8_bom_4_points.ini": (4, 1, 0, 2, 3000, 25000),
    "utf16_9_points.ini": (9, 1, 1, 3, 4000, 30000),
    "hex_quotes_and_blanks.ini": (9, 1, 2, 0, 2500, 25000),
    "negative_numbers.ini": (4, 1, -1, 0, -5, INT32_MIN),
    "wrapping_numbers.ini": (4, 1, 2, 0, 1661992959, 7),
    "int32_extremes.ini": (4, 1, INT32_MAX, 63, 2500, 25000),
    "missing_points_4.ini": (4, 0, 260, 0, 2500, 25000),  # every point (260, 260): singular cells
    "missing_points_25.ini": (25, 0, 0, 0, 2500, 25000),
    "collinear_points.ini": (4, 0, 260, 0, 2500, 25000),
    "nearly_collinear_points.ini": (4, 0, 260, 0, 2500, 25000),
    "duplicate_sections.ini": (4, 1, 260, 0, 2500, 25000),  # the second section is never read
    "duplicate_keys.ini": (4, 1, 260, 1, 2500, 25000),
    "truncated_utf16.ini": (9, 0, 1, 0, 4000, 30000),  # ends inside "Point05-x": points 5 to 9 missing
    "truncated_utf8.ini": (9, 0, 1, 0, 4000, 30000),
    "buttons_63.ini": (4, 1, 260, 63, 2500, 25000),
    "buttons_64.ini": (4, 1, 260, 0, 2500, 25000),
}


def parse(line):
    """'<file> key=value ...' -> (file, {key: int})"""
    name, *pairs = line.split()
    return name, {key: int(value) for key, value in (pair.split("=", 1) for pair in pairs)}


def check_saves_survive(wine):
    settings, copy = wine.bin_dir / "config.ini", wine.bin_dir / "config.copy.ini"

    def save(which):
        check(wine.run_windows("settings_saves.exe", "save", which).popen.returncode == 0, f"saving {which} failed")
        check(copy.read_bytes() == settings.read_bytes(), f"after saving {which}, the copy differs from config.ini")

    def load():
        program = wine.run_windows("settings_saves.exe", "load", env=EVENT_LOG_DEBUG)
        return "?AB?"[min(program.popen.returncode, 3)], logged_events(program.stderr_path.read_text(errors="replace"))

    def cut_in_a_key():
        data = settings.read_bytes()
        settings.write_bytes(data[:data.index("Point05-x".encode("utf-16-le")) + 8])

    save("A")
    damages = [("zero-filled", lambda: settings.write_bytes(bytes(len(settings.read_bytes()))), SETTINGS_DAMAGED,
                "holds zeros"),
               ("cut in the middle of a key", cut_in_a_key, SETTINGS_DAMAGED, "does not match its check value"),
               ("marked read-only", lambda: os.chmod(settings, 0o444), SETTINGS_READ_ONLY, "")]
    for (name, damage, event, found), (before, after) in zip(damages, ["AB", "BA", "AB"]):
        damage()
        loaded, events = load()
        check(loaded == before, f"{name}: loaded {loaded}, not the last save {before}")
        check([e for e, _ in events] == [event] and found in " ".join(events[0][1]) and
              events[0][1][0].endswith("\\config.ini"), f"{name}: the event log said {events}")
        save(after)
        loaded, events = load()
        check(loaded == after and not events, f"{name}: after the next save loaded {loaded} and said {events}")
    # Mode bits, not access: a test run as root may write any file.
    check(settings.stat().st_mode & 0o200, "the read-only mark is still set after a save")

    kills = wine.run_windows("settings_saves.exe", "kill", "50", timeout=150)
    summary = re.search(r"kills=(\d+) A=(\d+) B=(\d+) other=(\d+) ms=(\d+)", kills.output())
    check(kills.popen.returncode == 0 and summary and summary[1] == "50" and summary[4] == "0",
          f"loads after kills in the middle of saves: {kills.output()[-2000:]}")
    if summary:
        print(f"50 saves ended by TerminateProcess in {int(summary[5]) / 1000:.1f} s: {summary[2]} loaded A, "
              f"{summary[3]} loaded B, {summary[4]} anything else")


def main():
    present = sorted(path.name for path in CORPUS.glob("*.ini"))
    check(present == sorted(EXPECTED), f"files without an expectation or gone: {set(present) ^ set(EXPECTED)}")
    with WineFixture("settings_corpus", binaries=BINARIES) as wine:
        program = wine.run_windows("settings_corpus.exe", windows_path(CORPUS), timeout=60)
        check(program.popen.returncode == 0, f"settings_corpus failed: {program.describe()}", stop=True)
        loaded = dict(parse(line) for line in program.output().splitlines() if line.strip())
        check(sorted(loaded) == present, f"files loaded: {sorted(loaded)}")
        for name, expected in EXPECTED.items():
            if name not in loaded:
                continue
            got = tuple(loaded[name][field] for field in FIELDS)
            check(got == expected, f"{name}: {dict(zip(FIELDS, got))}, expected {dict(zip(FIELDS, expected))}")
            check(loaded[name]["safe"] == 1, f"{name}: maps positions outside the board's range or from "
                                             "coefficients that are not finite")
        check_saves_survive(wine)


if __name__ == "__main__":
    run_test(main)
