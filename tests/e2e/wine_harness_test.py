"""The Wine harness end to end: input injected with mouse_event reaches the focused receiver at the
pixels Wine maps it to, stamped on the Linux clock; real X keys reach it too; and a fixture leaves no
process or folder behind however its test ends (normally, by an exception, SIGTERM or SIGKILL)."""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import wine_harness
from receiver import MK_LBUTTON, absolute_to_pixel, input_events, parse_log, read_log, start_receiver
from wine_harness import Program, WineFixture, read_lines, wait_for_line, windows_bin_dir, windows_path

REQUIRED_BINARIES = ["receiver.exe", "inject_mouse.exe"]
VK_A, VK_B, VK_MENU, VK_F4 = 0x41, 0x42, 0x12, 0x73
HERE = Path(__file__).resolve().parent


class ReceiverInputTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = cls.enterClassContext(WineFixture("harness_input", binaries=REQUIRED_BINARIES))
        cls.receiver = start_receiver(cls.wine)

    def new_input_after(self, line_count):
        return input_events(parse_log(read_lines(self.receiver.log_path)[line_count:]))

    def test_receiver_fills_the_screen_but_one_pixel_and_stamps_on_the_linux_clock(self):
        ready = self.receiver.ready.values
        self.assertEqual(ready["clock"], "linux_monotonic")
        self.assertEqual((ready["screen_w"], ready["screen_h"]), self.wine.screen)
        self.assertEqual((ready["window_w"], ready["window_h"]), (self.wine.screen[0] - 1, self.wine.screen[1] - 1))

    def test_press_move_release_arrive_in_order_at_the_pixels_wine_maps_them_to(self):
        width, height = self.wine.screen
        # Each coordinate's exact pixel has a fraction, so truncation and rounding disagree on all of them.
        start, press, drag = (100, 100), (20000, 30000), (45000, 50100)
        pixel = {point: (absolute_to_pixel(point[0], width), absolute_to_pixel(point[1], height))
                 for point in (start, press, drag)}
        self.assertEqual(pixel[start], (1, 1))

        calls_log = self.wine.logs / "press_move_release_calls.log"
        line_count = len(read_lines(self.receiver.log_path))
        before_us = time.monotonic_ns() // 1000
        # 20 ms apart, a pen's pace: closer calls get overtaken by the X echo of Wine's pointer warps.
        injector = self.wine.run_windows(
            "inject_mouse.exe", "--log", windows_path(calls_log), "--pause-ms", "20",
            "absolute+move:{}:{}".format(*start), "absolute+move+leftdown:{}:{}".format(*press),
            "absolute+move:{}:{}".format(*drag), "absolute+move+leftup:{}:{}".format(*drag), timeout=20)
        self.assertEqual(injector.popen.returncode, 0, injector.describe())
        wait_for_line(self.receiver.log_path, r"^lbuttonup ", timeout=5, program=self.receiver.program,
                      skip=line_count)
        # The X echo of the last move may land in the log after the release, or not: it is allowed.
        events = self.new_input_after(line_count)
        calls = read_log(calls_log)
        after_us = time.monotonic_ns() // 1000

        buttons = [(event.kind, event.position) for event in events if event.kind != "mousemove"]
        self.assertEqual(buttons, [("lbuttondown", pixel[press]), ("lbuttonup", pixel[drag])])
        down_index = next(i for i, event in enumerate(events) if event.kind == "lbuttondown")
        up_index = next(i for i, event in enumerate(events) if event.kind == "lbuttonup")
        # The cursor goes start -> press, then drags to its end with the button held. A move may repeat
        # a place already visited (the X echo of a warp, see receiver.py), never show a new one.
        moves_before = [event.position for event in events[:down_index]]
        self.assertEqual((moves_before[0], moves_before[-1]), (pixel[start], pixel[press]))
        self.assertLessEqual(set(moves_before), {pixel[start], pixel[press]})
        dragging = [(event.position, event.mk & MK_LBUTTON) for event in events[down_index + 1:up_index]]
        self.assertIn((pixel[drag], MK_LBUTTON), dragging)
        self.assertLessEqual(set(dragging), {(pixel[press], MK_LBUTTON), (pixel[drag], MK_LBUTTON)})
        self.assertLessEqual({event.position for event in events[up_index + 1:]}, {pixel[drag]})

        # Both programs stamp on time.monotonic_ns()'s clock: every stamp falls between ours, and each
        # button message comes after the call that caused it.
        down, up = events[down_index], events[up_index]
        self.assertEqual(len(calls), 4)
        for stamp in [call.t_us for call in calls] + [down.t_us, up.t_us]:
            self.assertTrue(before_us <= stamp <= after_us, f"{stamp} outside {before_us}..{after_us}")
        self.assertLessEqual(calls[1].t_us, down.t_us)
        self.assertLessEqual(calls[3].t_us, up.t_us)
        print(f"\ninjection to message: press {down.t_us - calls[1].t_us} us, release {up.t_us - calls[3].t_us} us",
              file=sys.stderr)

    def test_x_keys_reach_the_focused_receiver_and_alt_f4_does_not_close_it(self):
        line_count = len(read_lines(self.receiver.log_path))
        # A window that Alt+F4 closed would never see the key after it.
        self.wine.xdotool("key", "a", "alt+F4", "b")
        wait_for_line(self.receiver.log_path, r"^keyup .*vk=0x42", timeout=5, program=self.receiver.program,
                      skip=line_count)
        keys = [(event.kind, event.vk) for event in self.new_input_after(line_count)]
        self.assertEqual(keys, [("keydown", VK_A), ("keyup", VK_A), ("syskeydown", VK_MENU), ("syskeydown", VK_F4),
                                ("keyup", VK_MENU), ("keyup", VK_F4), ("keydown", VK_B), ("keyup", VK_B)])
        self.assertTrue(self.receiver.program.running(), "Alt+F4 closed the receiver")


class CheckCountTest(unittest.TestCase):
    def test_a_script_ends_with_the_counts_of_its_checks_and_fails_on_any_failure_or_none(self):
        cases = [("check(True, ''); check(True, '')", "2 passed, 0 failed", 0),
                 ("check(False, 'seen'); check(True, '')", "1 passed, 1 failed", 1),
                 ("check(False, 'seen', stop=True); check(True, '')", "0 passed, 1 failed", 1),
                 ("check(True, ''); raise TimeoutError('waited')", "1 passed, 1 failed", 1),
                 ("pass", "0 passed, 0 failed", 1)]
        for body, last_line, code in cases:
            script = f"from wine_harness import check, run_test\ndef main():\n    {body}\nrun_test(main)\n"
            run = subprocess.run([sys.executable, "-c", script], cwd=HERE, capture_output=True, text=True, timeout=30)
            self.assertEqual((run.stdout.splitlines()[-1:], run.returncode), ([last_line], code), run.stderr)


def process_alive(pid):
    """True for a live process; a zombie (ended, not yet reaped) counts as gone."""
    try:
        state = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[0]
    except OSError:
        return False
    return state != "Z"


class TeardownTest(unittest.TestCase):
    def assert_nothing_left(self, run_dir, prefix, server_dir, pids, timeout=30):
        def anything_left():
            return (wine_harness.processes_of_run(run_dir, prefix) or any(map(process_alive, pids))
                    or Path(server_dir).exists() or Path(run_dir).exists())

        deadline = time.monotonic() + timeout  # after a SIGKILL the watchdog cleans up in its own time
        while time.monotonic() < deadline and anything_left():
            time.sleep(0.05)
        self.assertEqual(wine_harness.processes_of_run(run_dir, prefix), [])
        self.assertEqual([pid for pid in pids if process_alive(pid)], [])
        self.assertFalse(Path(server_dir).exists(), "the wineserver's folder under /tmp is left")
        self.assertFalse(Path(run_dir).exists(), "the run's folder is left")

    def run_fixture(self, name, body):
        with WineFixture(name, binaries=["receiver.exe"]) as wine:
            receiver = start_receiver(wine)
            self.wine_started = (wine.run_dir, wine.prefix, wine.server_dir,
                                 [wine.xvfb.pid, wine.wineserver.pid, receiver.program.pid])
            self.assertTrue(wine_harness.processes_of_run(wine.run_dir, wine.prefix))
            body()
        return wine.timings

    def test_a_normal_exit_leaves_nothing(self):
        timings = self.run_fixture("teardown_normal", lambda: None)
        self.assert_nothing_left(*self.wine_started)
        print("\nfixture " + ", ".join(f"{key} {value:.2f}" for key, value in timings.items()), file=sys.stderr)

    def test_an_exception_leaves_nothing(self):
        def fail():
            raise RuntimeError("the test body failed")

        with self.assertRaises(RuntimeError):
            self.run_fixture("teardown_exception", fail)
        self.assert_nothing_left(*self.wine_started)

    def hold_fixture_in_another_process(self, name):
        """Starts fixture_holder.py; returns its Program and what it reported once its receiver was up."""
        folder = Path(tempfile.mkdtemp(prefix="holder-", dir=wine_harness.work_root()))
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", str(folder)]))
        out, err = folder / "holder.out", folder / "holder.err"
        with open(out, "w") as stdout, open(err, "w") as stderr:
            popen = subprocess.Popen([sys.executable, str(HERE / "fixture_holder.py"), name], stdin=subprocess.DEVNULL,
                                     stdout=stdout, stderr=stderr, start_new_session=True)
        holder = Program(name, popen.args, popen, out, err)
        self.addCleanup(holder.stop)
        return holder, json.loads(wait_for_line(out, r"^\{", timeout=30, program=holder))

    def test_sigterm_runs_the_teardown(self):
        holder, started = self.hold_fixture_in_another_process("teardown_sigterm")
        os.kill(holder.pid, signal.SIGTERM)
        self.assertEqual(holder.wait(20), 128 + signal.SIGTERM, read_lines(holder.stderr_path)[-20:])
        self.assert_nothing_left(started["run_dir"], started["prefix"], started["server_dir"], started["pids"])

    def test_after_sigkill_the_watchdog_kills_the_run_and_removes_it(self):
        holder, started = self.hold_fixture_in_another_process("teardown_sigkill")
        os.kill(holder.pid, signal.SIGKILL)
        holder.wait(10)
        self.assert_nothing_left(started["run_dir"], started["prefix"], started["server_dir"], started["pids"])

    def test_a_fixture_start_removes_runs_whose_test_died(self):
        runs = wine_harness.work_root() / "runs"
        runs.mkdir(parents=True, exist_ok=True)
        finished = subprocess.Popen(["true"])
        finished.wait()
        stale_run = runs / f"stale-{finished.pid}-1"
        (stale_run / "prefix").mkdir(parents=True)
        left_behind = subprocess.Popen(["sleep", "60"], env=dict(os.environ, **{wine_harness.RUN_MARKER: str(stale_run)}))
        self.addCleanup(left_behind.kill)
        # Until it has exec'd, the child still carries this process's environment, without the marker.
        environ = Path(f"/proc/{left_behind.pid}/environ")
        deadline = time.monotonic() + 10
        while wine_harness.RUN_MARKER.encode() not in environ.read_bytes() and time.monotonic() < deadline:
            time.sleep(0.01)
        live_run = runs / f"live-{os.getpid()}-999"
        live_run.mkdir()
        self.addCleanup(lambda: live_run.rmdir())

        wine_harness.prune_stale_runs(runs)

        self.assertEqual(left_behind.wait(5), -signal.SIGKILL)
        self.assertFalse(stale_run.exists())
        self.assertTrue(live_run.exists())

if __name__ == "__main__":
    missing = [name for name in REQUIRED_BINARIES if not (windows_bin_dir() / name).is_file()]
    if missing:
        print(f"skipped: {', '.join(missing)} not in {windows_bin_dir()}; build the windows preset", file=sys.stderr)
        sys.exit(77)
    unittest.main(verbosity=2)
