#!/usr/bin/env bash
# Checks formatting, then builds and runs every test: a Release build with warnings as errors,
# then a build under AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded
# tree-mode tests under ThreadSanitizer. Sanitizer builds compile at -O1 with debug info, so every
# test runs the same inputs in every build. Every build is a unity build (sources compiled a few to
# a translation unit), which halves the compile time. A test that hangs fails after five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

git ls-files -- '*.cpp' '*.hpp' | xargs clang-format --dry-run --Werror

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVARNET_WERROR=ON -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error --timeout 300 -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVARNET_WERROR=ON -DCMAKE_UNITY_BUILD=ON \
      -DVARNET_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs" --target varnet_tests varnet_concurrency_tests
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --no-tests=error --timeout 300 -j "$jobs"

# ThreadSanitizer needs a build of its own: the core library and the threaded tree-mode tests.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DVARNET_WERROR=ON -DCMAKE_UNITY_BUILD=ON \
      -DVARNET_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target varnet_concurrency_tests
TSAN_OPTIONS=halt_on_error=1 \
    ctest --test-dir build-tsan --output-on-failure --no-tests=error --timeout 300 -j "$jobs" -R '^Concurrency\.'
echo "All tests passed in ${SECONDS} s."
