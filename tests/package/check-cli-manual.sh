#!/usr/bin/env bash
# check-cli-manual.sh VELTRANO-CLI MANUAL-PAGE
# Every command that `veltrano-cli --help` lists is described in the manual page, and every
# option that it or a command's --help names appears there.
set -euo pipefail
cli=$1
page=$(sed 's/\\-/-/g' "$2") # the page's text, with its escaped hyphens plain

usage=$("$cli" --help)
# Command lines of the usage: two blanks, then the command's name.
mapfile -t commands < <(grep -E '^  [a-z][a-z-]+( |$)' <<<"$usage" | awk '{print $1}')
((${#commands[@]} > 0)) || {
  echo "FAIL: no command found in veltrano-cli --help"
  exit 1
}
texts=("$usage")
for c in "${commands[@]}"; do
  texts+=("$("$cli" "$c" --help)")
done
mapfile -t options < <(printf '%s\n' "${texts[@]}" | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)

missing=()
# A command is described under a tag of its own: ".TP", then ".B COMMAND ...".
described=$(awk 'prev == ".TP" && $1 == ".B" { print $2 } { prev = $0 }' <<<"$page")
for c in "${commands[@]}"; do
  grep -qxF -- "$c" <<<"$described" || missing+=("command $c")
done
for o in "${options[@]}"; do
  grep -qE -- "(^|[^a-z-])$o([^a-z0-9-]|\$)" <<<"$page" || missing+=("option $o")
done
if ((${#missing[@]})); then
  printf 'FAIL: the manual page %s does not name: %s\n' "$2" "${missing[*]}"
  exit 1
fi
echo "PASS: ${#commands[@]} commands and ${#options[@]} options named in the manual page"
