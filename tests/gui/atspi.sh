#!/bin/bash
# The window as a screen reader reads it: the program with a bank under Xvfb, on a private
# session bus with the accessibility bus, walked through AT-SPI by atspi_walk.py.
# Usage: atspi.sh PROGRAM BANK WORKDIR. Skips (77) only when the buses cannot start.
set -u
prog=$1 bank=$2 work=$3
mkdir -p "$work"
if [[ -z ${ATSPI_INNER:-} ]]; then
  for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "atspi: SKIP: $tool missing"; exit 77; }
  done
  export ATSPI_INNER=1
  exec dbus-run-session -- "$0" "$@"
fi
unset NO_AT_BRIDGE
export GTK_A11Y=atk
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
bus=$!
trap 'kill $pid $bus $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 1 50); do
  [[ -e /tmp/.X11-unix/X${display#:} ]] && break
  sleep 0.1
done
for _ in $(seq 1 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.1
done
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
  >/dev/null 2>&1 || { echo "atspi: SKIP: the accessibility bus did not start"; exit 77; }
rm -rf "$work/config" "$work/data" && mkdir -p "$work/config" "$work/data"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data # never the user's
"$prog" "$bank" >"$work/program.log" 2>&1 &
pid=$!
/usr/bin/python3 "$(dirname "$0")/atspi_walk.py" | tee "$work/reader.log"
rc=${PIPESTATUS[0]}
# The bank opened from the command line went into the desktop's recent list, as GTK keeps it.
uri=file://$(/usr/bin/python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' \
  "$(realpath "$bank")")
if grep -qF "href=\"$uri\"" "$work/data/recently-used.xbel" 2>/dev/null; then
  echo "desktop recent list: $uri"
else
  echo "atspi: FAIL: $uri is not in $work/data/recently-used.xbel"
  rc=1
fi
# GTK's own menus, opened by a reader's action rather than a click, warn that no event
# triggered them; nothing else may be said.
if grep -E "WARNING|CRITICAL" "$work/program.log" | grep -v "no trigger event for menu popup"; then
  echo "atspi: FAIL: warnings on the program's stderr"
  rc=1
fi
exit $rc
