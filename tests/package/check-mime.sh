#!/usr/bin/env bash
# check-mime.sh PACKAGE-ROOT SCRATCH-FOLDER
# The Linux desktop knows the voice files, with nothing installed but the package's own files
# (PACKAGE-ROOT: the unpacked .deb that the package/deb test leaves). A scratch XDG data
# folder holds them, with the MIME database and the desktop database built over it as the
# package's triggers build them; then:
#   xdg-mime query filetype  names application/x-veltrano-an1 for x.an1 and X.AN1 and
#                            application/x-veltrano-ans for x.ans: through GIO, as GNOME,
#                            Xfce, MATE, Cinnamon and LXDE ask, and through File::MimeInfo
#                            (mimetype), as a generic desktop asks;
#   xdg-mime query default   names veltrano.desktop for both types, on a generic desktop
#                            (XDG_CURRENT_DESKTOP unset), from the desktop database.
set -euo pipefail
root=$1 scratch=$2

for tool in xdg-mime update-mime-database update-desktop-database gio; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/deps.sh --test installs it)"
    exit 77
  fi
done
[[ -f $root/usr/share/mime/packages/veltrano.xml ]] || {
  echo "FAIL: $root holds no usr/share/mime/packages/veltrano.xml (run the package/deb test first)"
  exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch/data/mime/packages" "$scratch/data/applications" "$scratch/config" \
  "$scratch/home" "$scratch/files"
# shared-mime-info's own freedesktop.org.xml is not among them: only the package's types are
# known, so a hit cannot come from the system's database.
cp "$root/usr/share/mime/packages/veltrano.xml" "$scratch/data/mime/packages/"
cp "$root/usr/share/applications/veltrano.desktop" "$scratch/data/applications/"

# A clean environment: no desktop, no user's folders, no D-Bus; GIO on local files only.
run() {
  env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" \
    XDG_DATA_DIRS="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_CONFIG_DIRS="$scratch/config" \
    GIO_USE_VFS=local "$@"
}
run update-mime-database "$scratch/data/mime"
run update-desktop-database "$scratch/data/applications"
failed=0
expect() { # expect WHAT WANTED GOT
  if [[ $3 == "$2" ]]; then
    echo "ok: $1: $3"
  else
    echo "FAIL: $1: '$3', expected '$2'"
    failed=1
  fi
}

for name in x.an1 X.AN1 x.ans Leads.An1; do
  # Binary bytes, as in a voice file (GIO calls an empty file text/plain, whatever its name).
  printf 'AN1x\0\1\2\377' >"$scratch/files/$name"
  case ${name,,} in
  *.an1) want=application/x-veltrano-an1 ;;
  *) want=application/x-veltrano-ans ;;
  esac
  expect "filetype of $name (GNOME: gio)" "$want" \
    "$(run XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$scratch/files/$name" 2>&1)"
  if command -v mimetype >/dev/null; then
    expect "filetype of $name (generic: mimetype)" "$want" \
      "$(run xdg-mime query filetype "$scratch/files/$name" 2>&1)"
  else
    echo "FAIL: mimetype (libfile-mimeinfo-perl) is not installed: scripts/deps.sh --test installs it"
    failed=1
  fi
done

for type in application/x-veltrano-an1 application/x-veltrano-ans; do
  expect "default application for $type" veltrano.desktop "$(run xdg-mime query default "$type" 2>&1)"
done

((failed == 0)) && echo "PASS"
exit $failed
