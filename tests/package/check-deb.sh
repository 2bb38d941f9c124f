#!/usr/bin/env bash
# check-deb.sh BUILD-FOLDER SCRATCH-FOLDER VERSION
# Builds the Debian package of BUILD-FOLDER into SCRATCH-FOLDER with cpack, then checks
# it: lintian finds no error and no warning; the AppStream metadata, the desktop entry and
# the icon it installs pass appstreamcli validate-tree; the desktop entry passes
# desktop-file-validate and names both voice file types, which the package's MIME file
# declares; the changelog's newest entry and
# the metadata's newest release are VERSION.
set -euo pipefail
build=$1 scratch=$2 version=$3

for tool in cpack dpkg-deb dpkg-parsechangelog lintian appstreamcli desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/deps.sh --test installs it)"
    exit 77
  fi
done

rm -rf "$scratch"
mkdir -p "$scratch"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log"
  exit 1
}
debs=("$scratch"/veltrano_*.deb)
[[ -f ${debs[0]} && ${#debs[@]} -eq 1 ]] || {
  echo "FAIL: cpack made no single veltrano_*.deb"
  exit 1
}
deb=${debs[0]}
echo "package: $deb"
failed=0

# Errors and warnings fail; the informational tags are shown for the record. (Lintian warns
# that it should not run as root; here it only reads the package.)
echo "== lintian"
status=0
lintian --display-info --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
grep -v "running with root privileges" "$scratch/lintian.log" || true
if ((status != 0)); then
  echo "FAIL: lintian reports errors or warnings (exit status $status)"
  failed=1
fi

echo "== appstreamcli validate-tree"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
if [[ ! -f ${metainfo[0]} ]]; then
  echo "FAIL: the package installs no AppStream metadata in /usr/share/metainfo"
  failed=1
elif ! appstreamcli validate-tree --no-net "$root"; then
  echo "FAIL: appstreamcli validate-tree"
  failed=1
fi

echo "== desktop entry and MIME types"
desktop=$root/usr/share/applications/veltrano.desktop
mime=$root/usr/share/mime/packages/veltrano.xml
if ! desktop-file-validate "$desktop"; then
  echo "FAIL: desktop-file-validate"
  failed=1
fi
grep -qx 'Exec=veltrano %F' "$desktop" || { echo "FAIL: the desktop entry's Exec is not 'veltrano %F'"; failed=1; }
if [[ ! -f $mime ]]; then
  echo "FAIL: the package installs no /usr/share/mime/packages/veltrano.xml"
  failed=1
else
  for type in application/x-veltrano-an1 application/x-veltrano-ans; do
    grep -q "^MimeType=.*$type;" "$desktop" || { echo "FAIL: the desktop entry's MimeType lacks $type"; failed=1; }
    grep -q "<mime-type type=\"$type\">" "$mime" || { echo "FAIL: veltrano.xml declares no $type"; failed=1; }
    grep -q "<mediatype>$type</mediatype>" "${metainfo[0]}" || { echo "FAIL: the metadata provides no $type"; failed=1; }
  done
fi

echo "== versions"
zcat "$root/usr/share/doc/veltrano/changelog.gz" >"$scratch/changelog"
changelog=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
release=$(grep -o -m1 '<release version="[^"]*"' "${metainfo[0]}" | cut -d'"' -f2 || true)
package=$(dpkg-deb -f "$deb" Version)
echo "project $version, package $package, changelog $changelog, metadata release $release"
for v in "$package" "$changelog" "$release"; do
  if [[ $v != "$version" ]]; then
    echo "FAIL: the package, its changelog and its metadata's newest release must all be $version"
    failed=1
    break
  fi
done

((failed == 0)) && echo "PASS"
exit $failed
