"""Unplug and replug: the reader notices the lost board (its keep-alive write fails), the device state
0 is published after the next pass, the board is found again once it is back, the device state 1 is
published again and strokes arrive again. The board stays unplugged, and later plugged, until the test
has seen the state it waits for. The driver's icon follows: added as "Looking for the whiteboard…",
its words (which the About window, open all along, shows too) name the port, say "Looking…" while the
board is out and the port again once it is back; it comes back on "TaskbarCreated"; the board found as
the driver starts is no news, the unplug and the replug bring a notification each, and nine more unplugs
and replugs in quick succession, each seen, at most one more each. A click on the icon's menu opens About.
Last, the driver is stopped as the service stops it: the event log has one entry of the board lost and one
of it found, and one that sums the rest. Prints how long each step took."""

import re
import time

from pen_driver_session import TRAY_DEBUG, PenDriverSession, go_ahead, hold_until, icon_window, tray_trace
from pen_path_model import RATE, check_strokes, script_lines, stroke_reports
from receiver import start_receiver
from service_session import EVENT_LOG_DEBUG, logged_events
from tool_session import ToolSession
from wine_harness import WineFixture, check, check_eventually, run_test, wait_for_line

BINARIES = ["VelnoDriver.exe", "Velno.dll", "receiver.exe", "velno_control.exe", "tool_watch.exe", "icon_window.exe",
            "post_command.exe", "signal_event.exe"]
BOARD_FOUND, BOARD_LOST, BOARD_COMES_AND_GOES = 0x40000068, 0x80000069, 0x8000006F
QUICK_REPLUGS = 9


def device_state(wine):
    return wine.run_windows("velno_control.exe", "GetDeviceState", timeout=20).output().strip()


def wait_about(tool, state, skip):
    """The About window's line once it shows `state` (after the watcher's first `skip` lines)."""
    return tool.wait_window("About Velno", texts_pattern=rf'.*\|{re.escape(state)}\|.*', skip=skip)


def main():
    before = stroke_reports(1000, 1000, 2000, 1600, 12)
    after = stroke_reports(2200, 2200, 3200, 2800, 12)

    with WineFixture("driver_replug", binaries=BINARIES) as wine:
        script = [RATE, *script_lines(before), "pause 300", "mark unplug", "unplug", hold_until(wine, "lost"),
                  "mark replug", "replug", "wait-handshake 30000", "mark found", hold_until(wine, "about-closed"), "pause 300",
                  *script_lines(after),
                  hold_until(wine, "strokes-seen"), "mark flap"]
        # Plugged for half a second after each answer, unplugged for longer than the reader's three silent
        # reads before a keep-alive byte, so that the driver sees every one.
        script += ["unplug", "pause 3000", "replug", "wait-handshake 30000", "pause 500"] * QUICK_REPLUGS
        script += ["mark flapped", hold_until(wine, "driver-stopped")]
        session = PenDriverSession(wine)
        session.receiver = start_receiver(wine, timeout=30, env=TRAY_DEBUG)
        session.driver = session.start_driver(EVENT_LOG_DEBUG)
        tool = ToolSession(wine)
        tool.start_watch()
        # About shows the icon's words; it covers the strokes' places, so it is open only while they rest.
        icon_window(wine, "command", "About")
        wait_about(tool, "Looking for the whiteboard\u2026", 0)
        session.board = session.start_board(["wait-handshake 20000", hold_until(wine, "found"), *script, "pause 300"])
        plugged_us = time.monotonic_ns() // 1000
        found_us = wait_about(tool, "Whiteboard ready (COM5)", 0).t_us
        wine.run_windows("post_command.exe", "About Velno", "1")
        go_ahead(wine, "found")
        session.wait_for_mark("unplug", timeout=40)
        unplugged, skip = time.monotonic(), tool.mark()
        check_eventually(lambda: device_state(wine) == "GetDeviceState=0", 20,
                         lambda: f"the published device state stayed {device_state(wine)!r} after the unplug")
        lost_s = time.monotonic() - unplugged
        icon_window(wine, "command", "About")
        wait_about(tool, "Looking for the whiteboard\u2026", skip)
        go_ahead(wine, "lost")

        # The handshake of the search publishes the board again.
        session.wait_for_mark("found", timeout=40)
        check_eventually(lambda: device_state(wine) == "GetDeviceState=1", 20,
                         lambda: f"the published device state stayed {device_state(wine)!r} after the replug")
        replugged_us = wait_about(tool, "Whiteboard ready (COM5)", skip).t_us
        wine.run_windows("post_command.exe", "About Velno", "1")
        go_ahead(wine, "about-closed")
        icon_window(wine, "taskbar-created")
        check_eventually(lambda: tray_trace(wine, r'add text L"(.*)"').count("Whiteboard ready (COM5)"), 10,
                         lambda: f"the icon was not added again: {tray_trace(wine, r'add text L(.*)')}")
        events = session.wait_for_releases(2, timeout=30)
        screen = (session.receiver.ready.values["screen_w"], session.receiver.ready.values["screen_h"])
        check_strokes(events, [before, after], screen)
        added = tray_trace(wine, r'add text L"(.*)"')
        check(added[:1] == ["Looking for the whiteboard\\2026"], f"the icon was added with {added[:1]}")
        # A notification is a change of the icon with NIF_INFO (0x10) alone: lost, then found again.
        notices = len(tray_trace(wine, r"modify_icon .* flags=10\b"))
        check(notices == 2, f"{notices} notifications, not the lost and the found one: {added}")
        check_eventually(lambda: "Whiteboard disconnected: check the USB cable (COM5)." in tray_trace(
            wine, r'add text L"(.*)"'), 30, lambda: f"no lost notification: {tray_trace(wine, r'add text L(.*)')}")

        icon_window(wine, "command", "About")
        flapping = tool.mark()
        go_ahead(wine, "strokes-seen")
        session.wait_for_mark("flapped", timeout=150)
        wait_about(tool, "Whiteboard ready (COM5)", flapping)
        looking = [line for line in tool.lines()[flapping:] if "|Looking for the whiteboard\u2026|" in line]
        check(looking, "the driver did not see the board go while it was plugged in and out")
        flap_notices = len(tray_trace(wine, r"modify_icon .* flags=10\b")) - notices
        check(flap_notices <= 2, f"{flap_notices} notifications while the board was plugged in and out {QUICK_REPLUGS} times")

        # The menu, opened as a right click opens it, and its last item, About, clicked.
        wine.run_windows("post_command.exe", "About Velno", "1")
        skip = tool.mark()
        icon_window(wine, "open-menu")
        x, y, w, h = map(int, re.search(r" x=(\d+) y=(\d+) w=(\d+) h=(\d+) ", wait_for_line(
            tool.watch_log, r"^menu ", timeout=20, program=tool.watch, skip=skip)).groups())
        wine.xdotool("mousemove", x + w // 2, y + h - 6, "click", "1")
        tool.wait_window("About Velno", skip=skip)

        # The driver stopped as a service stops it: what it summed goes out.
        check(wine.run_windows("signal_event.exe", "Global\\Brelmar_Service").popen.returncode == 0, "the stop")
        session.driver.wait(timeout=20)
        go_ahead(wine, "driver-stopped")
        session.wait_for_script(timeout=30)
        events = logged_events(session.driver.stderr_path.read_text(errors="replace"))
        presence = [(event, words) for event, words in events if event in (BOARD_FOUND, BOARD_LOST)]
        summed = [words for event, words in events if event == BOARD_COMES_AND_GOES]
        check(presence == [(BOARD_FOUND, ["COM5"]), (BOARD_LOST, ["COM5"])],
              f"ten unplugs and replugs, found and lost told: {presence}")
        check(len(summed) == 1 and summed[0][:3] == ["COM5", str(QUICK_REPLUGS), str(QUICK_REPLUGS + 1)],
              f"and summed: {summed}")
        marks = session.board_marks()
        print(f"device state 0 published {lost_s:.1f} s after the unplug; board found again "
              f"{(marks['found'] - marks['replug']) / 1e6:.1f} s after the replug; its port in the icon's words "
              f"{(found_us - plugged_us) / 1e6:.1f} s after it was plugged in, "
              f"{(replugged_us - marks['replug']) / 1e6:.1f} s after the replug")


if __name__ == "__main__":
    run_test(main)
