#!/usr/bin/env bash
# Smoke test of the desktop program under a window manager (openbox) with only the DejaVu
# fonts, as a minimal system has them: the window shows, every caption of a check box,
# option button and push button fits its fixed rectangle whole, closing ends the program
# with exit code 0, and nothing is written to stderr by GTK (no Gtk-CRITICAL, no
# Gtk-WARNING).
#   smoke-wm.sh PATH/TO/veltrano OUTPUT-FOLDER
set -uo pipefail

program=${1:?usage: smoke-wm.sh PATH/TO/veltrano OUTPUT-FOLDER}
out=${2:?usage: smoke-wm.sh PATH/TO/veltrano OUTPUT-FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=smoke-lib.sh
. "$here/smoke-lib.sh"

need_tools xvfb-run openbox xdotool xwininfo import convert python3
[[ -x $program ]] || fail "no program at $program"
mkdir -p "$out" || fail "cannot create $out"
own_settings "$out"

if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Only the DejaVu fonts.
fonts=$(mktemp -d)
cat >"$fonts/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$fonts/cache</cachedir>
</fontconfig>
EOF
export FONTCONFIG_FILE=$fonts/fonts.conf
fc-list 2>/dev/null | grep -qi dejavu || fail "no DejaVu fonts (fonts-dejavu-core)"

openbox >/dev/null 2>&1 &
wm=$!
sleep 1
log=$out/smoke-wm-program.log
"$program" >"$log" 2>&1 &
pid=$!
cleanup() {
  kill "$pid" 2>/dev/null
  kill "$wm" 2>/dev/null
  rm -rf "$fonts"
}
trap cleanup EXIT

wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1)
[[ -n $wid ]] || fail "no window named Veltrano within 60 s"
kill -0 "$pid" 2>/dev/null || fail "the program ended after its window appeared"
# The client window's place on the screen (xdotool reports the frame's under a window
# manager).
WX=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { print $NF }')
WY=$(xwininfo -id "$wid" | awk '/Absolute upper-left Y/ { print $NF }')
[[ -n $WX && -n $WY ]] || fail "cannot find where the window is"

shot=$out/smoke-wm.png
client_offset "$shot"
sleep 0.5
shoot "$shot"

# Yellow caption pixels in a client rectangle X Y W H.
ink() {
  convert "$shot" -crop "$3x$4+$((WX + $1))+$((WY + menu + $2))" +repage \
    -fx '(r > 0.7 && g > 0.7 && b < 0.45) ? 1 : 0' -format '%[fx:int(mean * w * h + 0.5)]' info:
}
# A caption is whole when it has ink and none of it touches the edge its text runs into:
# the last two columns of its rectangle (left-aligned text), or the first two as well
# (centred text, which a cut spills over both sides).
whole() { # whole WHAT X Y W H centred
  local what=$1 x=$2 y=$3 w=$4 h=$5
  (($(ink "$x" "$y" "$w" "$h") > 10)) || fail "$what: no caption drawn"
  (($(ink $((x + w - 2)) "$y" 2 "$h") == 0)) || fail "$what: the caption is cut at the right"
  if [[ ${6:-} == centred ]]; then
    (($(ink "$x" "$y" 2 "$h") == 0)) || fail "$what: the caption is cut at the left"
  fi
  return 0
}
whole '"Write"' 5 80 50 20
whole '"Matrix To Voice =>"' 60 80 110 20
whole '"Voice To Matrix <="' 180 80 110 20
whole '"Multi Select List"' 300 80 95 20
# Push buttons draw their caption inside a 2-pixel border.
whole '"Store Matrix"' 232 479 58 18 centred
whole '"Ctrl Source"' 25 100 90 20 centred
echo "smoke-wm: the captions are whole with the DejaVu fonts"

close_and_wait
((code == 0)) || fail "the program ended with exit code $code"
if grep -qE 'CRITICAL|Gtk-WARNING|Gdk-WARNING|GLib-WARNING|assert' "$log"; then
  fail "the program reported GTK warnings or failed assertions"
fi
echo "smoke-wm: OK (screenshot $shot)"
