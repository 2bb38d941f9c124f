#!/usr/bin/env bash
# Runs one fuzz target over its seeds and a fresh working corpus:
#   run-fuzz.sh TARGET SEEDS DICT WORKDIR [libFuzzer options...]
# New inputs go to WORKDIR/corpus (emptied first unless FUZZ_KEEP_CORPUS=1), a crashing
# input to WORKDIR/crashes/. A crash, a leak, a hang past 30 s or a broken check fails (the
# bound is generous: on a loaded machine an input that takes milliseconds once took 10 s).
set -euo pipefail
target=$1 seeds=$2 dict=$3 work=$4
shift 4
[[ ${FUZZ_KEEP_CORPUS:-0} == 1 ]] || rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/crashes"
exec "$target" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 -dict="$dict" \
  -artifact_prefix="$work/crashes/" "$@" "$work/corpus" "$seeds"
