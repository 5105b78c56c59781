#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Splices the closed components into each other two at a time (two "DP" events per pair),
// then cuts what is left with `splitCycles`. A pair that offers no place to splice goes back
// unchanged and ends the pairing.
void combineCyclePairs(ChromosomeSet& state, const OperationWeights& weights);

// Cuts every closed component down, one "DP" step per cut, until what remains has
// two inner edges; those move to `other` without a step.
void splitCycles(ChromosomeSet& state, const OperationWeights& weights);

// Turns every gene-carrying edge of the two-edge components of `other` into an adjacency
// edge, deleting its genes with one "aD" or "bD" step each.
void stripTwoEdgeCycles(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
