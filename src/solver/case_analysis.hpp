#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The closing steps "4.1" to "4.23": merges the waiting side-B circular blocks into the first
// side-B gene-carrying edge, splices the closed components into longer components,
// then runs the case steps "4.3" to "4.23" once each, in label order.
void joinRemaining(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
