#!/usr/bin/env bash
# Runs the fuzz targets longer than the test suite does, by hand:
#   scripts/fuzz.sh [--time SECONDS | --runs N] [--jobs J] [TARGET ...]
# Builds the fuzz preset (clang, libFuzzer, ASan, UBSan), then runs each target named (all
# when none is: datafile menu voices collection scenario_line wildcard), J at a time (1 by
# default), for SECONDS (600 by default) or N executions. The corpus grows in
# build/fuzz/long/TARGET/corpus and is kept between runs; an input that crashes is left in
# build/fuzz/long/TARGET/crashes/. Prints the executions each target reached.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=600)
jobs=1
targets=()
while (($#)); do
  case $1 in
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    -h|--help) sed -n '2,8p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
((${#targets[@]})) || targets=(datafile menu voices collection scenario_line wildcard)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
bin=build/fuzz/tests/fuzz
run() {
  local t=$1 work=build/fuzz/long/$1 status=0
  FUZZ_KEEP_CORPUS=1 tests/fuzz/run-fuzz.sh "$bin/${t}_fuzz" "$bin/seeds/$t" "tests/fuzz/$t.dict" \
    "$work" "${limit[@]}" >"$work.log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log" | tail -1)
  if ((status)); then
    echo "$t: FAILED after ${runs:-?} executions (exit $status); see $work.log and $work/crashes/"
  else
    echo "$t: ${runs:-?} executions, no crash"
  fi
  return "$status"
}
mkdir -p build/fuzz/long
failed=0
running=0
for t in "${targets[@]}"; do
  [[ -x $bin/${t}_fuzz ]] || { echo "fuzz.sh: no target $t" >&2; exit 2; }
  run "$t" &
  if ((++running >= jobs)); then
    wait -n || failed=1
    ((running--))
  fi
done
while ((running)); do
  wait -n || failed=1
  ((running--))
done
exit "$failed"
