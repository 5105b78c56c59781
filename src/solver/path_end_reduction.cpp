#include "solver/path_end_reduction.hpp"

#include <cstdint>
#include <utility>

#include "solver/adjacency_reduction.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

Edge loneVertexWithGenes(uint32_t end, const Edge& source) {
    Edge vertex = makeLoneVertex(end);
    vertex.genes = source.genes;
    return vertex;
}

// Whether a path made of the one adjacency edge `edge` is resolved by a cut rather than a join.
// An edge of A (an adjacency B lacks) needs a cut and an edge of B a join; only when the two
// weights are equal is an edge of A resolved as a join, at the same cost.
bool cutsSingleAdjacencyEdge(const Edge& edge, const OperationWeights& weights) {
    const double join = weightOf(joinEvent, weights);
    const double cut = weightOf(cutEvent, weights);
    if (join < cut) return !isSideB(edge);
    return isSideB(edge) ? cut > join : join > cut;
}

// Resolves path p, a single adjacency edge, and erases it from `paths`.
void resolveSingleAdjacencyEdge(ChromosomeSet& state, std::size_t p,
                                const OperationWeights& weights) {
    const auto position = state.paths.begin() + static_cast<std::ptrdiff_t>(p);
    const Component path = std::move(*position);
    state.paths.erase(position);
    const Edge& edge = path.front();
    // A cost-only solve makes neither outcome: two lone vertices or a two-edge cycle of
    // adjacency edges, without genes, which no later step takes or charges.
    if (!state.log.keepsRecords()) {
        state.log.addCost(
            weightOf(cutsSingleAdjacencyEdge(edge, weights) ? cutEvent : joinEvent, weights));
        return;
    }
    if (cutsSingleAdjacencyEdge(edge, weights)) {
        const bool open = edge.first == 0;
        Component firstEnd{loneVertexWithGenes(open ? edge.second : edge.first, edge)};
        Component secondEnd{loneVertexWithGenes(open ? 0 : edge.second, edge)};
        state.log.recordStep([&] {
            return makeOperationRecord({makeLinearItem(path)},
                                       {makeLinearItem(firstEnd), makeLinearItem(secondEnd)},
                                       {cutEvent});
        });
        state.paths.push_back(std::move(firstEnd));
        state.paths.push_back(std::move(secondEnd));
        state.log.addCost(weightOf(cutEvent, weights));
    } else {
        Component twoCycle{edge, mirrorEdge(edge)};
        state.log.recordStep([&] {
            return makeOperationRecord({makeLinearItem(path)}, {makeCycleItem(twoCycle)},
                                       {joinEvent});
        });
        state.cycles.push_back(std::move(twoCycle));
        state.log.addCost(weightOf(joinEvent, weights));
    }
}

// The loop below cuts the first edge of a path of m adjacency edges off m / 2 times, one SP
// each; where m is odd that leaves its last edge, on the side of its first, which is resolved;
// where m is even a lone vertex at its end. A cost-only solve takes that short cut, charging the
// same weights in the same order; false, with nothing done, for any other path.
bool resolveGeneFreePath(ChromosomeSet& state, std::size_t p, const OperationWeights& weights) {
    Component& path = state.paths[p];
    if (!hasOnlyAdjacencyEdges(path)) return false;
    const std::size_t m = path.size();
    chargeGeneFreePathEnds(state.log, m, path.front(), weights);
    if (m % 2 == 1) {
        state.paths.erase(state.paths.begin() + static_cast<std::ptrdiff_t>(p));
        return true;
    }
    const uint32_t end = path.back().second;
    path.clear();
    path.push_back(makeLoneVertex(end));
    return true;
}

}  // namespace

void chargeGeneFreePathEnds(StepLog& log, std::size_t m, const Edge& first,
                            const OperationWeights& weights) {
    for (std::size_t k = 0; k < m / 2; ++k) log.addCost(weightOf(spEvent, weights));
    if (m % 2 == 1)
        log.addCost(
            weightOf(cutsSingleAdjacencyEdge(first, weights) ? cutEvent : joinEvent, weights));
}

void reducePathEnds(ChromosomeSet& state, const OperationWeights& weights) {
    // Lone vertices appended by cuts are visited too and left alone.
    for (std::size_t p = 0; p < state.paths.size(); ++p) {
        // Whether the path now at p was found to carry genes: its cuts keep them.
        bool carriesGenes = false;
        while (p < state.paths.size() && state.paths[p].front().kind == EdgeKind::adjacency) {
            if (!state.log.keepsRecords() && !carriesGenes) {
                if (resolveGeneFreePath(state, p, weights)) continue;
                carriesGenes = true;
            }
            if (state.paths[p].size() == 1) {
                resolveSingleAdjacencyEdge(state, p, weights);
                carriesGenes = false;
            } else {
                cutPathEdge(state, p, 0, spEvent, weights);
            }
        }
        while (p < state.paths.size() && state.paths[p].back().kind == EdgeKind::adjacency) {
            cutPathEdge(state, p, state.paths[p].size() - 1, spEvent, weights);
        }
    }
}

}  // namespace varnet
