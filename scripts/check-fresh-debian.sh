#!/usr/bin/env bash
# Checks the README's two commands as a newcomer meets them: on a fresh minimal Debian 12
# (debootstrap --variant=minbase, with only git added to clone), it clones this repository's
# HEAD, checks that scripts/deps.sh explains itself to a user without sudo, runs the run
# command without a display and then with one (a virtual X server of the host, until the
# window shows), and then the test command. Prints the wall time of each step.
#   check-fresh-debian.sh [WORK-FOLDER] [DEB]
# Run as root on Debian with debootstrap, Xvfb and xdotool. The minimal system is made once
# in WORK-FOLDER/base and copied afresh for every run. With DEB (a built veltrano_*.deb) it
# checks the package instead: installs it with apt on a fresh copy and starts the program.
# Not part of CI: it downloads a few hundred megabytes of packages. CHECK_DISPLAY (default
# :101) is the host display the window is shown on.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/var/tmp/veltrano-fresh}
deb=${2:-}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
display=${CHECK_DISPLAY:-:101}
base=$work/base
root=$work/root

note() { echo "check: $*"; }
fail() {
  echo "check: FAIL: $*" >&2
  exit 1
}
# timed WHAT COMMAND...: runs it and prints its wall time.
timed() {
  local what=$1 t0 rc=0
  shift
  t0=$(date +%s)
  "$@" || rc=$?
  note "$what: $(($(date +%s) - t0)) s, exit $rc"
  return $rc
}

[[ $(id -u) -eq 0 ]] || fail "run as root (debootstrap and chroot need it)"
for tool in debootstrap Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "'$tool' is missing"
done

unmount_all() {
  local m
  for m in tmp/.X11-unix dev/shm dev/pts sys proc; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  return 0
}
xpid=
cleanup() {
  [[ -n ${app:-} ]] && kill "$app" 2>/dev/null
  [[ -n $xpid ]] && kill "$xpid" 2>/dev/null
  unmount_all
}
trap cleanup EXIT

mkdir -p "$work"
if [[ ! -f $base/.complete ]]; then
  rm -rf "$base"
  timed "debootstrap --variant=minbase bookworm" bash -c \
    'debootstrap --variant=minbase bookworm "$1" "$2" >"$3" 2>&1' - "$base" "$mirror" "$work/debootstrap.log" ||
    fail "debootstrap failed (see $work/debootstrap.log)"
  touch "$base/.complete"
fi

unmount_all
rm -rf "$root"
cp -a "$base" "$root"
rm -f "$root/.complete"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mkdir -p "$root/dev/pts" "$root/dev/shm" "$root/tmp/.X11-unix"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
mount -t tmpfs shm "$root/dev/shm"

# in_root COMMAND...: runs a command in the fresh system with a clean environment.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

if [[ -n $deb ]]; then
  # --- the package -------------------------------------------------------------------------
  [[ -f $deb ]] || fail "no package at $deb"
  cp "$deb" "$root/tmp/"
  timed "apt install ./$(basename "$deb")" in_root bash -c \
    "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./tmp/$(basename "$deb") >/dev/null" ||
    fail "the package did not install"
  in_root ls -l /usr/bin/veltrano /usr/share/applications/veltrano.desktop
  launch=(/usr/bin/veltrano)
else
  # --- the README's commands ---------------------------------------------------------------
  timed "apt-get install git" in_root bash -c \
    'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends git ca-certificates >/dev/null' ||
    fail "could not install git"
  git -C "$repo" bundle create "$root/tmp/veltrano.bundle" HEAD 2>/dev/null
  in_root git -c advice.detachedHead=false clone -q /tmp/veltrano.bundle /opt/veltrano
  in_root chmod -R a+rX /opt/veltrano

  # A user without sudo is told what to do instead.
  in_root useradd -m newcomer
  set +e
  said=$(in_root su newcomer -s /bin/bash -c 'cd /opt/veltrano && scripts/deps.sh' 2>&1)
  code=$?
  set -e
  ((code != 0)) && grep -q "sudo is not installed" <<<"$said" ||
    fail "deps.sh without sudo (exit $code) said: $said"
  note "deps.sh as a user without sudo: exit $code, says: $(head -n 2 <<<"$said" | tail -n 1)"

  # The run command without a display stops at once.
  set +e
  said=$(timed "scripts/run.sh without a display" in_root bash -c 'cd /opt/veltrano && scripts/run.sh' 2>&1)
  code=$?
  set -e
  echo "$said"
  ((code != 0)) && grep -q "no display" <<<"$said" || fail "run.sh without a display"
  launch=(bash -c 'cd /opt/veltrano && exec scripts/run.sh')
fi

# --- the program on a virtual screen of the host ---------------------------------------------
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xpid=$!
sleep 1
t0=$(date +%s)
in_root env DISPLAY="$display" NO_AT_BRIDGE=1 "${launch[@]}" >"$work/run.log" 2>&1 &
app=$!
wid=
for _ in $(seq 1 1800); do
  wid=$(DISPLAY=$display xdotool search --onlyvisible --name '^Veltrano$' 2>/dev/null | head -n 1) || true
  [[ -n $wid ]] && break
  kill -0 "$app" 2>/dev/null || break
  sleep 1
done
[[ -n $wid ]] || {
  cat "$work/run.log"
  fail "no Veltrano window"
}
note "${launch[*]}: the window showed after $(($(date +%s) - t0)) s"
sleep 3
DISPLAY=$display import -window root "$work/window.png" 2>/dev/null && note "screenshot: $work/window.png"
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null || true
app=
umount -l "$root/tmp/.X11-unix"
if grep -E 'Gtk-|GLib-|Pixbuf|CRITICAL|WARNING' "$work/run.log"; then
  fail "the program wrote warnings (above)"
fi
note "the program wrote no warnings"

if [[ -z $deb ]]; then
  # The smoke tests pick their own virtual display (xvfb-run -a, from :99 up): keep them off
  # the host's displays in use, and with CHECK_TEST_DISPLAY=N off every display below N too.
  cp -a /tmp/.X*-lock "$root/tmp/" 2>/dev/null || true
  for ((d = 99; d < ${CHECK_TEST_DISPLAY:-0}; d++)); do
    [[ -e $root/tmp/.X$d-lock ]] || echo 0 >"$root/tmp/.X$d-lock"
  done
  timed "scripts/test.sh" in_root bash -c 'cd /opt/veltrano && scripts/test.sh >/tmp/test.log 2>&1' || {
    cp "$root/tmp/test.log" "$work/test.log"
    tail -n 40 "$work/test.log"
    fail "scripts/test.sh failed (see $work/test.log)"
  }
  cp "$root/tmp/test.log" "$work/test.log"
  tail -n 3 "$work/test.log"
fi
note "OK"
