#include "solver/reductions.hpp"

#include <cstdint>
#include <utility>

#include "solver/primitives.hpp"

namespace varnet {
namespace {

// Cuts edge j out of cycle i as the two-edge cycle [edge, mirror] and closes cycle i over the
// gap in place (`cutOutCycleEdge`). Records the step; false, with nothing changed, when the
// cycle has fewer than four edges.
bool extractCycleEdge(ChromosomeSet& state, std::size_t i, std::size_t j,
                      const OperationWeights& weights) {
    Component& cycle = state.cycles[i];
    if (cycle.size() < 4) return false;
    ComponentItem before = state.log.copy(asCycle(cycle));
    Component twoCycle = state.log.shown([&] { return Component{cycle[j], mirrorEdge(cycle[j])}; });
    cutOutCycleEdge(cycle, j);
    state.log.chargeOne(std::move(before), {asCycle(twoCycle), asCycle(cycle)}, dpEvent, weights);
    state.log.keepShown(state.cycles, std::move(twoCycle));
    return true;
}

// Cuts edge j of path p out as a two-edge cycle appended to `cycles` (`splitPathAt`); the rest of
// the path keeps its position. Records one step with the single `event` and an empty label and
// adds that event's weight. Both reduction stages cut paths this way.
void cutPathEdge(ChromosomeSet& state, std::size_t p, std::size_t j, EventCode event,
                 const OperationWeights& weights) {
    Component& path = state.paths[p];
    ComponentItem before = state.log.copy(asLinear(path));
    Component cut = state.log.shown([&] { return Component{path[j], mirrorEdge(path[j])}; });
    cutOutPathEdge(path, j);
    state.log.chargeOne(std::move(before), {asLinear(path), asCycle(cut)}, event, weights);
    state.log.keepShown(state.cycles, std::move(cut));
}

Edge loneVertexWithGenes(uint32_t end, const Edge& source) {
    Edge vertex = makeLoneVertex(end);
    vertex.genes = source.genes;
    return vertex;
}

// Resolves path p, a single adjacency edge, and erases it from `paths`.
void resolveSingleAdjacencyEdge(ChromosomeSet& state, std::size_t p,
                                const OperationWeights& weights) {
    const auto position = state.paths.begin() + static_cast<std::ptrdiff_t>(p);
    const Component path = std::move(*position);
    state.paths.erase(position);
    const Edge& edge = path.front();
    if (cutsSingleAdjacencyEdge(edge, weights)) {
        const bool open = edge.first == 0;
        Component firstEnd = state.log.shown(
            [&] { return Component{loneVertexWithGenes(open ? edge.second : edge.first, edge)}; });
        Component secondEnd = state.log.shown(
            [&] { return Component{loneVertexWithGenes(open ? 0 : edge.second, edge)}; });
        state.log.chargeOne(state.log.copy(asLinear(path)),
                            {asLinear(firstEnd), asLinear(secondEnd)}, cutEvent, weights);
        state.log.keepShown(state.paths, std::move(firstEnd));
        state.log.keepShown(state.paths, std::move(secondEnd));
    } else {
        Component twoCycle = state.log.shown([&] { return Component{edge, mirrorEdge(edge)}; });
        state.log.chargeOne(state.log.copy(asLinear(path)), {asCycle(twoCycle)}, joinEvent,
                            weights);
        state.log.keepShown(state.cycles, std::move(twoCycle));
    }
}

}  // namespace

void reduceAdjacencyEdges(ChromosomeSet& state, const OperationWeights& weights) {
    // A gene-free cycle of 2k edges that a build for the cost alone left out would have k - 1 of
    // its edges cut out below, one DP step each, into k cycles of two adjacency edges, which are
    // filed as `other`: no later step takes one, and the final stripping of two-edge cycles finds
    // no genes on them. Every step of this reduction charges DP, so charging those cuts first
    // adds the same weights, one by one, as the cuts where the cycles stood would.
    state.log.chargeLeftOutCuts(weights);
    // Cycles appended by the cuts are visited too; having two edges, they are never cut. A cut
    // needs four edges and leaves two fewer, so a cycle is left as soon as it has fewer.
    for (std::size_t i = 0; i < state.cycles.size(); ++i) {
        std::size_t j = 0;
        while (state.cycles[i].size() >= 4 && j < state.cycles[i].size()) {
            if (state.cycles[i][j].kind == EdgeKind::adjacency &&
                extractCycleEdge(state, i, j, weights)) {
                // The edge before the cut now reaches past it: look at it again.
                if (j >= 1) --j;
            } else {
                ++j;
            }
        }
    }
    // Cuts change a path in place and add no path.
    for (std::size_t p = 0; p < state.paths.size(); ++p) {
        const Component& path = state.paths[p];
        std::size_t j = 1;
        while (j + 1 < path.size()) {
            if (path[j].kind == EdgeKind::adjacency) {
                cutPathEdge(state, p, j, dpEvent, weights);
                if (j > 1) --j;
            } else {
                ++j;
            }
        }
    }
}

bool cutsSingleAdjacencyEdge(const Edge& edge, const OperationWeights& weights) {
    const double join = weightOf(joinEvent, weights);
    const double cut = weightOf(cutEvent, weights);
    if (join < cut) return !isSideB(edge);
    return isSideB(edge) ? cut > join : join > cut;
}

void reducePathEnds(ChromosomeSet& state, const OperationWeights& weights) {
    // Lone vertices appended by cuts are visited too and left alone.
    for (std::size_t p = 0; p < state.paths.size(); ++p) {
        while (p < state.paths.size() && state.paths[p].front().kind == EdgeKind::adjacency) {
            if (state.paths[p].size() == 1) {
                resolveSingleAdjacencyEdge(state, p, weights);
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
