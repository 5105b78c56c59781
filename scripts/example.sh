#!/usr/bin/env bash
# Builds the program (Release, in build/) and runs it on the bundled examples.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target varnet

results=results/example-dist
echo "Dist mode on examples/dist_pair.txt (progress and the cost go to standard error):"
build/src/varnet -m dist -c examples/dist_pair.txt -o examples/operation_weights.txt -r "$results"
echo
echo "The solver is not complete yet: the cost and the sequence above are not the final ones."
echo "Results: $results/joint_graph.txt, $results/final.txt, $results/shortest_sequence.txt"
echo "Tree mode is not built yet."
