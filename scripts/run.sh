#!/usr/bin/env bash
# Builds Veltrano and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
# Without a display there is nothing to show: say so before installing or building anything.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "veltrano: no display (DISPLAY is not set); start it from a desktop session" >&2
  exit 1
fi
scripts/deps.sh
# The program alone: no tests and no benchmarks, so GoogleTest and Benchmark are not needed.
cmake --preset run >/dev/null
cmake --build --preset run --target veltrano
exec build/run/veltrano "$@"
