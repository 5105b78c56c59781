#pragma once

#include <vector>

#include "compare/pair_settings.hpp"
#include "solver/chromosome_set.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The comparison of dist mode, ready for the solver: the first and the last structure, their
// copies paired, and their joint graph; `genes` names their genes.
struct DistPair {
    ChromosomalStructure first;
    ChromosomalStructure last;
    const GeneTable* genes = nullptr;
    ChromosomeSet graph;
};

// Prepares the comparison of the first and the last of `structures` (one or two; one structure
// is compared with itself) of the file whose genes are `genes`, which must outlive the result.
// With `settings.copies` context, the copies of the two are paired by context first (costed
// with `settings.weights`). Throws, naming the structure, when one of the two cannot be compared.
DistPair prepareDistPair(std::vector<ChromosomalStructure> structures, const GeneTable& genes,
                         const PairSettings& settings = {});

// Runs the solver on the pair's joint graph, which becomes the final graph (with records kept);
// returns the total cost. Throws, naming both structures, when the cost is not finite.
double solveDistPair(DistPair& pair, const OperationWeights& weights);

}  // namespace varnet
