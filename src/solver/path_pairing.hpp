#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Pairs the paths of the buckets in the 49 cases of steps "3.1" to "3.19", each case run once,
// in order: every iteration takes its operands from the backs of their categories, records one
// step, files the paths it produces and adds the weights of its events. Iterations whose
// outcome stays open between two alternatives record an empty after list (or only the paths
// their first joins freed) and leave the alternatives in `quads`.
void pairPaths(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
