"""Watches a test process for its WineFixture: python3 run_watchdog.py <run_dir> <test pid>

The fixture starts this with PR_SET_PDEATHSIG, so the kernel sends it SIGTERM when the test process
dies, even by SIGKILL (a CTest timeout) when no teardown runs. It then kills every process of the run
(Wine's services outlive their wineserver) and removes the run's folder. An orderly teardown kills the
watchdog first.
"""

import os
import signal
import sys
from pathlib import Path

from wine_harness import remove_run


def remove_run_and_exit(*_):
    remove_run(run_dir)
    sys.exit(0)


run_dir = Path(sys.argv[1])
signal.signal(signal.SIGTERM, remove_run_and_exit)
if os.getppid() != int(sys.argv[2]):
    remove_run_and_exit()  # the test died before the kernel was asked for the signal
while True:
    signal.pause()
