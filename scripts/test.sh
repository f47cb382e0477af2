#!/usr/bin/env bash
# Builds every target (native, native with sanitizers, Windows x86_64, Windows i686) and runs all
# tests: the unit tests under the sanitizers, then unit and Wine end-to-end tests on the native build,
# then a short fuzz run and the threaded unit tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in native native-asan windows windows-i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

ctest --test-dir build/native-asan -L unit --output-on-failure -j"$jobs"
ctest --test-dir build/native --output-on-failure

# A short run of each fuzz target (about 20 s each), and the unit tests that start threads under
# ThreadSanitizer.
scripts/fuzz.sh 20
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs" --target velno_unit_tests
ctest --test-dir build/tsan -R '^(ReaderThreads|BoardSimLink|BoardSimScriptPlayer)\.' --output-on-failure
