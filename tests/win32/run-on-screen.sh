#!/usr/bin/env bash
# Runs a Windows test program that opens windows under Wine on a virtual X screen:
#   run-on-screen.sh WINE-PREFIX PROGRAM.exe [ARGS...]
# Wine's desktop process, which every window of a prefix goes through, keeps the display it
# was started on, and the shared prefix's was started without one for the tests that show
# no window; so the program runs in a copy of the prefix, whose desktop starts on this screen.
set -uo pipefail
prefix=${1:?usage: run-on-screen.sh WINE-PREFIX PROGRAM.exe [ARGS...]}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh

if [[ -z ${RUN_ON_XVFB:-} ]]; then
  export RUN_ON_XVFB=1
  command -v xvfb-run >/dev/null || { echo "run-on-screen.sh: xvfb-run is not installed" >&2; exit 127; }
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
shift
[[ -f $prefix/system.reg ]] || { echo "$prefix is no Wine prefix (run the wine/start test first)" >&2; exit 2; }
own=$(mktemp -d "${TMPDIR:-/tmp}/veltrano-wine.XXXXXX") || exit 2
cleanup() {
  "$wine_run" "$own/prefix" --stop
  rm -rf "$own"
}
trap cleanup EXIT
"$wine_run" "$prefix" --copy "$own/prefix" || { echo "cannot copy the Wine prefix $prefix" >&2; exit 2; }
"$wine_run" "$own/prefix" "$@"
