"""The fixture every Wine end-to-end test (CTest label `wine`) runs in.

    from wine_harness import WineFixture, wait_for_line, windows_path

    with WineFixture("pen_down") as wine:
        log = wine.logs / "receiver.log"
        receiver = wine.start_windows("receiver.exe", windows_path(log))
        wait_for_line(log, r"^ready ", timeout=20, program=receiver)
        wine.run_windows("inject_mouse.exe", "absolute+move+leftdown:32768:32768", timeout=10)
        wait_for_line(log, r"^lbuttondown ", timeout=5, program=receiver)

Entering gives a private X server (Xvfb on a free display), a fresh prefix copied from the build's
template (crash dialog off), a persistent wineserver, and the Windows binaries of VELNO_WINDOWS_BIN
copied into wine.bin_dir. Leaving stops every process the fixture started, also when the test failed,
raised, or got SIGTERM/SIGHUP/SIGINT, and removes the run's folder; on a failure the tails of the logs
are printed first. VELNO_WINE_KEEP=1 keeps the folder (prefix and logs) for a look afterwards.

A test script records what it verifies with check(condition, message) and runs its main() through
run_test, which ends with the counts of the checks that passed and failed, measured, and exits non-zero
when one failed, when none ran, or when the test stopped on an exception (counted as one more failure).
check(..., stop=True) ends the test at a failure that later steps depend on; check_eventually is the
check of a state the system reaches in its own time.

Helpers: start_windows/run_windows, start_native/run_native, xdotool (real X input), reg_add,
add_serial_port (SERIALCOMM), point_com_port (COMn -> a pty); receiver.py starts the receiver window
and reads its log. wine.timings has how long the template build, the start and the teardown took.

Running programs in the background and waiting for them:
  - start_windows(exe, *args) and start_native(argv) return at once with a Program. Its stdout and
    stderr go to wine.logs/<name>.out and .err, never to a pipe: a Wine child can hold a pipe open for
    ever, and a full pipe blocks the program.
  - wait_for_line(path, regex, timeout, program=p) polls the file every 10 ms and returns the first
    line matching; it raises TimeoutError (with the file's text) after `timeout` seconds, or
    ProgramExited as soon as p has ended without the line, so a crash fails in milliseconds, not at
    the timeout. To wait for a line written after some action, count the lines first
    (len(read_lines(path))) and pass that as skip=.
  - wait_until(condition, timeout, describe) polls any other condition (a state read through a
    program, a count of log lines) the same way; never sleep a fixed time before an assertion.
  - program.wait(timeout) returns the exit code; run_windows/run_native start and wait, and raise
    subprocess.TimeoutExpired (after killing the program) when it takes longer than timeout.
  - Give every wait an explicit timeout well under the test's CTest TIMEOUT, so a hang ends with a
    message rather than a kill. Leave stopping to the fixture.
  - Wine programs start in ~0.1 s with the server running, but the first one of a prefix also starts
    Wine's own services: allow seconds for the first window to become ready.
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import threading
import time
import traceback
from pathlib import Path

import wine_prefix

SOURCE_ROOT = Path(__file__).resolve().parents[2]
RUN_MARKER = "VELNO_WINE_RUN"
POLL_SECONDS = 0.01


class ProgramExited(Exception):
    """A program ended while a test was still waiting for it."""


class MissingWindowsBinaries(Exception):
    """The Windows build the test needs is not there (build the `windows` preset)."""


class CheckFailed(Exception):
    """A check with stop=True failed: the steps after it depend on what it checked."""


class CheckCounts:
    """How many checks of the running script passed and failed."""

    def __init__(self):
        self.passed = 0
        self.failed = 0


checks = CheckCounts()


def check(condition, message, stop=False):
    """One check of what the system did: counted as passed when `condition` is true, else as failed with
    `message` (what was seen) on stderr. Returns whether it passed. With stop=True a failure ends the
    test, for a check the later steps depend on."""
    if condition:
        checks.passed += 1
        return True
    checks.failed += 1
    print(f"check failed: {message}", file=sys.stderr)
    if stop:
        raise CheckFailed(message)
    return False


def run_test(main):
    """Runs a test script's main() and exits with its counts: "N passed, M failed" on stdout, exit code 1
    when a check failed, none ran, or main() raised (one more failure), else 0. A missing Windows build
    exits with 77, which CTest shows as skipped."""
    try:
        main()
    except MissingWindowsBinaries as missing:
        print(f"skipped: {missing}", file=sys.stderr)
        sys.exit(77)
    except CheckFailed:
        pass  # counted and reported by check()
    except Exception:  # a wait that timed out, a program that failed: the test stopped there
        traceback.print_exc()
        checks.failed += 1
    print(f"{checks.passed} passed, {checks.failed} failed")
    if checks.passed + checks.failed == 0:
        print("no check ran", file=sys.stderr)
    sys.exit(0 if checks.passed and not checks.failed else 1)


def windows_bin_dir():
    return Path(os.environ.get("VELNO_WINDOWS_BIN", SOURCE_ROOT / "build" / "windows" / "bin"))


def work_root():
    """Where the template prefix and the runs live: the build's folder under CTest, else /tmp."""
    return Path(os.environ.get("VELNO_WINE_WORK", f"/tmp/velno-wine-{os.getuid()}"))


def windows_path(path):
    """The name a Wine program sees for a Linux path (through drive Z:)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def read_lines(path):
    try:
        with open(path, errors="replace") as file:
            return file.read().splitlines()
    except FileNotFoundError:
        return []


def wait_for_line(path, pattern, timeout, program=None, skip=0):
    """The first line of `path` after the first `skip` lines that matches the regex `pattern`."""
    expression = re.compile(pattern)
    deadline = time.monotonic() + timeout
    while True:
        ended = program is not None and not program.running()
        for line in read_lines(path)[skip:]:
            if expression.search(line):
                return line
        if ended:
            raise ProgramExited(f"{program.describe()} ended before {path} had a line matching {pattern!r}; "
                                f"it has:\n" + "\n".join(read_lines(path)[-20:]))
        if time.monotonic() > deadline:
            raise TimeoutError(f"no line matching {pattern!r} in {path} after {timeout} s; it has:\n"
                               + "\n".join(read_lines(path)[-20:]))
        time.sleep(POLL_SECONDS)


def wait_until(condition, timeout, describe, interval=0.05):
    """Calls condition() until it returns something true, and returns that; raises TimeoutError with
    describe() (what was seen instead) after `timeout` seconds. The check, not a sleep, decides."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise TimeoutError(f"not within {timeout} s: {describe()}")
        time.sleep(interval)


def check_eventually(condition, timeout, describe, stop=False):
    """A check of a state the system reaches in its own time: polls condition() as wait_until does, and
    counts as passed once it returns something true (which it returns), as failed with describe() after
    `timeout` seconds (then it returns None, or with stop=True ends the test)."""
    try:
        result = wait_until(condition, timeout, describe)
    except TimeoutError as timeout_error:
        check(False, str(timeout_error), stop=stop)
        return None
    check(True, "")
    return result


class Program:
    """A process the fixture started in its own process group, its output going to two files."""

    def __init__(self, name, argv, popen, stdout_path, stderr_path):
        self.name = name
        self.argv = argv
        self.popen = popen
        self.stdout_path = stdout_path
        self.stderr_path = stderr_path

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        return self.popen.wait(timeout)

    def output(self):
        return self.stdout_path.read_text(errors="replace")

    def describe(self):
        state = "running" if self.running() else f"exit code {self.popen.returncode}"
        return f"{self.name} ({' '.join(map(str, self.argv))}; {state}; output in {self.stdout_path})"

    def stop(self):
        stop_process_group(self.popen)


def stop_process_group(popen, grace_seconds=1.0):
    """SIGTERM to the process group of `popen` (started with start_new_session), SIGKILL after the grace
    period; waits for the process so that no zombie is left."""
    for sig, wait_seconds in ((signal.SIGTERM, grace_seconds), (signal.SIGKILL, 5.0)):
        try:
            os.killpg(popen.pid, sig)
        except ProcessLookupError:
            pass
        try:
            popen.wait(wait_seconds)
            return
        except subprocess.TimeoutExpired:
            continue


def processes_of_run(run_dir, prefix):
    """Live processes a run started, found by the environment they carry."""
    return wine_prefix.processes_with_environment([f"{RUN_MARKER}={run_dir}", f"WINEPREFIX={prefix}"])


def kill_processes_of_run(run_dir, prefix):
    wine_prefix.kill_processes_with_environment([f"{RUN_MARKER}={run_dir}", f"WINEPREFIX={prefix}"])


def remove_run(run_dir):
    """Kills what is left of a run whose test process is gone, and removes its folder."""
    prefix = run_dir / "prefix"
    kill_processes_of_run(run_dir, prefix)
    if prefix.is_dir():
        wine_prefix.remove_server_dir(prefix)
    shutil.rmtree(run_dir, ignore_errors=True)


def owner_alive(run_dir):
    """Whether the test process that made the run (its id is in the folder's name) still lives. The
    name, unlike a file written into the folder, exists from the folder's first moment."""
    try:
        os.kill(int(run_dir.name.rsplit("-", 2)[1]), 0)
        return True
    except PermissionError:
        return True
    except (OSError, ValueError, IndexError):
        return False


def prune_stale_runs(runs_dir):
    """Removes runs whose test process died without its teardown (SIGKILL), with their processes."""
    if not runs_dir.is_dir():
        return
    for run_dir in runs_dir.iterdir():
        if not (run_dir / "kept").exists() and not owner_alive(run_dir):
            remove_run(run_dir)


PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def terminate_with_parent():
    """Runs in the child before exec: the kernel sends it SIGTERM when the thread that started it ends."""
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def start_watchdog(run_dir):
    """run_watchdog.py beside the test: if the test process dies without its teardown (SIGKILL, a CTest
    timeout), it removes the run. The kernel's signal follows the thread that started the watchdog, so
    only a fixture of the main thread, which lives as long as the test, gets one."""
    if threading.current_thread() is not threading.main_thread():
        return None
    return subprocess.Popen([sys.executable, str(Path(__file__).with_name("run_watchdog.py")), str(run_dir),
                             str(os.getpid())], stdin=subprocess.DEVNULL, preexec_fn=terminate_with_parent)


def exit_on_signal(signum, _frame):
    # An exception, so that every `with` and `finally` between here and the top runs its cleanup.
    raise SystemExit(128 + signum)


class WineFixture:
    """Xvfb + a fresh Wine prefix + its wineserver for one test; see the module's docstring."""

    SIGNALS = (signal.SIGTERM, signal.SIGHUP)
    _runs_started = 0

    def __init__(self, name, screen=(1280, 1024), binaries=None, second_monitor=None, second_size=None):
        """`binaries`: names of the Windows files the test needs; None copies every .exe and .dll.
        `second_monitor`: "right-of", "left-of", "above" or "below" gives a second monitor there (of the
        primary's size, or `second_size`), from Xorg with the dummy driver instead of Xvfb (which has one
        monitor only); Wine sees it as DISPLAY2."""
        self.name = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        self.screen = screen
        self.second_monitor = second_monitor
        self.second_size = second_size or screen
        self.binaries = binaries
        self.programs = []
        self.timings = {}
        self.watchdog = None
        self.xvfb = None
        self.wineserver = None
        self.display = None
        self.env = None
        self.server_dir = None
        self._previous_handlers = {}
        self._closed = False
        self._failed_checks_before = 0
        WineFixture._runs_started += 1
        root = work_root()
        self.run_dir = root / "runs" / f"{self.name}-{os.getpid()}-{WineFixture._runs_started}"
        self.prefix = self.run_dir / "prefix"
        self.bin_dir = self.run_dir / "bin"
        self.logs = self.run_dir / "logs"

    # ---- lifetime -------------------------------------------------------------------------------

    def __enter__(self):
        self._failed_checks_before = checks.failed
        self._install_signal_handlers()
        try:
            self._start()
        except BaseException:
            self.close(failed=True)
            raise
        return self

    def __exit__(self, exc_type, _exc, _traceback):
        self.close(failed=exc_type is not None or checks.failed > self._failed_checks_before)
        return False

    def _start(self):
        started = time.monotonic()
        root = work_root()
        prune_stale_runs(root / "runs")
        template, self.timings["template_build_s"] = wine_prefix.ensure_template(root)
        self.logs.mkdir(parents=True)
        self.watchdog = start_watchdog(self.run_dir)
        self._copy_windows_binaries()
        cloned = time.monotonic()
        wine_prefix.clone_prefix(template, self.prefix)
        self.timings["prefix_copy_s"] = time.monotonic() - cloned

        display_read, display_write = os.pipe()
        try:
            self.xvfb = self._popen(
                self._dummy_xorg_argv(display_write) if self.second_monitor else
                ["Xvfb", "-displayfd", str(display_write), "-screen", "0", f"{self.screen[0]}x{self.screen[1]}x24",
                 "-nolisten", "tcp", "-noreset"], "xvfb", self._marked_environment(), pass_fds=(display_write,))
            os.close(display_write)
            display_write = None
            self.env = self._marked_environment(wine_prefix.wine_environment(self.prefix))
            # -f: the server stays our child, so it is ours to wait for and, if need be, to kill.
            self.wineserver = self._popen(["wineserver", "-p", "-f"], "wineserver", self.env, quiet=True)
            self.display = ":" + self._read_display_number(display_read, timeout=10)
        finally:
            os.close(display_read)
            if display_write is not None:
                os.close(display_write)
        self.env["DISPLAY"] = self.display
        if self.second_monitor:
            self._place_second_monitor()
        self.server_dir = self._wait_for_server_socket(timeout=10)
        self.timings["fixture_start_s"] = time.monotonic() - started - self.timings["template_build_s"]

    def close(self, failed=False):
        """Stops everything the fixture started and removes its folder. Safe to call twice."""
        if self._closed:
            return
        self._closed = True
        started = time.monotonic()
        for sig in (*self.SIGNALS, signal.SIGINT):
            if threading.current_thread() is threading.main_thread():
                self._previous_handlers.setdefault(sig, signal.getsignal(sig))
                signal.signal(sig, signal.SIG_IGN)  # a second Ctrl-C must not cut the cleanup short
        try:
            if failed:
                self._print_log_tails()
            keep = os.environ.get("VELNO_WINE_KEEP") == "1"
            self._stop_processes(keep)
            self._remove_run_dir(keep)
        finally:
            for sig, handler in self._previous_handlers.items():
                signal.signal(sig, handler)
            self._previous_handlers.clear()
            self.timings["teardown_s"] = time.monotonic() - started

    def _stop_processes(self, keep):
        if self.watchdog is not None:
            self.watchdog.kill()
            self.watchdog.wait()
        if keep and self.wineserver is not None:
            # An orderly stop writes the registry into the kept prefix (~0.8 s).
            try:
                subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
            except subprocess.TimeoutExpired:
                pass
        # Otherwise nothing needs saving: everything goes by SIGKILL.
        kill_processes_of_run(self.run_dir, self.prefix)
        for popen in [self.wineserver, self.xvfb, *(program.popen for program in self.programs)]:
            if popen is not None:
                stop_process_group(popen)  # kills what is left in its group, and reaps it
        if self.prefix.is_dir():
            wine_prefix.remove_server_dir(self.prefix)

    def _remove_run_dir(self, keep):
        if keep:
            (self.run_dir / "kept").touch()
            print(f"wine fixture: kept {self.run_dir}", file=sys.stderr)
        else:
            shutil.rmtree(self.run_dir, ignore_errors=True)

    def _install_signal_handlers(self):
        if threading.current_thread() is not threading.main_thread():
            return
        for sig in self.SIGNALS:
            self._previous_handlers[sig] = signal.signal(sig, exit_on_signal)

    def _print_log_tails(self, lines=40):
        if not self.logs.is_dir():
            return
        for path in sorted(self.logs.iterdir()):
            text = read_lines(path)
            if text:
                print(f"----- {path.name} (last {min(lines, len(text))} of {len(text)} lines)", file=sys.stderr)
                print("\n".join(text[-lines:]), file=sys.stderr)

    # ---- helpers for the tests --------------------------------------------------------------------

    def start_windows(self, exe, *args, name=None, env=None):
        """Starts a Windows program in the background: `exe` is a file of bin_dir, a path, or a Wine
        program such as "reg"; the arguments go to it unchanged (use windows_path for paths). `env`
        adds or overrides environment variables (e.g. {"LANG": "zh_CN.UTF-8"})."""
        located = self.bin_dir / exe
        argv = ["wine64", str(located if located.exists() else exe), *map(str, args)]
        return self._start_program(argv, name or Path(exe).stem, dict(self.env, **(env or {})), cwd=self.bin_dir)

    def run_windows(self, exe, *args, timeout=30, name=None, env=None):
        """Runs a Windows program to its end; returns the finished Program (exit code in .popen)."""
        return self._finish(self.start_windows(exe, *args, name=name, env=env), timeout)

    def start_native(self, argv, name=None, env=None):
        """Starts a Linux program in the background, with DISPLAY and WINEPREFIX of the fixture."""
        return self._start_program(list(map(str, argv)), name or Path(str(argv[0])).name,
                                   dict(self.env, **(env or {})), cwd=self.run_dir)

    def run_native(self, argv, timeout=30, name=None, env=None):
        return self._finish(self.start_native(argv, name=name, env=env), timeout)

    def xdotool(self, *args, timeout=10):
        """Real X input (xdotool key Escape, mousemove X Y click 1) on the fixture's display."""
        program = self.run_native(["xdotool", *args], timeout=timeout)
        if program.popen.returncode != 0:
            raise RuntimeError(f"xdotool failed: {program.describe()}")
        return program

    def reg_add(self, key, value_name, value_type, data, timeout=30):
        """`reg add KEY /v VALUE /t TYPE /d DATA /f` in the prefix; raises when reg fails."""
        # Non-ASCII data survives only in a UTF-8 locale.
        program = self.run_windows("reg", "add", key, "/v", value_name, "/t", value_type, "/d", str(data), "/f",
                                   timeout=timeout, env={"LC_ALL": "C.UTF-8"})
        if program.popen.returncode != 0:
            raise RuntimeError(f"reg add failed: {program.describe()}")

    def add_serial_port(self, device, com_name):
        """Lists a COM port under HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM, where programs enumerate
        serial ports; the key is volatile, so this lasts as long as the fixture's wineserver."""
        self.reg_add(r"HKLM\HARDWARE\DEVICEMAP\SERIALCOMM", device, "REG_SZ", com_name)

    def point_com_port(self, com_name, target):
        """Makes COMn of the prefix open `target` (e.g. a pseudo-terminal's /dev/pts/N). The link is
        replaced by a rename, so a program never finds the name missing; it takes effect at once."""
        link = self.prefix / "dosdevices" / com_name.lower()
        temporary = link.with_name(f".{link.name}.{os.getpid()}")
        temporary.unlink(missing_ok=True)
        os.symlink(target, temporary)
        os.replace(temporary, link)

    # ---- internals --------------------------------------------------------------------------------

    def _marked_environment(self, base=None):
        return dict(base if base is not None else os.environ, **{RUN_MARKER: str(self.run_dir)})

    def _popen(self, argv, name, env, quiet=False, pass_fds=()):
        log = subprocess.DEVNULL if quiet else open(self.logs / f"{name}.log", "w")
        try:
            return subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                    start_new_session=True, pass_fds=pass_fds)
        finally:
            if not quiet:
                log.close()

    def _start_program(self, argv, name, env, cwd):
        taken = {program.name for program in self.programs}
        unique, number = name, 1
        while unique in taken:
            number += 1
            unique = f"{name}-{number}"
        stdout_path = self.logs / f"{unique}.out"
        stderr_path = self.logs / f"{unique}.err"
        with open(stdout_path, "w") as stdout, open(stderr_path, "w") as stderr:
            popen = subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=stdout,
                                     stderr=stderr, start_new_session=True)
        program = Program(unique, argv, popen, stdout_path, stderr_path)
        self.programs.append(program)
        return program

    @staticmethod
    def _finish(program, timeout):
        try:
            program.wait(timeout)
        except subprocess.TimeoutExpired:
            program.stop()
            raise
        return program

    def _copy_windows_binaries(self):
        source = windows_bin_dir()
        names = self.binaries
        if names is None:
            names = sorted(p.name for p in source.glob("*") if p.suffix.lower() in (".exe", ".dll"))
        missing = [name for name in names if not (source / name).is_file()]
        if missing or not names:
            raise MissingWindowsBinaries(f"missing in {source}: {', '.join(missing) or '*.exe'}; "
                                         "build them with: cmake --preset windows && cmake --build --preset windows")
        self.bin_dir.mkdir()
        for name in names:
            shutil.copy2(source / name, self.bin_dir / name)

    def _dummy_xorg_argv(self, display_fd):
        # Room for the second monitor beside or under the primary one at any size a test sets later.
        width, height = self.screen
        side = max(width, height, *self.second_size)
        virtual = (width + side, side) if self.second_monitor in ("right-of", "left-of") else (side, height + side)
        config = self.run_dir / "xorg.conf"
        config.write_text(
            'Section "Device"\n  Identifier "dummy"\n  Driver "dummy"\n  VideoRam 65536\nEndSection\n'
            'Section "Monitor"\n  Identifier "monitor"\n  HorizSync 5.0 - 1000.0\n  VertRefresh 5.0 - 200.0\n'
            'EndSection\n'
            'Section "Screen"\n  Identifier "screen"\n  Device "dummy"\n  Monitor "monitor"\n  DefaultDepth 24\n'
            f'  SubSection "Display"\n    Depth 24\n    Virtual {virtual[0]} {virtual[1]}\n  EndSubSection\n'
            'EndSection\n')
        return ["Xorg", "-config", str(config), "-displayfd", str(display_fd), "-noreset", "-nolisten", "tcp",
                "-logfile", str(self.logs / "xorg-server.log")]

    def _place_second_monitor(self):
        """The primary output of the dummy driver at the fixture's size, the second one beside, above or
        below it at its own size."""
        mode = f"{self.screen[0]}x{self.screen[1]}"
        subprocess.run(["xrandr", "--output", "DUMMY0", "--mode", mode, "--primary"], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        self.set_second_monitor_size(self.second_size)

    def set_second_monitor_size(self, size):
        """Gives the second monitor another resolution (xrandr), kept on its side of the primary one."""
        mode = f"{size[0]}x{size[1]}"
        for argv in (["xrandr", "--addmode", "DUMMY1", mode],
                     ["xrandr", "--output", "DUMMY1", "--mode", mode, f"--{self.second_monitor}", "DUMMY0"]):
            subprocess.run(argv, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=10)
        layout = subprocess.run(["xrandr"], env=self.env, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                timeout=10).stdout
        if not re.search(rf"^DUMMY1 connected {mode}\+", layout, re.MULTILINE):
            raise RuntimeError(f"the second monitor is not up at {mode}:\n{layout}")

    def _read_display_number(self, fd, timeout):
        received = b""
        deadline = time.monotonic() + timeout
        while not received.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                raise TimeoutError(f"Xvfb gave no display number in {timeout} s (see {self.logs}/xvfb.log)")
            chunk = os.read(fd, 64)
            if not chunk:
                raise RuntimeError(f"Xvfb ended at start: {read_lines(self.logs / 'xvfb.log')}")
            received += chunk
        return received.decode().strip()

    def _wait_for_server_socket(self, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            folder = wine_prefix.server_dir(self.prefix)
            if (folder / "socket").exists():
                return folder
            if self.wineserver.poll() is not None:
                raise RuntimeError(f"wineserver ended at start with code {self.wineserver.returncode}")
            time.sleep(POLL_SECONDS / 2)
        raise TimeoutError(f"wineserver of {self.prefix} not listening after {timeout} s")
