#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The last phase of the solver: settles the pending two-way outcomes, removes every open
// category (odd paths, end-edge paths, gene blocks, gene-carrying paths, even paths, lone end
// edges), then reduces the cycles down to two-edge cycles without genes.
void finishSequence(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
