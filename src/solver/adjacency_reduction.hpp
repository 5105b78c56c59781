#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Cuts every adjacency edge out of the cycles of four or more edges and out of the inside of
// every path, each as a two-edge cycle appended to `cycles`; one "DP" step per cut, recorded
// with an empty step label. A path's first and last edges are left alone. The gene-free cycles
// a build for the cost alone left out are charged their cuts, unrecorded.
void reduceAdjacencyEdges(ChromosomeSet& state, const OperationWeights& weights);

// Cuts edge j of path p out as a two-edge cycle appended to `cycles` (`splitPathAt`); the rest of
// the path keeps its position. Records one step with the single `event` and an empty label and
// adds that event's weight. Both reduction stages cut paths this way.
void cutPathEdge(ChromosomeSet& state, std::size_t p, std::size_t j, EventCode event,
                 const OperationWeights& weights);

}  // namespace varnet
