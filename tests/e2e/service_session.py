"""The service under Wine, for its end-to-end test and bench/service_cycles.py: the service manager's
view through service_probe.exe, `net start|stop`, and the drivers seen from Linux.

Measured under Wine: services live only while an ordinary program runs (`service_probe.exe hold` is
one without a window); the shell explorer.exe runs only while some program has a window; a driver the
service starts shows just its command line " /service" in /proc/PID/cmdline; `net stop` returns once the
stop is sent, `service_probe.exe stop MS` waits for the stopped state as Windows' `net stop` does.
"""

import re
import time
from pathlib import Path

import wine_prefix
from wine_harness import POLL_SECONDS

SERVICE = "VelnoDriver"
# Wine's event log keeps nothing: ReportEventW names the event's identifier on a fixme line of the channel
# advapi and each of its words on a line of the channel eventlog, on the reporting program's stderr.
EVENT_LOG_DEBUG = {"WINEDEBUG": "-all,+eventlog,fixme+advapi"}
STOPPED, RUNNING = 1, 4
RUNNING_RECORD = "state=4 type=0x10 controls=5 exit=0 specific=0 checkpoint=0 hint=0"


def command_lines(wine):
    """The command lines of the live processes of the fixture's prefix, by process id."""
    lines = {}
    for pid in wine_prefix.processes_with_environment([f"WINEPREFIX={wine.prefix}"]):
        try:
            lines[pid] = Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            pass
    return lines


def driver_pids(wine):
    # While Wine's loader starts a driver, its line is "wine64 /service".
    return {pid for pid, line in command_lines(wine).items() if line.split()[-1:] == ["/service"]}


def service_manager_running(wine):
    return any("services.exe" in line.lower() for line in command_lines(wine).values())


def shell_running(wine):
    return any("explorer.exe" in line.lower() for line in command_lines(wine).values())


def logged_events(text):
    """[(identifier, [words])] of the events reported in a Wine program's stderr, under EVENT_LOG_DEBUG; the
    words as the program wrote them."""
    events, latest = [], {}
    for line in text.splitlines():
        report = re.match(r"(\w+):fixme:advapi:ReportEventW \([^,]*,[^,]*,[^,]*,(0x[0-9a-f]+),", line)
        word = re.match(r'(\w+):\w+:eventlog:ReportEventW L"(.*)"$', line)
        if report:
            events.append((int(report[2], 16), []))
            latest[report[1]] = events[-1][1]  # the words follow on lines of the same thread
        elif word and word[1] in latest:
            latest[word[1]].append(re.sub(r"\\(.)", r"\1", word[2]))  # Wine escapes '\' and '"' with '\'
    return events


def wait_until(condition, timeout, what):
    """Polls `condition` until it holds; returns the seconds it took, raises TimeoutError after `timeout`."""
    started = time.monotonic()
    while not condition():
        if time.monotonic() - started > timeout:
            raise TimeoutError(f"{what}: not after {timeout} s")
        time.sleep(POLL_SECONDS)
    return time.monotonic() - started


def probe(wine, *query):
    """service_probe.exe's line for "config", "status" or "access EVENT"; None when the service (or the
    event) does not exist."""
    program = wine.run_windows("service_probe.exe", *query, timeout=30)
    return program.output().strip() if program.popen.returncode == 0 else None


def wait_for_state(wine, state, timeout):
    return wait_until(lambda: (probe(wine, "status") or "").startswith(f"state={state} "), timeout,
                      f"the service reaching state {state}")


def net(wine, verb):
    program = wine.run_windows("net", verb, SERVICE, timeout=60)
    if program.popen.returncode != 0:
        raise RuntimeError(f"net {verb} {SERVICE} failed: {program.describe()}: {program.output()}")
    return program
