#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset for the given seconds each (default 20), one after the
# other, each growing its own corpus under build/fuzz/corpus/. Fails on the first target that finds a
# crash or a broken invariant; the input that did it is left as build/fuzz/crash-*.
#   scripts/fuzz.sh          the short run of the test command
#   scripts/fuzz.sh 3600     a long run: an hour per target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

cd build/fuzz
for target in bin/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "corpus/$name"
  echo "fuzzing $name for ${seconds} s"
  "./$target" -max_total_time="$seconds" -print_final_stats=1 "corpus/$name" >"$name.log" 2>&1 || {
    tail -n 40 "$name.log" >&2
    exit 1
  }
  grep -E '^#[0-9]+[[:space:]]+DONE' "$name.log" || true
done
