#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Cuts every adjacency edge out of the cycles of four or more edges and out of the inside of
// every path, each as a two-edge cycle appended to `cycles`; one "DP" step per cut, recorded
// with an empty step label. A path's first and last edges are left alone. The gene-free cycles
// the graph only counts are charged their cuts, unrecorded.
void reduceAdjacencyEdges(ChromosomeSet& state, const OperationWeights& weights);

// What the reduction charges for the gene-free cycles the graph only counts (see
// `reduceAdjacencyEdges`), which are then forgotten.
void chargeGeneFreeCycleCuts(ChromosomeSet& state, const OperationWeights& weights);

// What the reduction charges for a path of m >= 3 adjacency edges: (m - 1) / 2 DP, one per cut,
// which leave one edge where m is odd and two where it is even, the first on the side of the
// path's first edge.
void chargeGeneFreePathCuts(StepLog& log, std::size_t m, const OperationWeights& weights);

// Whether every edge is an adjacency edge (no genes lie on such a component).
bool hasOnlyAdjacencyEdges(const Component& component);

// Cuts edge j of path p out as a two-edge cycle appended to `cycles` (`splitPathAt`); the rest of
// the path keeps its position. Records one step with the single `event` and an empty label and
// adds that event's weight. Both reduction stages cut paths this way.
void cutPathEdge(ChromosomeSet& state, std::size_t p, std::size_t j, EventCode event,
                 const OperationWeights& weights);

}  // namespace varnet
