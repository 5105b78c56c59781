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
# followed by a structure file. A case holds its inputs itself or names shared ones in `inputs`.
input_of() {
    local case="$1" name="$2"
    if [ -f "$case/$name" ]; then
        echo "$case/$name"
    elif [ -f "$case/inputs" ]; then
        awk -v name="$name" '$1 == name { print $2 }' "$case/inputs"
    fi
}

seed() {
    local target="$1" dir="build-fuzz/corpus/$1" n=0 structures weights ini
    mkdir -p "$dir"
    for case in tests/golden/*/*/; do
        n=$((n + 1))
        structures="$(input_of "$case" structures.txt)"
        weights="$(input_of "$case" weights.txt)"
        ini="$(input_of "$case" distance_weights.ini)"
        case "$target" in
            structure_reader_fuzz) [ -z "$structures" ] || cp "$structures" "$dir/golden-$n" ;;
            weight_files_fuzz)
                [ -z "$weights" ] || cp "$weights" "$dir/golden-$n-weights"
                [ -z "$ini" ] || cp "$ini" "$dir/golden-$n-ini" ;;
            dist_pipeline_fuzz)
                if [ -n "$weights" ] && [ -n "$structures" ]; then
                    { head -n 1 "$weights"; cat "$structures"; } >"$dir/golden-$n"
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
