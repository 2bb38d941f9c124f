#!/usr/bin/env bash
# Veltrano's speed measured side by side with a baseline in the same run. From a fresh clone:
#
#   bench/run.sh
#
# builds a RelWithDebInfo tree in build/bench (the programs, make_banks and the timers in
# bench/), makes its own data with make_banks in a temporary folder, and prints for each
# piece of work min/median/max of RUNS runs (default 15; the runs of the two sides
# alternate, after one untimed run of each) and the ratio of the medians:
#
#   * the scan of a 10,000-file and a 50,000-file tree (one in five a bank), the whole
#     program run through veltrano-script, against `find TREE -iname '*.an1'`;
#   * the file finder alone against a plain readdir walk and a walk with stat per entry;
#   * the voice name report of 2,000 banks against `cat` and a one-buffer reader;
#   * opening and listing a 16 MiB .ans file against `cat` of it;
#   * `veltrano-cli find --controller 13` and `veltrano-cli report` over the 2,000 banks
#     against `cat` and the one-buffer reader; `veltrano-cli set-matrix --write` over a copy
#     of them against a baseline that reads each bank and writes its backup and new bytes
#     through the same safe writer (write_files), and the plan alone against the one-buffer
#     reader (when veltrano-cli is built);
#   * the desktop program's start-up to its window mapped, and its peak memory, against a
#     bare wxWidgets frame built by the same build (under Xvfb, when there is one);
#   * the Google Benchmark of search, replace and the voice list.
#
# Environment: RUNS, BENCH_DISPLAY (the Xvfb display to use, default :105), BUILD (another
# build folder; it is configured and built here as well), PARTS (the parts to run, of
# "scan report big cli desktop clicks"; default all). Needs 3 GB free in TMPDIR.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
runs=${RUNS:-15}
build=${BUILD:-$src/build/bench}
display=${BENCH_DISPLAY:-:105}
parts=" ${PARTS:-scan report big cli desktop clicks} "
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive whole number" >&2; exit 2; }
want() { [[ $parts == *" $1 "* ]]; }

if [[ -x scripts/deps.sh ]]; then scripts/deps.sh >/dev/null; fi
echo "building in $build ..."
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target veltrano-script make_banks scan_timer read_files write_files \
    >/dev/null
# The desktop pieces, veltrano-cli and the Google Benchmark exist only where their libraries
# (and, for veltrano-cli, its sources) do.
for t in veltrano veltrano-cli veltrano_bench map_timer bare_frame store_list_timer; do
    cmake --build "$build" -j2 --target "$t" >/dev/null 2>&1 || true
done
# The path of a built program, found in the build folder or its bench folder.
bin() {
    if [[ -x "$build/$1" ]]; then echo "$build/$1"; else echo "$build/bench/$1"; fi
}
has() { [[ -x "$(bin "$1")" ]]; }
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrano-bench.XXXXXX")
xvfb_pid=
cleanup() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# --- measuring ---------------------------------------------------------------------------
# Seconds one command takes, to the microsecond; its output is dropped. A failing command
# stops the script.
seconds() {
    local t0=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    local t1=$EPOCHREALTIME
    awk -v a="${t0/,/.}" -v b="${t1/,/.}" 'BEGIN { printf "%.6f\n", b - a }'
}
# min median max of the numbers given.
stats() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
              printf "%.4f %.4f %.4f\n", v[1], m, v[NR] }'
}
median() { stats "$@" | awk '{ print $2 }'; }
row() { # label min med max unit
    printf '  %-34s min %9.4f  median %9.4f  max %9.4f %s\n' "$1" $2 "$3"
}
ratio() { # label a b goal
    awk -v a="$2" -v b="$3" -v l="$1" -v g="$4" \
        'BEGIN { if (b > 0) printf "  %-34s %.2f%s\n", l, a / b, g; else printf "  %-34s -\n", l }'
}
# compare LABEL_A "CMD A" LABEL_B "CMD B" GOAL: both sides RUNS times, alternating.
compare() {
    local la=$1 ca=$2 lb=$3 cb=$4 goal=$5 a=() b=()
    eval "seconds $ca" >/dev/null
    eval "seconds $cb" >/dev/null
    for ((r = 0; r < runs; r++)); do
        a+=("$(eval "seconds $ca")")
        b+=("$(eval "seconds $cb")")
    done
    row "$la" "$(stats "${a[@]}")" s
    row "$lb" "$(stats "${b[@]}")" s
    ratio "ratio $la / $lb" "$(median "${a[@]}")" "$(median "${b[@]}")" "$goal"
}

scenario() { # FILE, then the lines
    local f=$1
    shift
    printf '%s\n' "program-dir $build" "documents $work/docs" start "$@" >"$f"
}
mkdir -p "$work/docs"
echo "build: $build (RelWithDebInfo), $runs runs each, $(nproc) cores"

# --- the scan ------------------------------------------------------------------------------
if want scan; then
for files in 10000 50000; do
    tree="$work/tree$files"
    "$build/make_banks" "$tree" --scan-tree "$files" >/dev/null
    scenario "$work/scan$files.scn" "answer folder $tree" "menu 503"
    echo
    echo "scan of $files files ($((files / 5)) banks):"
    compare "veltrano-script scan" "\"$build/veltrano-script\" \"$work/scan$files.scn\"" \
        "find -iname '*.an1'" "find \"$tree\" -iname '*.an1'" " (goal: at most 1.20)"
    echo "  the finder alone, in one process (ms):"
    "$(bin scan_timer)" "$tree" '*.an1' "$runs" | sed 's/^/    /'
done
scenario "$work/start.scn"
echo
echo "veltrano-script start-up alone (part of each scan above):"
a=()
for ((r = 0; r < runs; r++)); do a+=("$(seconds "$build/veltrano-script" "$work/start.scn")"); done
row "start-up" "$(stats "${a[@]}")" s
rm -rf "$work/tree50000"
fi

# --- the report -------------------------------------------------------------------------------
banks="$work/banks"
if want report || want cli; then "$build/make_banks" "$banks" --bulk 2000 >/dev/null; fi
if want report; then
scenario "$work/report.scn" "answer folder $banks" "menu 503" 'answer input "Voice Names"' \
    "answer question yes" "menu 515"
"$build/veltrano-script" "$work/report.scn" >/dev/null
if ! tail -n 1 "$work/docs/Voice Names.txt" | grep -q '^Total number of voicenames'; then
    echo "the report scenario wrote no complete report" >&2
    exit 1
fi
echo
echo "voice name report of 2,000 banks ($(du -sh "$banks" | cut -f1)), start-up and scan included:"
compare "report" "\"$build/veltrano-script\" \"$work/report.scn\"" \
    "cat" "cat \"$banks\"/*.an1" " (goal: at most 1.50)"
compare "report" "\"$build/veltrano-script\" \"$work/report.scn\"" \
    "one-buffer reader" "\"$(bin read_files)\" \"$banks\"/*.an1" " (goal: at most 1.50)"
fi

# --- one 16 MiB file -------------------------------------------------------------------------
# As many voices as the read bound of 16 MiB holds (9,083): voice 0 of a sample bank over and
# over, then that bank's last voice, which ends the list.
if want big; then
big="$work/big"
mkdir -p "$big" "$work/samples"
"$build/make_banks" "$work/samples" >/dev/null
voices=$(((16 * 1024 * 1024) / 1847))
voice="$work/voice0"
head -c 1847 "$work/samples/Pads.ans" >"$voice" # voice number 0
while [[ $(stat -c %s "$voice") -lt $(((voices - 1) * 1847)) ]]; do
    cat "$voice" "$voice" >"$voice.2" && mv "$voice.2" "$voice"
done
{ head -c $(((voices - 1) * 1847)) "$voice"; tail -c 1847 "$work/samples/Pads.ans"; } >"$big/Big.ans"
scenario "$work/big.scn" "answer folder $big" "menu 502" "click lsb 300 0"
scenario "$work/big-check.scn" "answer folder $big" "menu 502" "click lsb 300 0" "print lsb 100"
listed=$("$build/veltrano-script" "$work/big-check.scn" | sed -n 1p)
if [[ $listed != "lsb 100 count=$voices "* ]]; then
    echo "the 16 MiB file was not listed whole" >&2
    exit 1
fi
echo
echo "open and list a 16 MiB .ans file ($(stat -c %s "$big/Big.ans") bytes, $voices voices), start-up included:"
compare "open and list" "\"$build/veltrano-script\" \"$work/big.scn\"" \
    "cat" "cat \"$big/Big.ans\"" " (goal: at most 2.00)"
rm -rf "$big"
fi

# --- veltrano-cli ------------------------------------------------------------------------------
if want cli; then
echo
if has veltrano-cli; then
    echo "veltrano-cli find over the same 2,000 banks, the folder walk included:"
    compare "veltrano-cli find" "\"$build/veltrano-cli\" find --controller 13 \"$banks\"" \
        "cat" "cat \"$banks\"/*.an1" " (goal: at most 1.50)"
    compare "veltrano-cli find" "\"$build/veltrano-cli\" find --controller 13 \"$banks\"" \
        "one-buffer reader" "\"$(bin read_files)\" \"$banks\"/*.an1" ""
    echo "  (bench/cli_find.sh times it alone, over .an1 and .ans banks in nested folders)"
    echo "veltrano-cli report of the same banks, the folder walk included:"
    compare "veltrano-cli report" "\"$build/veltrano-cli\" report \"$banks\" \"$work/cli-report.txt\"" \
        "one-buffer reader" "\"$(bin read_files)\" \"$banks\"/*.an1" " (goal: at most 1.50)"

    # The edits over a copy of the banks. Each written run takes the other of two matrices,
    # so that every run changes every voice of every bank; the plan takes a third, which
    # every voice would take.
    edits="$work/edits"
    cp -r "$banks" "$edits"
    for c in 1 2 3; do
        {
            echo "slot,controller,controller_name,parameter,parameter_name,depth,depth_name"
            for s in $(seq 16); do echo "$s,$c,,$s,,64,"; done
        } >"$work/matrix$c.csv"
    done
    echo 1 >"$work/turn"
    set_matrix_write() {
        local t
        read -r t <"$work/turn"
        t=$((3 - t))
        echo "$t" >"$work/turn"
        "$build/veltrano-cli" set-matrix --from-csv "$work/matrix$t.csv" --write "$edits"
    }
    echo "veltrano-cli set-matrix over a copy of the banks (every voice changes), the folder walk"
    echo "included; the baseline reads each bank and writes its backup and new bytes through the"
    echo "same safe writer:"
    compare "set-matrix --write" "set_matrix_write" \
        "read, back up, write" "\"$(bin write_files)\" \"$edits\"/*.an1" " (goal: at most 1.20)"
    compare "set-matrix plan" \
        "\"$build/veltrano-cli\" set-matrix --from-csv \"$work/matrix3.csv\" \"$edits\"" \
        "one-buffer reader" "\"$(bin read_files)\" \"$edits\"/*.an1" " (goal: at most 1.50)"
    rm -rf "$edits"
else
    echo "veltrano-cli: not built (no such target yet)"
fi
fi

# --- start-up of the desktop program -----------------------------------------------------------
echo
if ! want desktop; then
    :
elif has veltrano && has bare_frame && has map_timer && command -v Xvfb >/dev/null; then
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    export NO_AT_BRIDGE=1 GTK_A11Y=none
    # One untimed run of each, then alternating runs: seconds to the window mapped and the
    # peak resident memory in KiB (the program runs 0.5 s past the map, for the first paint).
    "$(bin map_timer)" 500 "$build/veltrano" >/dev/null
    "$(bin map_timer)" 500 "$(bin bare_frame)" >/dev/null
    vt=() vm=() bt=() bm=()
    for ((r = 0; r < runs; r++)); do
        read -r t m < <("$(bin map_timer)" 500 "$build/veltrano")
        vt+=("$t") vm+=("$m")
        read -r t m < <("$(bin map_timer)" 500 "$(bin bare_frame)")
        bt+=("$t") bm+=("$m")
    done
    echo "desktop start-up to the window mapped (Xvfb $display, no window manager):"
    row "veltrano" "$(stats "${vt[@]}")" s
    row "bare wxWidgets frame" "$(stats "${bt[@]}")" s
    ratio "ratio veltrano / bare frame" "$(median "${vt[@]}")" "$(median "${bt[@]}")" \
        " (goal: at most 1.30)"
    echo "peak resident memory (MiB):"
    row "veltrano" "$(stats "${vm[@]}" | awk '{ printf "%f %f %f", $1 / 1024, $2 / 1024, $3 / 1024 }')" MiB
    row "bare wxWidgets frame" "$(stats "${bm[@]}" | awk '{ printf "%f %f %f", $1 / 1024, $2 / 1024, $3 / 1024 }')" MiB
    awk -v a="$(median "${vm[@]}")" -v b="$(median "${bm[@]}")" \
        'BEGIN { printf "  %-34s %+.1f MiB (goal: at most +2)\n", "difference of the medians", (a - b) / 1024 }'
    bx=()
    for ((r = 0; r < runs; r++)); do
        read -r t m < <(BARE_FRAME_TEXT=1 "$(bin map_timer)" 500 "$(bin bare_frame)")
        bx+=("$m")
    done
    awk -v a="$(median "${vm[@]}")" -v b="$(median "${bx[@]}")" \
        'BEGIN { printf "  %-34s %+.1f MiB (against the bare frame with one line of text)\n", "difference of the medians", (a - b) / 1024 }'
    if has store_list_timer; then
        echo "stored-matrix list of the desktop program (ms):"
        RUNS=$(((runs + 2) / 3)) "$(bin store_list_timer)" 2>/dev/null
    fi
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=
else
    echo "desktop start-up: skipped (needs the wx program, bare_frame, map_timer and Xvfb)"
fi

# --- the clicks ------------------------------------------------------------------------------
echo
if ! want clicks; then
    :
elif has veltrano_bench; then
    echo "search, replace and the voice list (Google Benchmark; goal: each under 1 ms):"
    "$(bin veltrano_bench)" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        2>/dev/null | grep -E '_(median|max)? |_median' | sed 's/^/  /'
else
    echo "Google Benchmark: not built (libbenchmark-dev is missing)"
fi
