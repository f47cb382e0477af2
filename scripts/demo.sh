#!/usr/bin/env bash
# The main job: builds the driver, then runs it under Wine against the simulated board, which writes a
# word into a canvas; saves a PNG screenshot and prints where it is and a short summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in native windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs" >/dev/null
done

VELNO_WINE_WORK="$PWD/build/native/wine" python3 demo/run_demo.py "$@"
