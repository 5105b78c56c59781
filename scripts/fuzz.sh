#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (in build-fuzz/) and runs each for the given number of seconds (default 600) from a corpus
# seeded with the golden inputs. Not part of scripts/test.sh. Fuzzing goes on after a finding
# (a broken property, a crash, a timeout): each input is saved in build-fuzz/findings/<target>/
# and the reason is in build-fuzz/<target>.log; the corpora grow in build-fuzz/corpus/<target>/.
# Usage: scripts/fuzz.sh [seconds per target] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(structure_reader_fuzz weight_files_fuzz dist_pipeline_fuzz)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVARNET_BUILD_FUZZ=ON -DVARNET_BUILD_TESTS=OFF -DVARNET_SANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

# Seeds: every golden structure file and weight file; the dist pipeline reads a weights line
# followed by a structure file.
seed() {
    local target="$1" dir="build-fuzz/corpus/$1" n=0
    mkdir -p "$dir"
    for case in tests/golden/*/*/; do
        n=$((n + 1))
        case "$target" in
            structure_reader_fuzz) cp "$case/structures.txt" "$dir/golden-$n" 2>/dev/null || true ;;
            weight_files_fuzz)
                cp "$case/weights.txt" "$dir/golden-$n-weights" 2>/dev/null || true
                cp "$case/distance_weights.ini" "$dir/golden-$n-ini" 2>/dev/null || true ;;
            dist_pipeline_fuzz)
                if [ -f "$case/weights.txt" ] && [ -f "$case/structures.txt" ]; then
                    { head -n 1 "$case/weights.txt"; cat "$case/structures.txt"; } >"$dir/golden-$n"
                fi ;;
        esac
    done
}

for target in "${targets[@]}"; do
    seed "$target"
    mkdir -p "build-fuzz/findings/$target"
    echo "== $target: ${seconds} s"
    status=0
    "build-fuzz/fuzz/$target" "build-fuzz/corpus/$target" -max_total_time="$seconds" \
        -artifact_prefix="build-fuzz/findings/$target/" -print_final_stats=1 \
        -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
        -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        >"build-fuzz/$target.log" 2>&1 || status=$?
    grep -E '^#[0-9]+: cov' "build-fuzz/$target.log" | tail -n 1 || true
    echo "findings: $(find "build-fuzz/findings/$target" -type f | wc -l)"
    grep -h 'property violated' "build-fuzz/$target.log" | sort | uniq -c || true
    [ "$status" -eq 0 ] || echo "$target ended with status $status; see build-fuzz/$target.log"
done
