#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Cuts every adjacency edge out of the cycles of four or more edges and out of the inside of
// every path, each as a two-edge cycle appended to `cycles`; one "DP" step per cut, recorded
// with an empty step label. A path's first and last edges are left alone. The gene-free cycles
// a build for the cost alone left out are charged their cuts, unrecorded.
void reduceAdjacencyEdges(ChromosomeSet& state, const OperationWeights& weights);

// Cuts every adjacency edge off the ends of the paths, each as a two-edge cycle appended to
// `cycles` with one "SP" step, and resolves every path made of one adjacency edge: a join ("J",
// the edge and its mirror become a two-edge cycle) or a cut ("C", two lone-vertex paths appended
// to `paths`). Steps are recorded with an empty step label.
void reducePathEnds(ChromosomeSet& state, const OperationWeights& weights);

// Whether a path made of the one adjacency edge `edge` is resolved by a cut ("C") rather than a
// join ("J"). An edge of A (an adjacency B lacks) needs a cut and an edge of B a join; only when
// the two weights are equal is an edge of A resolved as a join, at the same cost.
bool cutsSingleAdjacencyEdge(const Edge& edge, const OperationWeights& weights);

}  // namespace varnet
