#!/usr/bin/env bash
# Times tree mode on generated structure sets and dist mode on a generated pair, printing wall
# time, pairs per second and peak memory per case, then runs the Google Benchmark programs.
# Not part of the tests: the figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVARNET_BUILD_BENCH=ON \
      -DVARNET_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$jobs" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'DP=1,SP=1,J=1,C=1,bD=1,aD=1\n' >"$work/weights.txt"
printf '[weights]\nspecial=1\nbreakpoint=1\n' >"$work/distance_weights.ini"

# run_case LABEL MODE STRUCTURES GENES: prints one line of figures.
run_case() {
    local label="$1" mode="$2" count="$3" genes="$4"
    local input="$work/$label.txt"
    build-bench/bench/varnet_generate "$count" "$genes" 42 >"$input"
    local pairs=$((count * (count - 1) / 2))
    [ "$mode" = dist ] && pairs=1
    (cd "$work" && /usr/bin/time -v "$OLDPWD/build-bench/src/varnet" -c "$input" -o weights.txt \
        -r "res-$label" -m "$mode" >"$label.out" 2>"$label.err") || {
        echo "$label failed:"; tail -n 5 "$work/$label.err"; return 1; }
    local wall rss user system
    wall="$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$label.err")"
    rss="$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/$label.err")"
    user="$(sed -n 's/.*User time (seconds): //p' "$work/$label.err")"
    system="$(sed -n 's/.*System time (seconds): //p' "$work/$label.err")"
    local seconds
    seconds="$(echo "$wall" | awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }')"
    # CPU time is shown too: on a busy machine the wall time says little.
    awk -v l="$label" -v w="$seconds" -v p="$pairs" -v r="$rss" -v c="$user" -v s="$system" 'BEGIN {
        printf "%-16s wall %7.2f s  cpu %7.2f s  pairs %5d  pairs/s %8.1f  peak memory %7.1f MiB\n",
               l, w, c + s, p, (w > 0 ? p / w : 0), r / 1024 }'
}

echo "varnet on $(nproc) logical processors, load average $(cut -d" " -f1-3 /proc/loadavg)"
run_case tree-50x500 tree 50 500
run_case tree-100x1000 tree 100 1000
run_case dist-2x5000 dist 2 5000

build-bench/bench/varnet_bench --benchmark_min_time=0.2
