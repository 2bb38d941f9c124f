#!/usr/bin/env bash
# Runs the hostile suite once more as an ordinary user, so that no case passes only because
# root ignores file modes. As root it becomes the user nobody; as anyone else the suite has
# already run as that user, and this run is skipped.
set -euo pipefail
binary=$1
if [[ $(id -u) -ne 0 ]]; then
  echo "already an ordinary user: the suite ran as one"
  exit 77
fi
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups --reset-env "$@"; }
# The build folder and the sources must be readable by that user (a checkout under a home
# folder of mode 0700 is not): said, and skipped, rather than failed for nothing.
if ! as_nobody test -x "$binary" || ! as_nobody test -r "$(dirname "$0")/../../data/Veltrano.txt"; then
  echo "the user nobody cannot read the build or the sources here: run the suite as a user"
  exit 77
fi
exec setpriv --reuid=65534 --regid=65534 --clear-groups --reset-env "$binary" --gtest_brief=1
