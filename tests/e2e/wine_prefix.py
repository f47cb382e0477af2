"""Wine prefixes for the end-to-end tests: one template per build, a cheap copy per test.

`wine64 wineboot -i` takes 5-9 s and writes ~700 MB, nearly all of it DLLs and programs that Wine only
reads. The template is built once (under a lock, so parallel tests wait for one build instead of racing)
and each test gets a copy in which those binaries are hard links and everything Wine writes to (the
registry files, win.ini, ...) is a real copy: ~2 MB and a few tens of milliseconds. A test must therefore
never modify a DLL or program inside its prefix in place.
"""

import fcntl
import os
import shutil
import signal
import subprocess
import time
from contextlib import contextmanager
from pathlib import Path

WINE_BIN_DIR = Path("/usr/lib/wine")
WINE_INF = Path("/usr/share/wine/wine.inf")

# Bump when the recipe below changes: templates with another stamp are rebuilt.
TEMPLATE_RECIPE = 1

# Files Wine only reads once the prefix exists: shared with the template through hard links.
READ_ONLY_SUFFIXES = {
    ".dll", ".exe", ".sys", ".drv", ".nls", ".ocx", ".cpl", ".acm", ".tlb", ".ds", ".com", ".ax",
    ".msstyles", ".icm",
}

# Debian's Wine names the server's folder under /tmp in this file of the prefix; a copy must get its own.
SERVER_DIR_NAME_FILE = "wineserver"
STAMP_FILE = ".velno-template-stamp"


def wine_environment(prefix):
    """The environment every Wine command of a prefix runs with; no display (the fixture adds its own)."""
    env = dict(os.environ)
    env["PATH"] = f"{WINE_BIN_DIR}:{env.get('PATH', '/usr/bin:/bin')}"
    env["WINEPREFIX"] = str(prefix)
    env["WINEDEBUG"] = "-all"
    # No Mono or Gecko installer dialog may ever wait for a click; winemenubuilder would write menu
    # entries into the user's home.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    env.pop("DISPLAY", None)
    return env


def server_dir(prefix):
    """The folder of the prefix's wineserver; its socket is `socket` inside once the server listens.

    The folder is named after the prefix folder's device and inode numbers. Debian's Wine puts it in a
    random folder under /tmp whose name the server writes into the prefix when it first starts."""
    prefix = Path(prefix)
    info = os.stat(prefix)
    leaf = f"server-{info.st_dev:x}-{info.st_ino:x}"
    name_file = prefix / SERVER_DIR_NAME_FILE
    if name_file.exists():
        return Path("/tmp") / name_file.read_text().strip() / leaf
    return Path(f"/tmp/.wine-{os.getuid()}") / leaf


def processes_with_environment(entries):
    """Ids of the live processes (zombies excluded) whose environment holds one of `entries`
    ("NAME=value" strings), other than this one."""
    wanted = {entry.encode() for entry in entries}
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit() or int(entry.name) == os.getpid():
            continue
        try:
            environment = (entry / "environ").read_bytes().split(b"\0")
            state = (entry / "stat").read_text().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if state != "Z" and wanted.intersection(environment):
            found.append(int(entry.name))
    return found


def kill_processes_with_environment(entries):
    """SIGKILLs them all, sweeping again until none is left: one may have been starting a child (Wine's
    services do not die with their wineserver, and a Wine program starts its own server when none runs)."""
    for _ in range(100):
        pids = processes_with_environment(entries)
        if not pids:
            return
        for pid in pids:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        time.sleep(0.01)


def template_stamp():
    version = subprocess.run(
        [str(WINE_BIN_DIR / "wine64"), "--version"], capture_output=True, text=True, check=True
    ).stdout.strip()
    return f"recipe={TEMPLATE_RECIPE} wine={version} wine.inf={int(WINE_INF.stat().st_mtime)}\n"


@contextmanager
def locked(lock_path, mode):
    with open(lock_path, "a+") as lock:
        fcntl.flock(lock, mode)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


def run_logged(argv, env, log_path, timeout):
    with open(log_path, "a") as log:
        subprocess.run(argv, env=env, stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                       timeout=timeout, check=True)


def build_template(target, log_path):
    """wineboot into `target`, the crash dialog off, the server stopped so the registry is on disk."""
    target.mkdir(parents=True)
    env = wine_environment(target)
    try:
        run_logged(["wine64", "wineboot", "-i"], env, log_path, timeout=120)
        run_logged(["wine64", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                    "/t", "REG_DWORD", "/d", "0", "/f"], env, log_path, timeout=60)
    finally:
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL, timeout=30)
        subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL, timeout=30)
        kill_processes_with_environment([f"WINEPREFIX={target}"])
        remove_server_dir(target)
    if '"ShowCrashDialog"=dword:00000000' not in (target / "user.reg").read_text(errors="replace"):
        raise RuntimeError(f"the template prefix {target} did not keep ShowCrashDialog; see {log_path}")
    (target / SERVER_DIR_NAME_FILE).unlink(missing_ok=True)


def ensure_template(work_root):
    """The template prefix under work_root, built first if missing or made by another Wine or recipe.
    Returns (path, seconds spent building, 0 when it already existed)."""
    work_root = Path(work_root)
    work_root.mkdir(parents=True, exist_ok=True)
    template = work_root / "template-prefix"
    stamp = template_stamp()
    with locked(work_root / "template.lock", fcntl.LOCK_EX):
        stamp_path = template / STAMP_FILE
        if stamp_path.exists() and stamp_path.read_text() == stamp:
            return template, 0.0
        started = time.monotonic()
        building = work_root / f"template-prefix.building-{os.getpid()}"
        shutil.rmtree(building, ignore_errors=True)
        try:
            build_template(building, work_root / "template-build.log")
            (building / STAMP_FILE).write_text(stamp)
            if template.exists():
                stale = work_root / f"template-prefix.stale-{os.getpid()}"
                template.rename(stale)
                shutil.rmtree(stale, ignore_errors=True)
            building.rename(template)
        finally:
            shutil.rmtree(building, ignore_errors=True)
        return template, time.monotonic() - started


def clone_prefix(template, target):
    """A fresh prefix at `target`: hard links to the template's read-only binaries, copies of the rest."""
    work_root = template.parent
    with locked(work_root / "template.lock", fcntl.LOCK_SH):
        for source_dir, dir_names, file_names in os.walk(template):
            relative = Path(source_dir).relative_to(template)
            destination = target / relative
            destination.mkdir(parents=True, exist_ok=True)
            for name in dir_names + file_names:
                source = Path(source_dir) / name
                if source.is_symlink():
                    os.symlink(os.readlink(source), destination / name)
                    if name in dir_names:
                        dir_names.remove(name)  # the link is the copy; os.walk does not enter links
            for name in file_names:
                source = Path(source_dir) / name
                if source.is_symlink() or name in (STAMP_FILE, SERVER_DIR_NAME_FILE):
                    continue
                if source.suffix.lower() in READ_ONLY_SUFFIXES:
                    try:
                        os.link(source, destination / name)
                        continue
                    except OSError:
                        pass  # another file system: fall back to a copy
                shutil.copy2(source, destination / name)


def remove_server_dir(prefix):
    """Removes the folder the prefix's (stopped) wineserver left under /tmp."""
    folder = server_dir(prefix)
    shutil.rmtree(folder, ignore_errors=True)
    if folder.parent.name.startswith("wine-"):
        try:
            folder.parent.rmdir()  # Debian's per-prefix parent, only when nothing else is in it
        except OSError:
            pass
