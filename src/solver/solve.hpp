#pragma once

#include "solver/chromosome_set.hpp"
#include "structures/adjacency.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Deletes the side-A circular blocks of `cycles`, one "delete block" step (event "aD") each.
void deleteSideABlocks(ChromosomeSet& state, const OperationWeights& weights);

// Runs the adjacency-edge and the path-end reduction, adjacency edges first when the "SP"
// weight is at least the "DP" weight, path ends first otherwise.
void reduceBeforeBucketing(ChromosomeSet& state, const OperationWeights& weights);

// Moves every component of `cycles` and `paths` into the bucket of its category and leaves both
// lists empty. Side-A block cycles get no bucket; side-B block cycles wait in circularBlockB.
// The cycles of one bridging edge a build for the cost alone left out are `other`: the log notes
// their deletions among those of the cycles, in the order of the cycles.
void bucketComponents(ChromosomeSet& state);

// Moves every bucketed component to the bucket the classifier gives it; with the refined
// classifier, the waiting side-B circular blocks keep their bucket.
void regroupBuckets(ChromosomeSet& state, bool refined);

// Moves the components of the buckets into `cycles` (more than one edge) and `paths`.
void rebuildFinalGraph(ChromosomeSet& state);

// Transforms the joint graph into the final graph, recording the shortest sequence; returns
// the total cost. The graph must hold all its cycles.
double solve(ChromosomeSet& state, const OperationWeights& weights);

// The total cost `solve` gives for the graph, bit for bit, computed without records.
double solvedCostOnly(JointGraph graph, const OperationWeights& weights);

// The total cost `solve` gives for the joint graph of the pair loaded into `input`, bit for bit:
// built for the cost alone (see `LeftOutCycles`) into `state` and solved without records. The
// lists of `state` are emptied first and keep their storage: a worker that solves pair after
// pair in one state allocates little more than its components.
double solvedCostOnly(JointGraphInput& input, ChromosomeSet& state,
                      const OperationWeights& weights);
// As above, for the pair of A and B alone.
double solvedCostOnly(const AdjacencyArray& a, const AdjacencyArray& b,
                      const OperationWeights& weights);

}  // namespace varnet
