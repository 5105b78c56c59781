#!/usr/bin/env bash
# Searches small inputs that reach each row of the solver's tables (path pairing "3.1" to "3.19",
# case analysis "4.1" to "4.23") for the given number of seconds (default 60), and prints per
# step label how many inputs reached it and the smallest input found for it, shrunk to the fewest
# genes, with the golden weight file it uses. Builds in build/ (the test script's Release build).
# Not part of scripts/test.sh.
# Usage: scripts/row_search.sh [seconds] [seed]
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
if [ ! -f build/CMakeCache.txt ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake "${generator[@]}" -S . -B build -DCMAKE_BUILD_TYPE=Release -DVARNET_WERROR=ON \
    -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 >/dev/null
cmake --build build -j "$(nproc)" --target varnet_row_search >/dev/null
build/tests/varnet_row_search "${1:-60}" "${2:-1}"
