#!/usr/bin/env bash
# veltrano.exe under Wine at another screen resolution: the window and every control must be
# the 96-dot window times DPI / 96 (see check_layout.py), read from the program's own dump of
# its native rectangles. With NEW-DPI the window is then told it moved to a monitor of that
# resolution (WM_DPICHANGED, which Wine on one screen never sends) and is checked again.
#   smoke-win32-dpi.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER DPI [NEW-DPI]
# Screenshots: OUTPUT-FOLDER/win32-dpi-DPI[-NEW-DPI].png.
set -uo pipefail

usage="usage: smoke-win32-dpi.sh WINE-PREFIX PATH/TO/veltrano.exe OUTPUT-FOLDER DPI [NEW-DPI]"
prefix=${1:?$usage}
program=${2:?$usage}
out=${3:?$usage}
dpi=${4:?$usage}
new=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
# shellcheck source=smoke-lib.sh
. "$here/smoke-lib.sh"

need_tools xvfb-run xdotool import python3
[[ -f $program ]] || fail "no program at $program"
mkdir -p "$out" || fail "cannot create $out"

# A screen large enough for the window at twice the size.
if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1
  exec xvfb-run -a -s "-screen 0 1400x1300x24" "$0" "$@"
fi

name=win32-dpi-$dpi${new:+-$new}
own=$out/$name-wine
"$wine_run" "$own" --stop
rm -rf "$own" && "$wine_run" "$prefix" --copy "$own" || fail "cannot copy the Wine prefix $prefix"
[[ -f $own/system.reg && -f $own/user.reg ]] || fail "$prefix is no Wine prefix (run the wine/start test first)"
# The resolution, where Wine reads it: the user's desktop settings and the fonts' keys.
python3 - "$own" "$dpi" <<'PY' || fail "cannot set the resolution in $own"
import re, sys
prefix, dpi = sys.argv[1], int(sys.argv[2])
value = f'"LogPixels"=dword:{dpi:08x}'
for reg in ("system.reg", "user.reg"):
    path = f"{prefix}/{reg}"
    text = open(path, encoding="latin-1").read()
    text = re.sub(r'"LogPixels"=dword:[0-9a-f]{8}', value, text)
    if reg == "user.reg":
        text = re.sub(r'(\[Control Panel\\\\Desktop\][^\n]*\n(#[^\n]*\n)?)', r'\g<1>' + value + '\n',
                      text, count=1)
    open(path, "w", encoding="latin-1").write(text)
PY

dump=$out/$name-layout
rm -f "$dump"-*.txt
log=$out/$name-program.log
(cd "$(dirname "$program")" &&
  VELTRANO_LAYOUT_DUMP=$dump VELTRANO_TEST_DPI_CHANGE=$new \
    exec timeout 180 "$wine_run" "$own" "$(basename "$program")") >"$log" 2>&1 &
pid=$!
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  "$wine_run" "$own" --stop
  rm -rf "$own"
}
trap cleanup EXIT

wid=$(timeout 90 xdotool search --sync --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1)
[[ -n $wid ]] || fail "no window named Veltrano within 90 s"
final=${new:-$dpi}
for _ in $(seq 1 60); do
  [[ -s $dump-$final.txt ]] && break
  sleep 0.25
done
[[ -s $dump-$dpi.txt ]] || fail "no layout written at $dpi dots per inch"
[[ -s $dump-$final.txt ]] || fail "no layout written at $final dots per inch"
alive "after the window appeared"
sleep 1
import -window "$wid" "$out/$name.png" || fail "screenshot failed"

ok=0
python3 "$here/check_layout.py" "$dump-$dpi.txt" "$(python3 -c "print($dpi / 96)")" || ok=1
if [[ -n $new ]]; then
  python3 "$here/check_layout.py" "$dump-$new.txt" "$(python3 -c "print($new / 96)")" || ok=1
fi
((ok == 0)) || fail "the layout is not the 96-dot layout at $final dots per inch"

close_and_wait
pid=
((code == 0)) || fail "the program ended with exit code $code"
echo "smoke-win32-dpi: OK at $dpi${new:+, then $new,} dots per inch (screenshot $out/$name.png)"
