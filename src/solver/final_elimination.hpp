#pragma once

#include <cstddef>

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The last phase of the solver: settles the pending two-way outcomes, removes every open
// category (odd paths, end-edge paths, gene blocks, gene-carrying paths, even paths, lone end
// edges), then reduces the cycles down to two-edge cycles without genes.
void finishSequence(ChromosomeSet& state, const OperationWeights& weights);

// Takes alternative two of every pending quad (alternative one when two is empty), files it and
// completes the record the quad belongs to. No step, no cost.
void resolveQuads(ChromosomeSet& state);

// Odd paths (oddEndOnA or oddEndOnB): a one-edge path becomes a lone vertex ("aD" or "bD"); a
// longer path is closed into a cycle ("J" or "C"). Step "eliminate odd".
void eliminateOdd(ChromosomeSet& state, Category category, const OperationWeights& weights);

// Closes `path` into a cycle in place, fusing its last edge (or, when the last edge is not an
// end edge, its first edge) to the far end, and adds the "J" weight when the fused edge is on
// side A, the "C" weight when on side B. Returns the event charged, "J" or "C".
EventCode closePath(ChromosomeSet& state, Component& path, const OperationWeights& weights);

// Odd end-to-end paths (oddEndToEndB or oddEndToEndA): a trailing gene block is deleted ("bD");
// otherwise the first end edge is folded into the last one, closing the path ("J" or "C").
void closeEndPaths(ChromosomeSet& state, Category category, const OperationWeights& weights);

// Odd bridged paths and single bridges (oddBridgedA, oddBridgedB, bridgeOnA): the path is closed
// with a new adjacency edge on the side opposite its first edge ("C" or "J"), and the new edge is
// cut out again ("DP") unless that leaves two edges.
void closeGenePaths(ChromosomeSet& state, Category category, const OperationWeights& weights);

// evenEndToEnd: two end edges are deleted ("bD", then "aD"); a longer path loses its first end
// edge to a separate path and closes ("SP").
void reduceEvenEndPaths(ChromosomeSet& state, const OperationWeights& weights);

// evenBridged: a longer path drops a lone vertex at its far end and closes ("SP"); a single edge
// becomes two lone vertices.
void reduceEvenGenePaths(ChromosomeSet& state, const OperationWeights& weights);

// evenEndOnA, then evenEndOnB: a single edge becomes a lone vertex ("aD" or "bD"); a longer path
// folds its end edge into its first edge, freeing that edge's vertex, and closes ("SP").
void reduceMixedEvenPaths(ChromosomeSet& state, const OperationWeights& weights);

}  // namespace varnet
