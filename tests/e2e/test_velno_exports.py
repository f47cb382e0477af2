"""Velno.dll exports exactly its 26 operations, undecorated, on x86_64 and i686, and nothing else."""

import os
import re
import subprocess
from pathlib import Path

from wine_harness import MissingWindowsBinaries, check, run_test

TABLE = Path(__file__).resolve().parents[2] / "shared_state" / "velno_operations.h"
OPERATIONS = set(re.findall(r"^  X\((\w+),", TABLE.read_text(), re.MULTILINE))
BUILDS = {"x86_64": "x86_64-w64-mingw32-objdump", "i686": "i686-w64-mingw32-objdump"}


def exported_names(objdump, dll):
    text = subprocess.run([objdump, "-p", str(dll)], check=True, capture_output=True, text=True).stdout
    table = text.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
    return [m.group(1) for m in re.finditer(r"\]\s+(\S+)", table)]


def main():
    root = Path(__file__).resolve().parents[2] / "build"
    dlls = {"x86_64": Path(os.environ.get("VELNO_WINDOWS_BIN", root / "windows" / "bin")) / "Velno.dll",
            "i686": root / "windows-i686" / "bin" / "Velno.dll"}
    missing = [str(dll) for dll in dlls.values() if not dll.is_file()]
    if missing:
        raise MissingWindowsBinaries(f"not built: {missing}")
    for arch, dll in dlls.items():
        names = exported_names(BUILDS[arch], dll)
        check(sorted(names) == sorted(OPERATIONS), f"{arch}: {sorted(set(names) ^ OPERATIONS)} differ")
        print(f"{arch}: {len(names)} exports")


if __name__ == "__main__":
    run_test(main)
