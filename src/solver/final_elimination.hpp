#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The last phase of the solver: settles the pending two-way outcomes, removes every open
// category (odd paths, end-edge paths, gene blocks, gene-carrying paths, even paths, lone end
// edges), then reduces the cycles down to two-edge cycles without genes.
void finishSequence(ChromosomeSet& state, const OperationWeights& weights);

// Cuts every closed component down, one "DP" step per cut, until what remains has
// two inner edges; those move to `other` without a step.
void splitCycles(ChromosomeSet& state, const OperationWeights& weights);

// Turns every gene-carrying edge of the two-edge components of `other` into an adjacency
// edge, deleting its genes with one "aD" or "bD" step each.
void stripTwoEdgeCycles(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
