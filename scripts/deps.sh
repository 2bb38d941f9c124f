#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
set -euo pipefail
need=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      libwxgtk3.2-dev xvfb xauth xdotool x11-apps imagemagick
      python3
      g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
