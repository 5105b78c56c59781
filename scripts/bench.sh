#!/usr/bin/env bash
# Times tree mode, dist mode and the tree methods alone on generated inputs and prints one
# table: wall and CPU time, peak memory (from /usr/bin/time -v) and pairs per second per case,
# then runs the Google Benchmark program. A row times 100 jackknife replicates of the 50 x 1000 set
# against one run of it. Where MPI is installed, varnet-mpi runs the 100 x 1000
# set on 1, 2 and 4 ranks too. Not part of the tests: the figures depend on the machine. A case
# that needs more than BENCH_MEMORY_KB of memory (default 3 GB) or more than BENCH_SECONDS
# (default 120) is stopped and reported as such.
#
# A whole run writes its report to bench/README.md (the page of benchmark figures), so re-timing
# is this command, not an edit; the side-by-side table (bench/side_by_side.md) and the table of
# speed paths (bench/speed_paths.md, kept by hand) follow it. BENCH_ONLY=REGEX runs only the cases whose label matches (and the
# Google Benchmark program only when it matches "benchmark"), printing without writing the page;
# with BENCH_WRITE=1 too, its rows replace those of the same cases on the page.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
memoryKb="${BENCH_MEMORY_KB:-3000000}"
seconds="${BENCH_SECONDS:-120}"
only="${BENCH_ONLY:-}"

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVARNET_BUILD_BENCH=ON \
      -DVARNET_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$jobs" >/dev/null
bin="$PWD/build-bench"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'DP=1,SP=1,J=1,C=1,bD=1,aD=1\n' >"$work/weights.txt"
printf '[weights]\nspecial=1\nbreakpoint=1\n' >"$work/distance_weights.ini"

# selected LABEL: whether the case runs (every case without BENCH_ONLY).
selected() {
    [ -z "$only" ] || [[ "$1" =~ $only ]]
}

# measure LABEL PAIRS COMMAND...: runs the command under the limits and prints one table row.
measure() {
    local label="$1" pairs="$2"
    shift 2
    selected "$label" || return 0
    local log="$work/$label.time"
    local status=0
    (cd "$work" && ulimit -v "$memoryKb" &&
        timeout "$seconds" /usr/bin/time -v -o "$log" "$@" >"$label.out" 2>"$label.err") ||
        status=$?
    if [ "$status" -ne 0 ]; then
        local why="failed (exit $status)"
        [ "$status" -eq 124 ] && why="stopped after $seconds s"
        grep -qi -e "memory" -e "bad_alloc" "$work/$label.err" 2>/dev/null &&
            why="stopped at the $((memoryKb / 1000000)) GB limit"
        printf '| %-28s | %s ||||||\n' "$label" "$why"
        return 0
    fi
    local wall rss user system
    wall="$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log")"
    rss="$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")"
    user="$(sed -n 's/.*User time (seconds): //p' "$log")"
    system="$(sed -n 's/.*System time (seconds): //p' "$log")"
    awk -v l="$label" -v w="$wall" -v p="$pairs" -v r="$rss" -v c="$user" -v s="$system" 'BEGIN {
        n = split(w, part, ":"); t = 0; for (i = 1; i <= n; ++i) t = t * 60 + part[i];
        rate = p > 0 && t > 0 ? sprintf("%10.1f", p / t) : sprintf("%10s", "-");
        cpu = c + s;
        cpuRate = p > 0 && cpu > 0 ? sprintf("%11.0f", p / cpu) : sprintf("%11s", "-");
        printf "| %-28s | %8.2f | %8.2f | %9.1f | %7d | %s | %s |\n", l, t, cpu, r / 1024, p, rate,
            cpuRate }'
}

# measure_large SECONDS MEMORY_KB LABEL PAIRS COMMAND...: measure under limits of its own, for the
# cases that need more time or memory than the others.
measure_large() {
    local seconds="$1" memoryKb="$2"
    shift 2
    measure "$@"
}

# tree_case LABEL COUNT GENES [LOSS COPY]: tree mode (neighbour joining) on a generated file.
# With TREE_METHOD=none the run computes and writes the matrix alone, which times the pairs.
tree_case() {
    local label="$1" count="$2" genes="$3"
    shift 3
    selected "$label" || [ "$label" = "tree 100 x 1000" ] || return 0
    "$bin/bench/varnet_generate" "$count" "$genes" 42 "$@" >"$work/$label.txt"
    measure "$label" $((count * (count - 1) / 2)) \
        "$bin/src/varnet" -c "$label.txt" -o weights.txt -r "res-$label" -m tree \
        -p "${TREE_METHOD:-nj}"
}

# method_case METHOD COUNT: a tree method alone on a generated COUNT-taxon matrix, then the
# seconds spent in the method itself (the program prints them on standard error).
method_case() {
    local method="$1" count="$2" label="tree build $1 $2"
    selected "$label" || return 0
    if [ "$count" -le 5000 ]; then
        measure "$label" 0 "$bin/bench/varnet_tree_build" "$count" 7 real "$method"
    else
        # One matrix of 20,000 taxa is 3.2 GB.
        measure_large 1200 6000000 "$label" 0 "$bin/bench/varnet_tree_build" "$count" 7 real \
            "$method"
    fi
    echo "|   (method alone: $(sed -n 's/.*taxa: //p' "$work/$label.err"))||||||"
}

# cpu_of LABEL: the CPU seconds (user and system) of a measured case.
cpu_of() {
    awk '/User time|System time/ { t += $NF } END { print t }' "$work/$1.time"
}

# nj_ties_case: neighbour joining alone on a 2,000-taxon matrix like that of real gene orders
# (about 400 groups of identical rows, one of half the taxa, whole distances), then PHYLIP's
# neighbor on the same matrix, and the method's seconds against neighbor's CPU seconds.
nj_ties_case() {
    local label="tree build nj 2000, ties" neighbor=/usr/lib/phylip/bin/neighbor
    local other="nj 2000, ties: neighbor"
    selected "$label" || return 0
    measure "$label" 0 "$bin/bench/varnet_tree_build" 2000 7 groups nj
    [ -s "$work/$label.time" ] || return 0
    local alone
    alone="$(sed -n 's/.*taxa: \([0-9.e+-]*\) s$/\1/p' "$work/$label.err")"
    if [ ! -x "$neighbor" ]; then
        echo "|   (method alone: $alone s; PHYLIP's neighbor is not installed)||||||"
        return 0
    fi
    rm -rf "$work/neighbor" && mkdir "$work/neighbor"
    "$bin/bench/varnet_tree_build" 2000 7 groups phylip >"$work/neighbor/infile"
    measure "$other" 0 sh -c "cd neighbor && printf 'Y\\n' | $neighbor >log 2>&1"
    [ -s "$work/$other.time" ] || return 0
    awk -v a="$alone" -v n="$(cpu_of "$other")" 'BEGIN {
        printf "|   (method alone %.3f s, %.3f of neighbor'"'"'s %.2f CPU s)||||||\n", a, a / n, n }'
}

# mito_jackknife_case: 20 jackknife replicates (neighbour joining) on 2,000 mitochondrion-like
# genomes (one circle of 37 genes, tRNA names repeated) in 300 gene orders, half of them in one.
mito_jackknife_case() {
    local label="jackknife 20 of 2000 mito"
    selected "$label" || return 0
    "$bin/bench/varnet_generate" mitochondria 2000 300 42 >"$work/mito.txt"
    measure "$label" $((1999000 * 21)) "$bin/src/varnet" -c mito.txt -o weights.txt \
        -r res-mito -m tree -p nj -b 20
}

# mpi_case RANKS: tree mode on the 100 x 1000 set with varnet-mpi over RANKS ranks of one worker
# thread each (oversubscribed where the cores run out). Its pairs and pairs/s are per rank.
mpi_case() {
    local ranks="$1" root=()
    [ "$(id -u)" -eq 0 ] && root=(--allow-run-as-root)
    measure "mpi 100 x 1000, $ranks ranks" "$(awk -v k="$ranks" 'BEGIN { print 4950 / k }')" \
        mpirun -q --oversubscribe "${root[@]}" -np "$ranks" -x VARNET_THREADS=1 \
        "$bin/src/varnet-mpi" -c "tree 100 x 1000.txt" -o weights.txt -r "res-mpi-$ranks" -m tree -p nj
}

# wall_of LABEL: the wall seconds of a measured case.
wall_of() {
    sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$1.time" |
        awk '{ n = split($0, part, ":"); t = 0; for (i = 1; i <= n; ++i) t = t * 60 + part[i]; print t }'
}

# jackknife_case: 100 jackknife replicates of the 50 x 1000 set, and the time of one replicate (the
# run less the plain run of the same file, timed here unless its row was) against the plain run's.
jackknife_case() {
    local label="jackknife 100 of 50 x 1000" plain="tree 50 x 1000"
    selected "$label" || return 0
    [ -s "$work/$plain.txt" ] || "$bin/bench/varnet_generate" 50 1000 42 0 0 >"$work/$plain.txt"
    [ -s "$work/$plain.time" ] || (cd "$work" && /usr/bin/time -v -o "$plain.time" \
        "$bin/src/varnet" -c "$plain.txt" -o weights.txt -r res-plain -m tree -p nj >/dev/null 2>&1)
    measure "$label" $((1225 * 101)) "$bin/src/varnet" -c "$plain.txt" -o weights.txt \
        -r res-jackknife -m tree -p nj -b 100
    [ -s "$work/$label.time" ] || return 0
    awk -v all="$(wall_of "$label")" -v one="$(wall_of "$plain")" 'BEGIN {
        per = (all - one) / 100
        printf "|   (per replicate %.3f s, one run %.2f s: %.2f x)||||||\n", per, one, per / one }'
}

# pair_in_mode MODE LABEL GENES [shuffled] [copies NAMES COPIES]: one mode on a generated pair.
pair_in_mode() {
    local mode="$1" label="$2" genes="$3"
    shift 3
    selected "$label" || return 0
    "$bin/bench/varnet_generate" 2 "$genes" 42 "$@" >"$work/$label.txt"
    measure "$label" 1 "$bin/src/varnet" -c "$label.txt" -o weights.txt -r "res-$label" -m "$mode"
}

# dist_case LABEL GENES ...: dist mode on a generated pair.
dist_case() { pair_in_mode dist "$@"; }

# picture_case LABEL GENES ...: dist mode on a generated pair, then the size of its picture
# pair.svg and the number of shapes (paths) in it.
picture_case() {
    local label="$1"
    dist_case "$@"
    local picture="$work/res-$label/pair.svg"
    [ -s "$picture" ] || return 0
    echo "|   (pair.svg $(awk -v b="$(wc -c <"$picture")" 'BEGIN { printf "%.2f", b / 1e6 }') MB," \
        "$(grep -o '<path' "$picture" | wc -l) shapes)||||||"
}

# pair_case LABEL GENES ...: tree mode on a generated pair, the solver's work on one pair (both
# ways) without dist mode's step file.
pair_case() { pair_in_mode tree "$@"; }

# copies_case LABEL RULE COUNT GENES ARGS...: tree mode (neighbour joining) with copies paired by
# RULE on a generated file.
copies_case() {
    local label="$1" rule="$2" count="$3" genes="$4"
    shift 4
    selected "$label" || return 0
    "$bin/bench/varnet_generate" "$count" "$genes" 42 "$@" >"$work/$label.txt"
    measure "$label" $((count * (count - 1) / 2)) \
        "$bin/src/varnet" -c "$label.txt" -o weights.txt -r "res-$label" -m tree -p nj --copies "$rule"
}

# page_header: the page's text above the figures.
page_header() {
    cat <<'TEXT'
# Benchmark figures

Written by `scripts/bench.sh` (a whole run, or `BENCH_ONLY=REGEX BENCH_WRITE=1` for some rows, which
then close the table under a line of their own load); do not edit by hand. Tree cases
run neighbour joining on generated genomes (`bench/varnet_generate COUNT GENES SEED [LOSS COPY |
shuffled] [copies NAMES COPIES]`): the same gene content, with 5 % of the genes lost and 5 % copied,
or with some names in many copies. Dist cases run
shuffled pairs, a lightly rearranged pair and a mammal-like pair (20 chromosomes, with
translocations); below some, the size of the picture `pair.svg` (`drawPair` in the Google Benchmark
table times drawing it alone). `pairs` cases compute the matrix alone (`-p none`) of
many small genomes. `tree build METHOD COUNT` runs a tree method alone on a generated matrix
(`bench/varnet_tree_build COUNT SEED real|int upgma|nj|kruskal` prints the tree and the seconds
spent in the method; the method takes the matrix over, so the peak memory is one matrix and what
the method adds). `mpi` rows run `varnet-mpi` on the 100 x 1000 set with one worker thread per
rank; their pairs and pairs/s are per rank. The jackknife row runs 100 replicates (`-b 100`) on
the 50 x 1000 set; the line below it divides the time beyond the plain run by 100 and compares it
with the plain run. Two rows take inputs like real gene orders, where many genomes are written
alike: `tree build nj 2000, ties` runs neighbour joining alone on 2,000 taxa in about 400 groups of
identical rows with whole distances (`varnet_tree_build 2000 7 groups nj`), then PHYLIP's
`neighbor` on the same matrix, and compares the method's seconds with neighbor's CPU seconds;
`jackknife 20 of 2000 mito` runs 20 replicates with neighbour joining on 2,000 mitochondrion-like
genomes in 300 gene orders, half of them in one (`varnet_generate mitochondria 2000 300 42`). On a
shared machine CPU seconds say more than wall seconds.

TEXT
}

# report: the measured part of the page, also printed as it runs.
# mitochondria_case RULE: the matrix alone of 2,000 mitochondrion-like genomes in 300 distinct gene
# orders (37 genes, tRNA names in 2 copies), copies paired by RULE.
mitochondria_case() {
    local rule="$1" label="mitochondria 2000, 300 orders, $1"
    selected "$label" || return 0
    "$bin/bench/varnet_generate" mitochondria 2000 300 42 >"$work/$label.txt"
    measure "$label" 1999000 "$bin/src/varnet" -c "$label.txt" -o weights.txt -r "res-$label" \
        -m tree -p none --copies "$rule"
}

report() {
    echo "varnet on $(nproc) logical processors ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo |
        head -n 1)), load average before the run $(cut -d" " -f1-3 /proc/loadavg)"
    echo
    echo "| case                         | wall s   | CPU s    | peak MiB  | pairs   | pairs/s    | pairs/CPU s |"
    echo "|------------------------------|----------|----------|-----------|---------|------------|-------------|"
    tree_case "tree 50 x 1000" 50 1000 0 0
    tree_case "tree 100 x 1000" 100 1000 0 0
    jackknife_case
    tree_case "tree 200 x 4000" 200 4000 0 0
    # Many small genomes: the fixed cost of a pair, not its genes, is what they pay (the matrix
    # alone, no tree).
    TREE_METHOD=none tree_case "pairs 1000 x 12" 1000 12 0 0
    # The same count of genomes all written differently (the set above holds 87 distinct orders,
    # each compared once): the solver's fixed cost per pair.
    TREE_METHOD=none tree_case "pairs 1000 x 12, shuffled" 1000 12 shuffled
    TREE_METHOD=none tree_case "pairs 2000 x 40, lost+dup" 2000 40 0.1 0.1
    if [ -x "$bin/src/varnet-mpi" ]; then
        for ranks in 1 2 4; do mpi_case "$ranks"; done
    fi
    tree_case "tree 50 x 1000, 5 % lost+dup" 50 1000 0.05 0.05
    tree_case "tree 100 x 1000, 5 % lost+dup" 100 1000 0.05 0.05
    dist_case "dist 1000 shuffled" 1000 shuffled
    dist_case "dist 5000 shuffled" 5000 shuffled
    picture_case "dist 20000 shuffled" 20000 shuffled
    dist_case "dist 100000 light" 100000 0 0
    # Two mammal-like genomes: 15,000 blocks on 20 linear chromosomes, inversions, moves and
    # translocations; the row below gives the size of the picture.
    picture_case "dist 15000 mammal-like" 15000 0.01 0.002 chromosomes 20
    # Many copies of a name, paired in their order of occurrence. Dist mode's step file prints
    # every component a step changes, so it grows with the lengths of the long components that
    # scattered copies make; the pair rows time the solver alone.
    pair_case "pair 20000, 50 names x 100" 20000 0.02 0.005 copies 50 100
    pair_case "pair 40000, 100 names x 100" 40000 0.02 0.005 copies 100 100
    dist_case "dist 20000, 50 names x 100" 20000 0.02 0.005 copies 50 100
    pair_case "pair 5000 x 1 name, shuffled" 5000 shuffled copies 1 5000
    pair_case "pair 10000 x 1 name, shuffled" 10000 shuffled copies 1 10000
    dist_case "dist 5000 x 1 name, shuffled" 5000 shuffled copies 1 5000
    tree_case "tree 500 x 130, 1 name x 30" 500 130 0.02 0.005 copies 1 30
    tree_case "tree 500 x 130" 500 130 0.02 0.005
    # Copies paired by context against by order, on 40-gene genomes: 2 names in 2 copies and 2 %
    # of the genes copied, then 3 names in 3 copies and 5 % copied (more copies left uncertain).
    for rule in order context; do
        copies_case "300 x 40, 2 % dup, $rule" "$rule" 300 40 0.02 0.02 copies 2 2
    done
    for rule in order context; do
        copies_case "300 x 40, 5 % dup, $rule" "$rule" 300 40 0.02 0.05 copies 3 3
    done
    # Paralogue-rich genomes at high divergence: about 7 % of the names in 2 to 4 copies (50 names
    # in 3 copies, some lost, 2 % of the genes copied once more), 250 inversions and moves in each
    # genome of 1,000 genes, so that nearly every gene has moved since the common ancestor.
    for count in 32 300; do
        for rule in order context; do
            copies_case "paralogues $count x 1000, $rule" "$rule" "$count" 1000 0.05 0.02 \
                copies 50 3 moves 250
        done
    done
    # The tree methods alone on generated matrices.
    for rule in order context; do mitochondria_case "$rule"; done
    # Bacteria-like: 200 genomes of about 3,500 genes, 10 % lost, a few paralogue families;
    # mammal-like: 10 genomes of 15,000 blocks on 20 chromosomes.
    for rule in order context; do
        copies_case "bacteria 200 x 3500, $rule" "$rule" 200 3500 0.1 0.02 copies 5 3
    done
    for rule in order context; do
        copies_case "mammals 10 x 15000, $rule" "$rule" 10 15000 0.01 0.002 chromosomes 20
    done
    for count in 2000 5000 20000; do
        for method in upgma nj kruskal; do method_case "$method" "$count"; done
    done
    # Matrices and data sets like the real ones, where many genomes are written alike.
    nj_ties_case
    mito_jackknife_case
    echo "load average after the run $(cut -d" " -f1-3 /proc/loadavg)"

    if selected benchmark; then
        echo
        echo "Google Benchmark (CPU time of the library calls alone):"
        echo
        echo '```'
        "$bin/bench/varnet_bench" --benchmark_min_time=0.2 2>&1
        echo '```'
    fi
}

if [ -n "$only" ] && [ -z "${BENCH_WRITE:-}" ]; then
    report
    exit 0
fi
if [ -n "$only" ]; then
    # BENCH_WRITE=1 with BENCH_ONLY: the rows timed replace those of the same cases on the page
    # (or join the table's end), with a line saying when and under what load they were timed.
    report | tee "$work/rows.md"
    page="bench/README.md"
    page_header >"$work/header.md"
    awk -v rows="$work/rows.md" -v header="$work/header.md" '
        BEGIN {
            while ((getline line < rows) > 0) {
                if (line ~ /^\| / && line !~ /^\| case/ && line !~ /^\|---/) {
                    split(line, cell, "|"); label = cell[2]; gsub(/^ +| +$/, "", label)
                    if (line !~ /^\|   \(/) timed[label] = 1
                    added = added line "\n"
                } else if (line ~ /^varnet on /) {
                    note = "Rows timed again alone: " line "\n"
                }
            }
            while ((getline line < header) > 0) print line
        }
        !figures && !/^varnet on / { next }
        { figures = 1 }
        /^\| / && !/^\|   \(/ {
            split($0, cell, "|"); label = cell[2]; gsub(/^ +| +$/, "", label)
            skipping = label in timed
            if (skipping) next
        }
        /^\|   \(/ && skipping { next }
        !/^\| / { skipping = 0 }
        /^Rows timed again alone: / { next }
        /^load average after the run/ && !done { printf "%s%s", added, note; done = 1 }
        { print }
    ' "$page" >"$page.tmp"
    mv "$page.tmp" "$page"
    echo "Updated $page."
    exit 0
fi
report | tee "$work/report.md"
page="bench/README.md"
{
    page_header
    cat "$work/report.md"
    if [ -f bench/side_by_side.md ]; then
        echo
        cat bench/side_by_side.md
    fi
    # The table of speed paths is kept by hand in a file of its own: a run never re-measures it.
    if [ -f bench/speed_paths.md ]; then
        echo
        cat bench/speed_paths.md
    fi
} >"$page.tmp"
mv "$page.tmp" "$page"
echo "Wrote $page."
