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
