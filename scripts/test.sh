#!/usr/bin/env bash
# Builds Veltrano and runs every test: the normal build (unit, scenario and desktop smoke
# tests), then the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the Windows program (MinGW-w64 cross build) with its tests under Wine, and last the
# fuzz targets (clang, libFuzzer), each fuzzed for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --test
jobs=$(nproc)
for preset in default asan windows fuzz; do
  echo "== $preset =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
