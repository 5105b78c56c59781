#!/usr/bin/env bash
# Checks formatting, then builds and runs every test three times: a Release build with warnings as
# errors, a build under AddressSanitizer and UndefinedBehaviorSanitizer, and the threaded tree-mode
# tests under ThreadSanitizer. Sanitizer builds compile at -O1, so every test runs the same inputs in
# every build, and with clang where it is installed (it compiles instrumented code in two thirds of
# GCC's time, and its warnings are errors there too). Every build is a unity build. The three
# builds run side by side, each testing as soon as it is built, so that both cores stay busy from
# the first compile to the last test; each writes its log to <build dir>/test.log, shown whole when
# it fails. A test that hangs fails after five minutes. Extra sanitizer options may be passed in
# ASAN_OPTIONS, UBSAN_OPTIONS and TSAN_OPTIONS.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
sanitizer_cxx="$(command -v clang++ || true)"

git ls-files -- '*.cpp' '*.hpp' | xargs clang-format --dry-run --Werror

# configure DIR [CXX] OPTIONS...: Ninja and the given compiler for a new build directory; one
# configured before keeps its own.
configure() {
    local dir="$1" cxx="$2"
    shift 2
    local fresh=()
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        if command -v ninja >/dev/null; then fresh+=(-G Ninja); fi
        if [ -n "$cxx" ]; then fresh+=(-DCMAKE_CXX_COMPILER="$cxx"); fi
    fi
    cmake "${fresh[@]}" -S . -B "$dir" -DVARNET_WERROR=ON -DCMAKE_UNITY_BUILD=ON \
        -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 "$@" >/dev/null
}

run_ctest() {
    ctest --test-dir "$1" --output-on-failure --no-tests=error --timeout 300 -j "$jobs" "${@:2}"
}

# The Release build also builds the Python module, for Debian's python3 (the one whose NumPy and
# pytest the set-up installs), and runs its tests.
release() {
    configure build "" -DCMAKE_BUILD_TYPE=Release -DVARNET_BUILD_PYTHON=ON \
        -DPython_EXECUTABLE=/usr/bin/python3
    cmake --build build -j "$jobs"
    run_ctest build
}

asan() {
    configure build-asan "$sanitizer_cxx" -DCMAKE_BUILD_TYPE=Debug -DVARNET_SANITIZE=address,undefined
    cmake --build build-asan -j "$jobs" --target varnet_tests varnet_concurrency_tests \
        varnet_orders_tests structure_reader_fuzz_replay weight_files_fuzz_replay \
        dist_pipeline_fuzz_replay
    ASAN_OPTIONS="halt_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
        UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}" \
        run_ctest build-asan
}

# ThreadSanitizer needs a build of its own: the core library and the threaded tree-mode tests.
tsan() {
    configure build-tsan "$sanitizer_cxx" -DCMAKE_BUILD_TYPE=Debug -DVARNET_SANITIZE=thread
    cmake --build build-tsan -j "$jobs" --target varnet_concurrency_tests
    TSAN_OPTIONS="halt_on_error=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}" \
        run_ctest build-tsan -R '^Concurrency\.'
}

builds=(release:build asan:build-asan tsan:build-tsan)
pids=()
for entry in "${builds[@]}"; do
    mkdir -p "${entry#*:}"
    "${entry%%:*}" >"${entry#*:}/test.log" 2>&1 &
    pids+=($!)
done
failed=()
for k in "${!builds[@]}"; do
    log="${builds[$k]#*:}/test.log"
    if wait "${pids[$k]}"; then
        echo "${builds[$k]%%:*}: $(grep -E '^[0-9]+% tests passed' "$log")"
    else
        cat "$log"
        failed+=("${builds[$k]%%:*}")
    fi
done
if [ "${#failed[@]}" -gt 0 ]; then
    echo "Failed: ${failed[*]} (logs in <build dir>/test.log)." >&2
    exit 1
fi
echo "All tests passed in ${SECONDS} s."
