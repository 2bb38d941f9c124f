#!/usr/bin/env bash
# The voice name report over a directory of 1,000 An1 banks, measured against reading the
# same files with cat in the same run.
#
#   bench/report_bench.sh BUILD_DIR [BANKS]
#
# BUILD_DIR is a configured and built folder (a Release build gives the meaningful figure);
# this script builds nothing. It takes veltrano-script from there, and make_banks when it is
# there too (otherwise the banks are made here with head, printf and dd). BANKS defaults to
# 1000. Environment: RUNS sets the number of timed runs of each side (default 7); MAKE_BANKS
# names a make_banks to use instead of the build folder's.
#
# Each run of the report is one veltrano-script scenario: start-up, command 503 with the bank
# folder, command 515. Each run of the reference is `cat` of every bank to /dev/null. The runs
# alternate, after one untimed run of each to fill the page cache; the script prints the
# median of each side and report / cat.
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 BUILD_DIR [BANKS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
banks=${2:-1000}
runs=${RUNS:-7}
script="$build/veltrano-script"
if [[ ! -x "$script" ]]; then
    echo "no veltrano-script in $build (build the target veltrano-script first)" >&2
    exit 2
fi
if ! [[ "$banks" =~ ^[1-9][0-9]*$ && "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "BANKS and RUNS must be positive whole numbers" >&2
    exit 2
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)

work=$(mktemp -d "${TMPDIR:-/tmp}/veltrano-report-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/banks" "$work/docs"

# --- the banks ------------------------------------------------------------------------------
make_banks=${MAKE_BANKS:-$build/make_banks}
if [[ -x "$make_banks" ]]; then
    "$make_banks" "$work/banks" --bulk "$banks" >/dev/null
    made_by="make_banks --bulk"
else
    # One bank of 128 An1 voices (9014 + 128 * 1104 bytes), copied: a name and a category
    # every voice, the rest zero.
    template="$work/template.an1"
    head -c 150326 /dev/zero >"$template"
    for ((k = 0; k < 128; k++)); do
        printf "Voice %03d \\$(printf '%03o' $((k % 23)))" "$k" |
            dd of="$template" bs=1 seek=$((9014 + 1104 * k)) conv=notrunc status=none
    done
    for ((i = 1; i <= banks; i++)); do
        cp "$template" "$work/banks/$(printf 'Bank %04d.an1' "$i")"
    done
    rm "$template"
    made_by="a shell loop (no make_banks in $build)"
fi
files=("$work/banks"/*.an1)
if [[ ${#files[@]} -ne $banks ]]; then
    echo "expected $banks banks, found ${#files[@]}" >&2
    exit 1
fi
bytes=$(cat "${files[@]}" | wc -c)

# --- the scenario ---------------------------------------------------------------------------
scenario="$work/report.scn"
cat >"$scenario" <<EOF
program-dir $build
documents $work/docs
start
answer folder $work/banks
menu 503
answer input "Voice Names"
answer question yes
menu 515
EOF
report="$work/docs/Voice Names.txt"

# --- timing ---------------------------------------------------------------------------------
TIMEFORMAT=%R
# Seconds of wall-clock time one command takes; its output is dropped.
seconds() {
    local t
    t=$({ time "$@" >/dev/null 2>&1; } 2>&1) || {
        echo "failed: $*" >&2
        exit 1
    }
    echo "$t"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

seconds cat "${files[@]}" >/dev/null
seconds "$script" "$scenario" >/dev/null
if [[ ! -s "$report" ]] || ! tail -n 1 "$report" | grep -q '^Total number of voicenames'; then
    echo "the scenario wrote no complete report ($report)" >&2
    exit 1
fi
blocks=$(grep -c '^= [0-9]* =' "$report" || true)
if [[ "$blocks" -ne "$banks" ]]; then
    echo "the report has $blocks file blocks, expected $banks" >&2
    exit 1
fi

report_times=()
cat_times=()
for ((r = 0; r < runs; r++)); do
    cat_times+=("$(seconds cat "${files[@]}")")
    report_times+=("$(seconds "$script" "$scenario")")
done

report_median=$(median "${report_times[@]}")
cat_median=$(median "${cat_times[@]}")
echo "banks:        $banks An1 files, $bytes bytes, made by $made_by"
echo "build:        $build (${build_type:-build type unknown})"
echo "report total: $(tail -n 1 "$report" | tr -d '\r' | sed 's/.*: *//') voice names"
echo "runs:         $runs of each"
echo "report runs:  ${report_times[*]} s"
echo "cat runs:     ${cat_times[*]} s"
echo "report:       $report_median s (median; start-up, scan and report)"
echo "cat:          $cat_median s (median)"
awk -v r="$report_median" -v c="$cat_median" \
    'BEGIN { if (c > 0) printf "ratio:        %.2f (report / cat; goal: at most 1.50)\n", r / c; else print "ratio:        cat took no measurable time" }'
