#!/usr/bin/env bash
# Builds Veltrano and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target veltrano
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "veltrano: no display (DISPLAY is not set); start it from a desktop session" >&2
  exit 1
fi
exec build/default/veltrano "$@"
