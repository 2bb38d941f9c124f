#!/usr/bin/env bash
# Installs the Debian packages Veltrano needs, when any is missing.
#   deps.sh         what building and running the desktop program needs
#   deps.sh --test  that, and what the tests need as well
set -euo pipefail
# Building, and running the desktop program: besides the compiler and wxWidgets, GTK needs
# its pixbuf loaders (SVG), the MIME database and an icon theme to draw its widgets, and a
# font.
need=(cmake ninja-build g++ pkg-config libwxgtk3.2-dev libatk1.0-dev
      librsvg2-common shared-mime-info adwaita-icon-theme fonts-dejavu-core)
if [[ ${1:-} == --test ]]; then
  need+=(libgtest-dev libgmock-dev libbenchmark-dev
         xvfb xauth xdotool x11-apps x11-utils imagemagick openbox python3
         dpkg-dev file desktop-file-utils lintian appstream groff-base
         g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64
         clang libclang-rt-14-dev strace
         xdg-utils libfile-mimeinfo-perl nsis
         dbus dbus-x11 at-spi2-core gir1.2-atspi-2.0 python3-gi)
fi
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "deps.sh: these packages are missing: ${missing[*]}" >&2
    echo "deps.sh: installing them needs root, and sudo is not installed. Either run this" >&2
    echo "deps.sh: script as root once (su -c '$0${1:+ $1}'), or install sudo and add" >&2
    echo "deps.sh: yourself to the sudo group, then run the command again." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
