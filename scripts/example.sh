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
echo "Results: $results/joint_graph.txt, $results/final.txt, $results/shortest_sequence.txt"

results=results/example-tree
echo
echo "Tree mode on examples/tree_six.txt, neighbour joining, PHYLIP matrix:"
build/src/varnet -m tree -c examples/tree_six.txt -o examples/operation_weights.txt -r "$results" \
    -p nj -f 1
echo "Results: $results/distance.tsv, $results/distance.phy, $results/infile, $results/map.txt," \
    "$results/graph.txt, $results/tree.svg (open it in a web browser), $results/tree.tre:"
cat "$results/tree.tre"
echo

for style in unimog grimm; do
    echo
    echo "The same six genomes in $style style (examples/tree_six.$style), same tree:"
    build/src/varnet -m tree -c "examples/tree_six.$style" -o examples/operation_weights.txt \
        -r "results/example-$style" -p nj >/dev/null 2>&1
    cmp "results/example-$style/tree.tre" "$results/tree.tre" && cat "$results/tree.tre"
    echo
done
