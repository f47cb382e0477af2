"""The service under Wine, for its end-to-end test and the start/stop figures: the service manager's
view through service_probe.exe, `net start` / `net stop`, and the driver processes seen from Linux.

Facts these helpers rest on (measured, see WINE.md "Services"): Wine keeps its services only while an
ordinary program runs (`hold` keeps one, windowless, so no shell appears on its account); the shell
explorer.exe runs only while some program has a window; a process that the service starts with the
command line " /service" shows that line, and nothing else, in /proc/PID/cmdline; Wine's `net stop`
returns as soon as the stop is sent, while `service_probe.exe stop MS` waits for the stopped state as
Windows' `net stop` does.
"""

import time
from pathlib import Path

import wine_prefix
from wine_harness import POLL_SECONDS

SERVICE = "VelnoDriver"
STOPPED, STOP_PENDING, RUNNING = 1, 3, 4
# The status record the service reports while it runs.
RUNNING_RECORD = {"state": RUNNING, "type": 0x10, "controls": 5, "exit": 0, "specific": 0, "checkpoint": 0, "hint": 0}


def command_lines(wine):
    """{pid: command line} of the live processes of the fixture's prefix."""
    lines = {}
    for pid in wine_prefix.processes_with_environment([f"WINEPREFIX={wine.prefix}"]):
        try:
            raw = Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            continue
        lines[pid] = raw.replace(b"\0", b" ").decode(errors="replace").strip()
    return lines


def driver_pids(wine):
    """The user-session drivers: processes started with the command line " /service" (while Wine's
    loader starts one, its line is "wine64 /service")."""
    return {pid for pid, line in command_lines(wine).items() if line.split()[-1:] == ["/service"]}


def shell_running(wine):
    return any("explorer.exe" in line.lower() for line in command_lines(wine).values())


def wait_until(condition, timeout, what):
    """Polls `condition` until it holds; returns the seconds it took, raises TimeoutError after `timeout`."""
    started = time.monotonic()
    while not condition():
        if time.monotonic() - started > timeout:
            raise TimeoutError(f"{what}: not after {timeout} s")
        time.sleep(POLL_SECONDS)
    return time.monotonic() - started


def parse_fields(line):
    fields = {}
    for pair in line.split():
        key, _, value = pair.partition("=")
        fields[key] = int(value, 0) if value[:1].isdigit() else value
    return fields


def service_status(wine):
    """The last status record the service reported, as a dict; None when the service is not installed."""
    probe = wine.run_windows("service_probe.exe", "status", timeout=30)
    return parse_fields(probe.output()) if probe.popen.returncode == 0 else None


def service_config(wine):
    """(type, start, error, account, binary path) as stored; None when the service is not installed."""
    probe = wine.run_windows("service_probe.exe", "config", timeout=30)
    if probe.popen.returncode != 0:
        return None
    text = probe.output().strip()
    head, _, path = text.partition(" path=[")
    fields = parse_fields(head)
    return fields["type"], fields["start"], fields["error"], fields["account"], path[:-1]


def wait_for_state(wine, state, timeout):
    return wait_until(lambda: (service_status(wine) or {}).get("state") == state, timeout,
                      f"the service reaching state {state}")


def net(wine, verb):
    """`net start|stop VelnoDriver`; raises when net fails."""
    program = wine.run_windows("net", verb, SERVICE, timeout=60)
    if program.popen.returncode != 0:
        raise RuntimeError(f"net {verb} {SERVICE} failed: {program.describe()}: {program.output()}")
    return program
