#!/usr/bin/env bash
# `veltrano-cli find` over a library of generated banks, measured against `cat` of the same
# files in the same run.
#
#   bench/cli_find.sh BUILD_DIR [BANKS]
#
# BUILD_DIR is a configured and built folder holding veltrano-cli and make_banks (a
# RelWithDebInfo or Release build gives the meaningful figure); this script builds nothing.
# BANKS (default 2000) banks are made with `make_banks --count BANKS --tree`: .an1 and .ans
# banks in turn, in nested folders. Each run of veltrano-cli is
# `veltrano-cli find --controller 13 FOLDER` (the folder walk included); each run of the
# baseline is `cat` of every bank, listed beforehand. After one untimed run of each the runs
# alternate, RUNS of each (default 9); the script prints min/median/max of both and the ratio
# of the medians (goal: at most 1.50). When the build holds bench/read_files (one reused
# buffer, no zero fill: the floor for reading many files), it is timed beside them too, since
# cat's fresh buffer per file costs a lot where page faults are dear (virtual machines).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 BUILD_DIR [BANKS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
banks=${2:-2000}
runs=${RUNS:-9}
for t in veltrano-cli make_banks; do
    if [[ ! -x "$build/$t" ]]; then
        echo "no $t in $build (build the targets veltrano-cli and make_banks first)" >&2
        exit 2
    fi
done
if ! [[ "$banks" =~ ^[1-9][0-9]*$ && "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "BANKS and RUNS must be positive whole numbers" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/veltrano-cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
lib="$work/library"
"$build/make_banks" "$lib" --count "$banks" --tree >/dev/null
mapfile -d '' files < <(find "$lib" -type f -print0 | sort -z)
if [[ ${#files[@]} -ne $banks ]]; then
    echo "expected $banks banks, found ${#files[@]}" >&2
    exit 1
fi
bytes=$(cat "${files[@]}" | wc -c)

# The answer must be a real one: every bank found, some voices holding controller 13.
"$build/veltrano-cli" find --controller 13 "$lib" >"$work/found.txt"
found=$(wc -l <"$work/found.txt")
if [[ "$found" -eq 0 ]]; then
    echo "veltrano-cli found no voice with controller 13" >&2
    exit 1
fi

TIMEFORMAT=%3R
# Seconds of wall-clock time one command takes; its output is dropped.
seconds() {
    local t
    t=$({ time "$@" >/dev/null 2>&1; } 2>&1) || {
        echo "failed: $*" >&2
        exit 1
    }
    echo "$t"
}
stats() { # min median max
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
              printf "%.4f %.4f %.4f\n", v[1], m, v[NR] }'
}

reader="$build/bench/read_files"
[[ -x "$reader" ]] || reader=
seconds "$build/veltrano-cli" find --controller 13 "$lib" >/dev/null
seconds cat "${files[@]}" >/dev/null
[[ -z "$reader" ]] || seconds "$reader" "${files[@]}" >/dev/null
cli=() base=() floor=()
for ((r = 0; r < runs; r++)); do
    cli+=("$(seconds "$build/veltrano-cli" find --controller 13 "$lib")")
    base+=("$(seconds cat "${files[@]}")")
    [[ -z "$reader" ]] || floor+=("$(seconds "$reader" "${files[@]}")")
done
read -r cmin cmed cmax < <(stats "${cli[@]}")
read -r bmin bmed bmax < <(stats "${base[@]}")
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
echo "banks:  $banks (.an1 and .ans in turn, nested folders), $bytes bytes; $found voices found"
echo "build:  $build (${build_type:-build type unknown}), $runs runs of each, $(nproc) cores"
printf '  %-22s min %8.4f  median %8.4f  max %8.4f s\n' "veltrano-cli find" "$cmin" "$cmed" "$cmax"
printf '  %-22s min %8.4f  median %8.4f  max %8.4f s\n' "cat" "$bmin" "$bmed" "$bmax"
awk -v a="$cmed" -v b="$bmed" 'BEGIN { if (b > 0) printf "  ratio find / cat       %.2f (goal: at most 1.50)\n", a / b;
                                       else print "  ratio: cat took no measurable time" }'
if [[ -n "$reader" ]]; then
    read -r fmin fmed fmax < <(stats "${floor[@]}")
    printf '  %-22s min %8.4f  median %8.4f  max %8.4f s\n' "one-buffer reader" "$fmin" "$fmed" "$fmax"
    awk -v a="$cmed" -v b="$fmed" 'BEGIN { if (b > 0) printf "  ratio find / reader    %.2f\n", a / b }'
fi
