"""Opens a WineFixture with a receiver running and holds it until the process is signalled.

wine_harness_test.py starts this and kills it (SIGTERM, SIGKILL) to check what an interrupted test
leaves behind. Once the receiver is up it prints one JSON line: the run's folder, prefix, wineserver
folder and the ids of the processes the fixture started.
"""

import json
import sys
import time

from receiver import start_receiver
from wine_harness import WineFixture

with WineFixture(sys.argv[1], binaries=["receiver.exe"]) as wine:
    receiver = start_receiver(wine)
    print(json.dumps({
        "run_dir": str(wine.run_dir), "prefix": str(wine.prefix), "server_dir": str(wine.server_dir),
        "pids": [wine.xvfb.pid, wine.wineserver.pid, receiver.program.pid],
    }), flush=True)
    time.sleep(120)
