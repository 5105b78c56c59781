#!/usr/bin/env bash
# Builds the programs (Release, in build/) and runs them on the bundled examples.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target varnet varnet-orders

results=results/example-dist
echo "Dist mode on examples/dist_pair.txt (progress and the cost go to standard error):"
build/src/varnet -m dist -c examples/dist_pair.txt -o examples/operation_weights.txt -r "$results"
echo
echo "Results: $results/joint_graph.txt, $results/final.txt, $results/shortest_sequence.txt," \
    "$results/pair.svg (the two genomes drawn; open it in a web browser)"

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

results=results/example-orders
mkdir -p "$results"
echo
echo "Gene orders from annotations: varnet-orders reads the six genomes' GFF3 files (two gzipped)"
echo "and the gene family table in examples/annotations, writes $results/structures.txt,"
echo "and tree mode builds the same tree from it:"
build/src/varnet-orders --groups examples/annotations/gene_presence_absence.csv \
    --gff examples/annotations --out "$results/structures.txt"
build/src/varnet -m tree -c "$results/structures.txt" -o examples/operation_weights.txt \
    -r "$results" -p nj >/dev/null 2>&1
cmp "$results/tree.tre" results/example-tree/tree.tre && cat "$results/tree.tre"
echo
