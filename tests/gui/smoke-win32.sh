#!/usr/bin/env bash
# Smoke test of veltrano.exe under Wine and a virtual X server: start it, look at the window
# (grey background, near-black header, the picture, the hidden marker), click fixed places,
# use a keyboard shortcut and the menu by keyboard, then close it as a window manager would
# and expect exit code 0 and nothing on stderr but Wine's own lines.
#   smoke-win32.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER
# The program's folder must hold Veltrano.txt (the build copies it there). Screenshots go to
# OUTPUT-FOLDER (win32-*.png).
set -uo pipefail

prefix=${1:?usage: smoke-win32.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER}
program=${2:?usage: smoke-win32.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER}
out=${3:?usage: smoke-win32.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
# shellcheck source=smoke-lib.sh
. "$here/smoke-lib.sh"

need_tools xvfb-run xdotool import convert python3
[[ -f $program ]] || fail "no program at $program"
[[ -f $(dirname "$program")/Veltrano.txt ]] || fail "Veltrano.txt is not beside $program"
mkdir -p "$out" || fail "cannot create $out"

# Run the rest on a fresh virtual screen.
if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# A prefix of its own, copied from the shared one: Wine's desktop process, which every window
# of a prefix goes through, keeps the display it was started on, and the shared prefix's was
# started without one for the tests that show no window. Here it starts on this screen.
own=$out/win32-wine
"$wine_run" "$own" --stop
rm -rf "$own" && "$wine_run" "$prefix" --copy "$own" || fail "cannot copy the Wine prefix $prefix"
[[ -f $own/system.reg ]] || fail "$prefix is no Wine prefix (run the wine/start test first)"

log=$out/win32-program.log
# The program's folder is its working folder, as when started from Explorer.
(cd "$(dirname "$program")" && exec timeout 180 "$wine_run" "$own" "$(basename "$program")") \
  >"$log" 2>&1 &
pid=$!
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  "$wine_run" "$own" --stop
  rm -rf "$own"
}
trap cleanup EXIT

# --- the window appears ----------------------------------------------------------------------
wid=$(timeout 90 xdotool search --sync --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1)
[[ -n $wid ]] || fail "no window named Veltrano within 90 s"
alive "after the window appeared"

# Without a window manager Wine's X window is the client area with the menu bar: the outer
# window of 453x550 pixels less Wine's frame and caption. Its width must settle after the
# first resize and stay put.
geometry() { eval "$(xdotool getwindowgeometry --shell "$wid")"; }
sleep 1
geometry
((WIDTH >= 437 && WIDTH <= 453 && HEIGHT >= 500 && HEIGHT <= 550)) ||
  fail "window is ${WIDTH}x${HEIGHT}, expected the client area of a 453x550 window"
WX=$X WY=$Y

shot=$out/win32-startup.png
client_offset "$shot"
sleep 0.5
shoot "$shot"
echo "smoke-win32: window ${WIDTH}x${HEIGHT} at $WX,$WY; the client area starts $menu pixels below the top"

check_start_screen "$shot"
near "$shot" 400 300 255 255 255 6 "the empty voice list"
near "$shot" 418 89 3 3 3 12 "the face of the All button"

# --- clicks, a shortcut and the menu -----------------------------------------------------------
click_around
near "$shot" 400 300 255 255 255 6 "the voice list after its style changed"

# F5 arms "Search Controller": lbl 10 turns green.
xdotool mousemove $((WX + 200)) $((WY + menu + 300))
xdotool key F5
becomes_near "$out/win32-armed.png" 27 103 0 153 0 12 "lbl 10 after F5"
click 27 103
becomes_near "$out/win32-disarmed.png" 27 103 3 3 3 12 "lbl 10 after a click on it"

# The Search menu by keyboard: F10 selects the bar, two steps right reach Search, Down opens
# it on its first item and Return chooses it, which arms the search again.
xdotool key F10
sleep 0.5
for key in Right Right Down; do
  xdotool key $key
  sleep 0.3
done
shoot "$out/win32-menu.png"
xdotool key Return
becomes_near "$out/win32-menu-chosen.png" 27 103 0 153 0 12 "lbl 10 after Search > Search Controller"
alive "after a menu choice"

# A menu opened and closed without a choice runs nothing: Escape twice leaves it armed.
xdotool key F10
sleep 0.3
xdotool key Down
sleep 0.3
xdotool key Escape Escape
sleep 0.5
near "$out/win32-menu-chosen.png" 27 103 0 153 0 12 "lbl 10 after a menu closed without a choice"

# The controller box of row 1 opens its list; Escape closes it again.
click 70 130
sleep 1
xdotool key Escape
sleep 0.5
alive "after closing a combo box"

# Store Matrix: the input box takes a name, Return accepts it, the category chooser opens
# at the cursor and Down, Return chooses its first category; the store list then shows the
# new entry (dark text where the empty box was white).
dark_in_store_list() {
  convert "$1" -crop "120x12+$((WX + 30))+$((WY + menu + 479))" +repage -colorspace gray \
    -threshold 50% -negate -format '%[fx:int(w*h*mean)]' info:
}
shoot "$out/win32-before-store.png"
before=$(dark_in_store_list "$out/win32-before-store.png")
click 261 488
sleep 2
xdotool type --delay 30 "Smoke"
xdotool key Return
sleep 2
xdotool key Down Return
stored=
for _ in $(seq 1 40); do
  shoot "$out/win32-stored.png"
  stored=$(dark_in_store_list "$out/win32-stored.png")
  ((stored > before + 10)) && break
  sleep 0.25
done
((stored > before + 10)) || fail "the store list shows no new entry after Store Matrix ($before, then $stored dark pixels)"
alive "after storing a matrix"

# --- closing -----------------------------------------------------------------------------------
close_and_wait
pid= # ended; the trap still stops the prefix's server and removes the copy
((code == 0)) || fail "the program ended with exit code $code"
# Wine's own lines carry a process id and a channel ("0024:fixme:...") or start "wine:".
if grep -vE '^([0-9a-f]{4}:(fixme|err|warn|trace):|wine: |$)' "$log" | grep -q .; then
  fail "the program wrote to stdout or stderr"
fi
echo "smoke-win32: OK (screenshots in $out)"
