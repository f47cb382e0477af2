"""The pen driver at work under Wine, for the end-to-end tests of its buttons, gestures and
press-and-hold: the receiver window has the focus, the board simulator plays a script on COM5 (listed
as a CP210x port), and VelnoDriver.exe runs as the user-session driver ("/service") from the fixture's
bin folder, where its config.ini and the automation stand-in live.

    with WineFixture("buttons") as wine:
        session = PenDriverSession(wine)
        session.install_automation_standin()
        session.start(["press 5", "pause 100", "release 5"])
        session.wait_for_script(timeout=40)
"""

import os
import re
import shutil
import time
from pathlib import Path

from receiver import KEY_KINDS, read_log, start_receiver
from wine_harness import SOURCE_ROOT, read_lines, wait_for_line, wait_until

AUTOMATION_EXE = "LightboxEducation.Easiteach.Automation.exe"
SETTINGS_SECTION = "Adjust-\u4f43M"
VK_NAMES = {0x10: "Shift", 0x11: "Ctrl", 0x21: "PageUp", 0x44: "D", 0x5B: "LWin", 0x85: "F22", 0x86: "F23",
            0x87: "F24"}


# The icon's menu commands (MenuCommand), by name.
MENU = {name: int(number) for name, number in
        re.findall(r"^  (\w+) = (\d+),$", (SOURCE_ROOT / "driver/core/tray/icon_menu.h").read_text(), re.M)}
# Wine's notification area is explorer.exe: given to the receiver, which starts it, these print each icon's
# tooltip as it is added ("add text"), each notification's text and the flags of every change (0x10: one).
TRAY_DEBUG = {"WINEDEBUG": "+tooltips,+systray"}


def icon_window(wine, what, command=None, timeout=20):
    """What Windows sends to the driver's icon window: "open-menu", "taskbar-created" or "command" NAME;
    waits for a driver that is starting to have made its window."""
    def posted():
        program = wine.run_windows("icon_window.exe", what, *([MENU[command]] if command else []), timeout=20)
        return program.popen.returncode == 0
    wait_until(posted, timeout, lambda: f"no driver window to post {what} {command or ''} to")


def tray_trace(wine, pattern):
    """The matches of `pattern` in what explorer.exe printed (into the receiver's standard error)."""
    return re.findall(pattern, "\n".join(read_lines(wine.logs / "receiver.err")))


def board_sim_path():
    return Path(os.environ.get("VELNO_BOARD_SIM", SOURCE_ROOT / "build" / "native" / "bin" / "board-sim"))


def write_settings(path, values):
    """config.ini as the calibration tool leaves it: UTF-16LE with a byte-order mark, one section."""
    lines = [f"[{SETTINGS_SECTION}]"] + [f"{key}={value}" for key, value in values.items()]
    path.write_bytes(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def read_settings(path):
    """The keys of config.ini's section as a dict of strings (the file is UTF-16LE with a BOM)."""
    text = path.read_bytes().decode("utf-16")
    values = {}
    in_section = False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            in_section = line == f"[{SETTINGS_SECTION}]"
        elif in_section and "=" in line:
            key, _, value = line.partition("=")
            values[key.strip()] = value.strip()
    return values


def hold_until(wine, name, timeout_ms=60000):
    """A script line that holds the board where it is until the test calls go_ahead(wine, name)."""
    return f"wait-file {wine.run_dir / (name + '.go')} {timeout_ms}"


def go_ahead(wine, name):
    (wine.run_dir / (name + ".go")).touch()


def key_sequence(events):
    """The receiver's key messages as (kind, key name or hex) pairs, in order."""
    return [(event.kind, VK_NAMES.get(event.vk, hex(event.vk))) for event in events if event.kind in KEY_KINDS]


def start_board_sim(wine, script_lines, name="board", com="COM5", device="\\Device\\silabser0", options=()):
    """A simulated board on `com`, listed under `device` as a CP210x port, playing the script; returns
    its Program once the port is linked and registered. Its log is wine.logs/<name>.log."""
    script = wine.run_dir / f"{name}.script"
    script.write_text("\n".join(script_lines) + "\n")
    ready = wine.run_dir / f"{name}.ready"
    board = wine.start_native(
        [board_sim_path(), "--prefix", wine.prefix, "--com", com, "--device-name", device, "--register", "--script",
         script, "--log", wine.logs / f"{name}.log", "--ready-file", ready, *options], name=f"{name}-sim")
    deadline = time.monotonic() + 20
    while not ready.exists():
        if not board.running() or time.monotonic() > deadline:
            raise RuntimeError(f"the board simulator did not get ready: {board.describe()}")
        time.sleep(0.01)
    return board


class PenDriverSession:
    def __init__(self, wine):
        self.wine = wine
        self.board_log = wine.logs / "board.log"
        self.automation_log = wine.bin_dir / "automation.log"
        self.settings = wine.bin_dir / "config.ini"
        self.receiver = None
        self.board = None
        self.driver = None

    def install_automation_standin(self):
        shutil.copy2(self.wine.bin_dir / "automation_standin.exe", self.wine.bin_dir / AUTOMATION_EXE)

    def start(self, script_lines, handshake_timeout_ms=20000, receiver_env=None, driver_env=None):
        """Receiver, board and driver; the script starts once the driver has found the board."""
        self.receiver = start_receiver(self.wine, timeout=30, env=receiver_env)
        self.board = self.start_board([f"wait-handshake {handshake_timeout_ms}", "pause 300", *script_lines,
                                       "pause 300"])
        self.driver = self.start_driver(driver_env)

    def start_board(self, script_lines, name="board", com="COM5", device="\\Device\\silabser0", options=()):
        return start_board_sim(self.wine, script_lines, name, com, device, options)

    def start_driver(self, env=None):
        return self.wine.start_windows("VelnoDriver.exe", "/service", name="driver", env=env)

    def wait_for_script(self, timeout):
        code = self.board.wait(timeout)
        if code != 0:
            raise RuntimeError(f"the board simulator failed with {code}: {self.board.describe()}")

    def receiver_events(self):
        return read_log(self.receiver.log_path)

    def wait_for_receiver(self, pattern, timeout, skip=0):
        return wait_for_line(self.receiver.log_path, pattern, timeout=timeout, program=self.receiver.program,
                             skip=skip)

    def wait_for_releases(self, count, timeout):
        """The receiver's records once it has seen `count` left releases: every pointer and key event a
        stroke causes comes before its release."""
        def released():
            events = self.receiver_events()
            return events if sum(e.kind == "lbuttonup" for e in events) >= count else None
        return wait_until(released, timeout, lambda: f"fewer than {count} left releases at the receiver")

    def board_marks(self):
        """The board log's `mark` lines and its end, as {text: CLOCK_MONOTONIC microseconds}."""
        marks = {}
        for line in read_lines(self.board_log):
            stamp, _, rest = line.partition(" ")
            if rest.startswith("event mark "):
                marks[rest[len("event mark "):]] = int(stamp)
            elif rest == "event end":
                marks["end"] = int(stamp)
        return marks

    def wait_for_mark(self, text, timeout):
        """Waits until the board has played `mark text` (or, for "handshake", seen the driver's 0xEE)."""
        pattern = r" event handshake" if text == "handshake" else rf" event mark {text}$"
        wait_for_line(self.board_log, pattern, timeout=timeout, program=self.board)

    def automation_commands(self):
        return read_lines(self.automation_log)

    def wait_for_automation_commands(self, count, timeout):
        """The command lines the stand-in logged, once there are `count` (or the timeout passed)."""
        deadline = time.monotonic() + timeout
        while len(self.automation_commands()) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.automation_commands()
