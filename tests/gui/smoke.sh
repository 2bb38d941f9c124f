#!/usr/bin/env bash
# Smoke test of the desktop program under a virtual X server: start it, look at the window
# (size, grey background, near-black header, the picture, the hidden marker), click fixed
# places and use the menu and a keyboard shortcut, then close it as a window manager would
# and expect exit code 0.
#   smoke.sh PATH/TO/veltrano OUTPUT-FOLDER
# The program's folder must hold Veltrano.txt (the build copies it there). Screenshots go to
# OUTPUT-FOLDER (smoke-*.png).
set -uo pipefail

program=${1:?usage: smoke.sh PATH/TO/veltrano OUTPUT-FOLDER}
out=${2:?usage: smoke.sh PATH/TO/veltrano OUTPUT-FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=smoke-lib.sh
. "$here/smoke-lib.sh"

need_tools xvfb-run xdotool import convert python3
[[ -x $program ]] || fail "no program at $program"
[[ -f $(dirname "$program")/Veltrano.txt ]] || fail "Veltrano.txt is not beside $program"
mkdir -p "$out" || fail "cannot create $out"
own_settings "$out"

# Run the rest on a fresh virtual screen.
if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

log=$out/smoke-program.log
"$program" >"$log" 2>&1 &
pid=$!
cleanup() { kill "$pid" 2>/dev/null; }
trap cleanup EXIT

# --- the window appears ----------------------------------------------------------------------
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1)
[[ -n $wid ]] || fail "no window named Veltrano within 60 s"
alive "after the window appeared"

# The first resize narrows it to 453 pixels; without a window manager the X window is the
# outer window, so its geometry is the outer size.
geometry() { eval "$(xdotool getwindowgeometry --shell "$wid")"; }
for _ in $(seq 1 100); do
  geometry
  [[ $WIDTH == 453 && $HEIGHT == 550 ]] && break
  sleep 0.2
done
[[ $WIDTH == 453 && $HEIGHT == 550 ]] || fail "window is ${WIDTH}x${HEIGHT}, expected 453x550"
WX=$X WY=$Y

shot=$out/smoke-startup.png
client_offset "$shot"
sleep 0.5
shoot "$shot"
echo "smoke: window 453x550 at $WX,$WY; the client area starts $menu pixels below the top"

check_start_screen "$shot"
near "$shot" 448 300 128 128 128 6 "grey right of the voice list"

# --- clicks, a shortcut and the menu -----------------------------------------------------------
click_around

# F5 arms "Search Controller": lbl 10 turns green.
xdotool mousemove $((WX + 200)) $((WY + menu + 300))
xdotool key F5
becomes_near "$out/smoke-armed.png" 27 103 0 153 0 12 "lbl 10 after F5"
# A click on the header disarms it.
click 27 103
becomes_near "$out/smoke-disarmed.png" 27 103 3 3 3 12 "lbl 10 after a click on it"

# The Search menu by keyboard: F10 opens the bar, two steps right reach Search, Down
# highlights its first item and Return chooses it, which arms the search again.
xdotool key F10
sleep 0.5
for key in Right Right Down; do
  xdotool key $key
  sleep 0.3
done
shoot "$out/smoke-menu.png"
xdotool key Return
becomes_near "$out/smoke-menu-chosen.png" 27 103 0 153 0 12 "lbl 10 after Search > Search Controller"
alive "after a menu choice"

# The controller box of row 1 opens its list; Escape closes it again.
click 70 130
sleep 1
xdotool key Escape
sleep 0.5
alive "after closing a combo box"

# --- closing -----------------------------------------------------------------------------------
close_and_wait
trap - EXIT
((code == 0)) || fail "the program ended with exit code $code"
if grep -qE 'CRITICAL|Gtk-WARNING|assert' "$log"; then
  fail "the program reported GTK warnings or failed assertions"
fi
echo "smoke: OK (screenshots in $out)"
