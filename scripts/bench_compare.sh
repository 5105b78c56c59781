#!/usr/bin/env bash
# Runs two varnet binaries side by side on generated rows and prints, per row, the least CPU
# seconds of each over interleaved runs and their ratio (new / old): the way to check that a change
# keeps the speed of the binary before it on one machine in one session. Not part of the tests.
# Usage: scripts/bench_compare.sh OLD NEW [RUNS]   (RUNS, default 3, runs of each binary a row)
# BENCH_ONLY=REGEX runs the matching rows alone. The inputs come from build-bench's generator. With
# BENCH_WRITE=1 (all rows) the table also goes to bench/side_by_side.md, under BENCH_TITLE, which
# scripts/bench.sh appends to the page of benchmark figures.
set -euo pipefail
cd "$(dirname "$0")/.."
old="$(realpath "$1")"
new="$(realpath "$2")"
runs="${3:-3}"
only="${BENCH_ONLY:-}"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVARNET_BUILD_BENCH=ON \
      -DVARNET_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target varnet_generate >/dev/null
generate="$PWD/build-bench/bench/varnet_generate"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'DP=1,SP=1,J=1,C=1,bD=1,aD=1\n' >"$work/weights.txt"
printf '[weights]\nspecial=1\nbreakpoint=1\n' >"$work/distance_weights.ini"

cpu_of() {  # cpu_of BINARY MODE ARGS...: user + system seconds of one run
    local binary="$1" mode="$2"
    shift 2
    (cd "$work" && /usr/bin/time -f '%U %S' -o time.txt "$binary" -c input.txt -o weights.txt \
        -r res -m "$mode" "$@" >/dev/null 2>&1)
    awk '{ printf "%.3f", $1 + $2 }' "$work/time.txt"
}

# row LABEL "GENERATOR ARGS" MODE ARGS...
row() {
    local label="$1" generator="$2" mode="$3"
    shift 3
    [ -z "$only" ] || [[ "$label" =~ $only ]] || return 0
    # shellcheck disable=SC2086
    "$generate" $generator >"$work/input.txt"
    local bestOld="" bestNew="" t
    for ((k = 0; k < runs; ++k)); do
        t="$(cpu_of "$old" "$mode" "$@")"
        bestOld="$(awk -v a="$bestOld" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')"
        t="$(cpu_of "$new" "$mode" "$@")"
        bestNew="$(awk -v a="$bestNew" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')"
    done
    awk -v l="$label" -v o="$bestOld" -v n="$bestNew" 'BEGIN {
        printf "| %-36s | %7.2f | %7.2f | %5.2f |\n", l, o, n, (o > 0 ? n / o : 1) }'
}

table() {
echo "| row (least CPU s of $runs runs each)     | old     | new     | ratio |"
echo "|--------------------------------------|---------|---------|-------|"
row "tree 100 x 1000" "100 1000 42 0 0" tree -p nj
row "tree 200 x 4000" "200 4000 42 0 0" tree -p nj
row "pairs 1000 x 12, shuffled" "1000 12 42 shuffled" tree -p none
row "pairs 2000 x 40, lost+dup" "2000 40 42 0.1 0.1" tree -p none
row "tree 500 x 130, 1 name x 30" "500 130 42 0.02 0.005 copies 1 30" tree -p nj
row "300 x 40, 5 % dup, order" "300 40 42 0.02 0.05 copies 3 3" tree -p nj --copies order
row "300 x 40, 5 % dup, context" "300 40 42 0.02 0.05 copies 3 3" tree -p nj --copies context
row "dist 5000 shuffled" "2 5000 42 shuffled" dist
row "dist 20000, 50 names x 100" "2 20000 42 0.02 0.005 copies 50 100" dist
row "mitochondria 2000, 300 orders, order" "mitochondria 2000 300 42" tree -p none --copies order
row "mitochondria 2000, 300 orders, context" "mitochondria 2000 300 42" tree -p none --copies context
row "bacteria 200 x 3500, order" "200 3500 42 0.1 0.02 copies 5 3" tree -p nj --copies order
row "bacteria 200 x 3500, context" "200 3500 42 0.1 0.02 copies 5 3" tree -p nj --copies context
row "mammals 10 x 15000, order" "10 15000 42 0.01 0.002 chromosomes 20" tree -p nj --copies order
row "mammals 10 x 15000, context" "10 15000 42 0.01 0.002 chromosomes 20" tree -p nj --copies context
for count in 32 300; do
    for rule in order context; do
        row "paralogues $count x 1000, $rule" "$count 1000 42 0.05 0.02 copies 50 3 moves 250" tree \
            -p nj --copies "$rule"
    done
done
}

if [ "${BENCH_WRITE:-}" = 1 ] && [ -z "$only" ]; then
    {
        echo "## Side by side: ${BENCH_TITLE:-$old against $new}"
        echo
        echo "Written by \`scripts/bench_compare.sh\` with BENCH_WRITE=1 on $(nproc) logical processors,"
        echo "load average before the run $(cut -d" " -f1-3 /proc/loadavg)."
        echo
        table
    } | tee bench/side_by_side.md
else
    table
fi
