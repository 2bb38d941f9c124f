#!/usr/bin/env bash
# The cost of durable saving: Save of a 236 KB bank (the largest real AN1x bank) and of a
# 16 MiB file, through the safe writer with its flushes and without them, side by side in one
# run (bench/save_timer.cpp). Not part of the tests.
#
#   bench/save_bench.sh [FOLDER]
#
# FOLDER is where the files are saved (default: a new folder in TMPDIR); the flushes cost
# what that folder's disk makes them cost. Environment: RUNS (default 15), BUILD (the build
# folder, default build/bench; configured and built here).
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
runs=${RUNS:-15}
build=${BUILD:-$src/build/bench}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive whole number" >&2; exit 2; }
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target save_timer >/dev/null
timer=$build/bench/save_timer
[[ -x $timer ]] || timer=$build/save_timer
if [[ $# -ge 1 ]]; then
    work=$1
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/veltrano-save-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi
echo "saving in $work ($(df -T "$work" | awk 'NR == 2 { print $2 }'))"
"$timer" $((236 * 1024)) "$runs" "$work"
"$timer" $((16 * 1024 * 1024)) "$runs" "$work"
