#!/usr/bin/env bash
# Makes docs/screenshot.png: the program under a virtual X server with the sample banks of
# data/samples chosen, one bank loaded, a voice's matrix read into the panel and a few voices
# selected.
#   tests/gui/screenshot.sh [PATH/TO/veltrano] [OUTPUT.png]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
program=${1:-$root/build/default/veltrano}
output=${2:-$root/docs/screenshot.png}

fail() {
  echo "screenshot: $*" >&2
  exit 1
}
for tool in xvfb-run xdotool import convert python3; do
  command -v "$tool" >/dev/null || fail "'$tool' is missing (scripts/deps.sh installs it)"
done
[[ -x $program ]] || fail "no program at $program"

if [[ -z ${SCREENSHOT_ON_XVFB:-} ]]; then
  export SCREENSHOT_ON_XVFB=1 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$output"
fi

"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Veltrano$' | head -n 1)
[[ -n $wid ]] || fail "the window did not appear"
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
WX=$X WY=$Y
# The client area starts below the menu bar: the header label is the first near-black pixel
# below lighter ones in column x = 27.
menu=$(import -window root png:- | convert png:- -crop "1x200+$((WX + 27))+$WY" +repage -depth 8 txt:- |
  awk -F'[(,)]' 'NR > 1 { dark = $4 < 20 && $5 < 20 && $6 < 20; if (!dark) light = 1;
                          if (dark && light) { print $2 - 100; exit } }')
[[ -n $menu ]] || fail "cannot find the header label"
at() { xdotool mousemove $((WX + $1)) $((WY + menu + $2)); }
click() { at "$1" "$2"; xdotool click 1; sleep 0.5; }

# File > AN1 Voice Directory: type the folder into the folder dialog (Delete drops GTK's
# completion of the name).
at 200 300
xdotool key ctrl+1
sleep 2
xdotool key ctrl+l
sleep 0.5
xdotool type --delay 20 "$root/data/samples/"
sleep 0.8
xdotool key Delete Return
sleep 2

row=14 # list row height with the program's font
click 60 $((7 + row + row / 2))      # second voice file
click 15 90                          # Write
click 350 $((102 + 5 * row + row / 2)) # voice 5: its matrix comes into the panel
click 15 90                          # Write off again
click 310 90                         # Multi Select List
for r in 2 3 4 9; do click 350 $((102 + r * row + row / 2)); done
xdotool mousemove 1000 700
sleep 1.5

import -window "$wid" -strip "$output" || fail "cannot capture the window"
size=$(stat -c %s "$output")
echo "screenshot: $output ($size bytes)"
python3 "$here/close_window.py" "$wid"
wait $pid
