#!/usr/bin/env bash
# The desktop program under a virtual X server at another scale: GTK's whole-number scale
# (GDK_SCALE=2) or a larger text (GDK_DPI_SCALE=1.25). The window and every control must be
# the 96-dot window times the scale (see check_layout.py), read from the program's dump of
# the toolkit's rectangles; the X window must have the size the dump gives.
#   smoke-dpi.sh PATH/TO/veltrano OUTPUT-FOLDER NAME SCALE [VAR=VALUE...]
# SCALE is the expected factor (the text scale times GDK_SCALE). Screenshot:
# OUTPUT-FOLDER/NAME.png.
set -uo pipefail

usage="usage: smoke-dpi.sh PATH/TO/veltrano OUTPUT-FOLDER NAME SCALE [VAR=VALUE...]"
program=${1:?$usage}
out=${2:?$usage}
name=${3:?$usage}
scale=${4:?$usage}
shift 4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=smoke-lib.sh
. "$here/smoke-lib.sh"

need_tools xvfb-run xdotool import python3
[[ -x $program ]] || fail "no program at $program"
mkdir -p "$out" || fail "cannot create $out"
own_settings "$out"

if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
  exec xvfb-run -a -s "-screen 0 1400x1300x24" "$0" "$program" "$out" "$name" "$scale" "$@"
fi

dump=$out/$name-layout
rm -f "$dump-wx.txt"
log=$out/$name-program.log
env "$@" VELTRANO_LAYOUT_DUMP="$dump" "$program" >"$log" 2>&1 &
pid=$!
cleanup() { [[ -n $pid ]] && kill "$pid" 2>/dev/null; }
trap cleanup EXIT

wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1)
[[ -n $wid ]] || fail "no window named Veltrano within 60 s"
# The size rule settles after the window shows; the last dump is the settled layout.
for _ in $(seq 1 60); do
  [[ -s $dump-wx.txt ]] && break
  sleep 0.25
done
sleep 1
[[ -s $dump-wx.txt ]] || fail "no layout written"
alive "after the window appeared"
import -window "$wid" "$out/$name.png" || fail "screenshot failed"

python3 "$here/check_layout.py" "$dump-wx.txt" "$scale" ||
  fail "the layout is not the 96-dot layout times $scale"
eval "$(xdotool getwindowgeometry --shell "$wid")"
read -r _ want_w want_h < <(grep '^window ' "$dump-wx.txt")
[[ $WIDTH == "$want_w" && $HEIGHT == "$want_h" ]] ||
  fail "the X window is ${WIDTH}x$HEIGHT, the toolkit says ${want_w}x$want_h"

close_and_wait
pid=
((code == 0)) || fail "the program ended with exit code $code"
echo "smoke-dpi: OK with $* (window ${WIDTH}x$HEIGHT, screenshot $out/$name.png)"
