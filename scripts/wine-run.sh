#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, in the build folder's own prefix.
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]   runs it (stdout and stderr as the program's)
#   wine-run.sh PREFIX --start                 makes the prefix when missing, starts the
#                                              wine server and Wine's own services
#   wine-run.sh PREFIX --stop                  stops the server and everything it runs
#   wine-run.sh PREFIX --copy DEST             copies the prefix to DEST, less the files in
#                                              its users' temporary folders
# Wine's background processes are started with their output on /dev/null: started from a
# test they would inherit the test's pipes, and CTest would wait for them forever.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader, whether or not 32-bit Wine is installed beside it.
wine=${VELTRANO_WINE:-}
if [[ -z $wine ]]; then
  for w in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [[ -n $w && -x $w ]]; then wine=$w; break; fi
  done
fi
[[ -n $wine ]] || { echo "wine-run.sh: Wine is not installed" >&2; exit 127; }
export WINELOADER=$wine
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
case ${1:-} in
--start)
  # Wine's services outlive this call and keep the X display they were started on: started
  # without one, they leave each program to use the display it is given.
  unset DISPLAY
  mkdir -p "$prefix"
  (
    flock 9
    if [[ ! -f $prefix/system.reg ]]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1
      # The server writes the new registry to disk when it ends: end it now, so that the
      # prefix on disk is whole (the Windows smoke test copies it).
      "$server" -k </dev/null >/dev/null 2>&1 || true
      "$server" -w </dev/null >/dev/null 2>&1 || true
    fi
    "$server" -p </dev/null >/dev/null 2>&1 || true
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
  ) 9>"$prefix.lock"
  ;;
--stop)
  "$server" -k </dev/null >/dev/null 2>&1 || true
  ;;
--copy)
  # For a program that needs a prefix of its own. The tests running in this prefix meanwhile
  # make and remove files in its temporary folders, on which a plain copy would fail.
  dest=${2:?usage: wine-run.sh PREFIX --copy DEST}
  mkdir -p "$dest"
  tar -C "$prefix" --exclude='./drive_c/users/*/Temp/*' -cf - . | tar -C "$dest" -xf -
  ;;
*)
  # A server must run before the program starts (see above); one already running stays.
  "$server" -p30 </dev/null >/dev/null 2>&1 || true
  exec "$wine" "$@"
  ;;
esac
