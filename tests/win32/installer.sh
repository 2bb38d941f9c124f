#!/usr/bin/env bash
# The Windows installer under Wine and a virtual X server, in one scratch prefix:
#   installer.sh WINE-PREFIX SETUP.exe OUTPUT-FOLDER
# 1. A settings file is placed in %APPDATA%\Veltrano; SETUP.exe /S installs silently.
# 2. The files, the Start menu shortcut and the registry keys are there (read back with
#    reg query and printed: the file types, the ProgID, the uninstall entry).
# 3. A bank is opened through its registered file type: Wine 8 does not merge
#    HKCU\Software\Classes into HKCR, so "start BANK.an1" finds no per-user type; the test
#    takes the ProgID of .an1 and its shell\open\command from the registry, fills in %1 as
#    the shell does and runs it. The window's caption must be "Veltrano - NAME.an1".
# 4. A voice file and its backup are placed in the installed samples folder; uninstall.exe
#    /S uninstalls silently. None of the installed files, keys or the shortcut remain; the
#    user's voice files, the backup and the settings file do.
# The prefix is WINE-PREFIX copied (a prefix no installer has touched), started on the
# virtual screen; it is removed at the end.
set -uo pipefail
prefix=${1:?usage: installer.sh WINE-PREFIX SETUP.exe OUTPUT-FOLDER}
setup=${2:?usage: installer.sh WINE-PREFIX SETUP.exe OUTPUT-FOLDER}
out=${3:?usage: installer.sh WINE-PREFIX SETUP.exe OUTPUT-FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
fail() {
  echo "installer: FAIL: $*" >&2
  exit 1
}
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || fail "'$tool' is missing (scripts/deps.sh --test installs it)"
done
[[ -f $setup ]] || fail "no installer at $setup (cmake --build --preset windows builds it)"
mkdir -p "$out" || fail "cannot create $out"

if [[ -z ${SMOKE_ON_XVFB:-} ]]; then
  export SMOKE_ON_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
start=$SECONDS

own=$out/installer-wine
"$wine_run" "$own" --stop
rm -rf "$own" && "$wine_run" "$prefix" --copy "$own" || fail "cannot copy the Wine prefix $prefix"
[[ -f $own/system.reg ]] || fail "$prefix is no Wine prefix (run the wine/start test first)"
pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  "$wine_run" "$own" --stop
  rm -rf "$own"
}
trap cleanup EXIT
wine() { timeout 120 "$wine_run" "$own" "$@"; }
# reg query KEY [ARGS]: the output with CR removed; its exit status.
reg() { wine reg query "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# The default value of KEY.
default_of() { reg "$1" /ve | sed -n 's/^ *(Default) *REG_SZ *//p'; }

user=$(ls "$own/drive_c/users" | grep -vx Public | head -n 1)
home=$own/drive_c/users/$user
instdir=$home/AppData/Local/Programs/Veltrano
winst='C:\users\'"$user"'\AppData\Local\Programs\Veltrano'
lnk="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Veltrano.lnk"
settings=$home/AppData/Roaming/Veltrano/settings.txt
mkdir -p "$(dirname "$settings")" && echo "recent=C:\\keep\\me.an1" >"$settings"
keys=('HKCU\Software\Classes\.an1' 'HKCU\Software\Classes\.ans' 'HKCU\Software\Classes\Veltrano.VoiceFile'
      'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrano')

# --- 1. install ------------------------------------------------------------------------------
t0=$SECONDS
wine "$setup" /S || fail "the silent install ended with exit status $?"
echo "installer: installed in $((SECONDS - t0)) s"

# --- 2. what it installed --------------------------------------------------------------------
for f in veltrano.exe veltrano-cli.exe veltrano-cli.txt Veltrano.txt "Veltrano Help.mht" \
         uninstall.exe "samples/Factory A.an1" "samples/Pads.ans"; do
  [[ -f $instdir/$f ]] || fail "no $f in $instdir"
done
[[ ! -e "$instdir/Read Me.txt" ]] || fail "the zip's Read Me.txt is installed"
[[ -f $lnk ]] || fail "no Start menu shortcut $lnk"
echo "installer: shortcut ${lnk#"$own/"}"
for k in "${keys[@]}"; do
  reg "$k" /s || fail "no registry key $k"
done
for ext in .an1 .ans; do
  got=$(default_of "HKCU\\Software\\Classes\\$ext")
  [[ $got == Veltrano.VoiceFile ]] || fail "$ext is registered to '$got', not Veltrano.VoiceFile"
done
command=$(default_of 'HKCU\Software\Classes\Veltrano.VoiceFile\shell\open\command')
[[ $command == "\"$winst\\veltrano.exe\" \"%1\"" ]] ||
  fail "the open command is '$command', expected '\"$winst\\veltrano.exe\" \"%1\"'"
icon=$(default_of 'HKCU\Software\Classes\Veltrano.VoiceFile\DefaultIcon')
[[ $icon == "$winst\\veltrano.exe,0" ]] || fail "the icon is '$icon'"
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrano'
for v in DisplayName DisplayVersion Publisher UninstallString EstimatedSize; do
  reg "$uninst" /v "$v" >/dev/null || fail "the uninstall entry has no $v"
done

# --- 3. open a bank through its file type ----------------------------------------------------
# A folder of the prefix's own (Documents links to the Linux home folder).
banks=$own/drive_c/Banks
mkdir -p "$banks"
cp "$here/../../data/samples/Factory A.an1" "$banks/My Bank.an1"
bank='C:\Banks\My Bank.an1'
# The shell's way: the extension's ProgID, its open command, %1 replaced by the path. The
# command is "EXE" "%1" (checked above), so the program and its one argument are the
# quoted parts.
progid=$(default_of 'HKCU\Software\Classes\.an1')
command=$(default_of "HKCU\\Software\\Classes\\$progid\\shell\\open\\command")
command=${command//%1/$bank}
echo "installer: running $command"
exe=$(sed -E 's/^"([^"]*)".*/\1/' <<<"$command")
arg=$(sed -E 's/^"[^"]*" "([^"]*)"$/\1/' <<<"$command")
log=$out/installer-program.log
t0=$SECONDS
(cd "$banks" && exec timeout 120 "$wine_run" "$own" "$exe" "$arg") >"$log" 2>&1 &
pid=$!
wid=$(timeout 90 xdotool search --sync --onlyvisible --name '^Veltrano - My Bank\.an1$' 2>/dev/null | head -n 1)
if [[ -z $wid ]]; then
  for w in $(xdotool search --name '.' 2>/dev/null); do
    echo "installer: window: $(xdotool getwindowname "$w")"
  done
  command -v import >/dev/null && import -window root "$out/installer-failed.png"
  cat "$log" >&2
  fail "no window named 'Veltrano - My Bank.an1' within 90 s"
fi
echo "installer: window '$(xdotool getwindowname "$wid")' after $((SECONDS - t0)) s"
kill "$pid" 2>/dev/null
"$wine_run" "$own" --stop
wait "$pid" 2>/dev/null
pid=

# --- 4. uninstall ----------------------------------------------------------------------------
mkdir -p "$instdir/samples/Mine"
cp "$banks/My Bank.an1" "$instdir/samples/Mine/Kept.an1"
cp "$banks/My Bank.an1" "$instdir/samples/Factory A.an1.bak"
echo "orig" >"$instdir/samples/Pads.ans.orig"
t0=$SECONDS
# NSIS's uninstaller copies itself to the temporary folder, starts that copy and ends: wait
# for the copy to have removed the uninstaller, its last step, and to have ended.
wine "$winst\\uninstall.exe" /S || fail "the silent uninstall ended with exit status $?"
for _ in $(seq 1 120); do
  [[ ! -e $instdir/uninstall.exe ]] && ! pgrep -f 'Au_\.exe' >/dev/null && break
  sleep 0.5
done
[[ ! -e $instdir/uninstall.exe ]] || fail "the uninstaller is still there after 60 s"
echo "installer: uninstalled in $((SECONDS - t0)) s"
[[ ! -e $lnk ]] || fail "the Start menu shortcut is still there"
for k in "${keys[@]}"; do
  if reg "$k" >/dev/null; then
    reg "$k" /s
    fail "the registry key $k is still there"
  fi
done
left=$(cd "$instdir" && find . -type f | sort)
want=$(printf '%s\n' "./samples/Factory A.an1.bak" "./samples/Mine/Kept.an1" "./samples/Pads.ans.orig" | sort)
[[ $left == "$want" ]] || fail "left in $instdir: $left; expected only the user's files: $want"
[[ -f "$banks/My Bank.an1" ]] || fail "the uninstaller removed the user's voice file"
[[ -f $settings ]] || fail "the uninstaller removed the settings file"
echo "installer: the user's files are kept: $(tr '\n' ' ' <<<"$left")and the settings"
echo "installer: OK in $((SECONDS - start)) s (installer: $(stat -c %s "$setup") bytes)"
