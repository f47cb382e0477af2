#!/usr/bin/env bash
# The main job: builds the driver and the calibration tool, then runs them under Wine against the
# simulated board: the tool calibrates the keystone-distorted board (a PNG of its target window is
# saved) and checks it with five crosses (a PNG of the result screen is saved), then the board writes a
# word into a canvas through that calibration; saves a PNG screenshot and prints where they are and a
# short summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in native windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs" >/dev/null
done

VELNO_WINE_WORK="$PWD/build/native/wine" python3 demo/run_demo.py "$@"
