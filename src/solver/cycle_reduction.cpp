#include "solver/cycle_reduction.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

#include "solver/bucketing.hpp"
#include "solver/categories.hpp"
#include "solver/cycle_splice.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// The first position j of an edge on `side` whose two neighbours in the cycle both carry genes
// (kind 2).
std::optional<std::size_t> findSplitEdge(const Component& cycle, Side side) {
    const std::size_t n = cycle.size();
    for (std::size_t j = cycle.front().side == side ? 0 : 1; j < n; j += 2) {
        const std::size_t prev = j == 0 ? n - 1 : j - 1;
        const std::size_t next = (j + 1) % n;
        if (cycle[prev].kind == EdgeKind::bridging && cycle[next].kind == EdgeKind::bridging)
            return j;
    }
    return std::nullopt;
}

void deleteEdgeGenes(ChromosomeSet& state, Component& x, Edge& edge,
                     const OperationWeights& weights) {
    const EventCode event = deletionOn(edge.side);
    ComponentItem before = state.log.copy(asCycle(x));
    setKind(edge, EdgeKind::adjacency);
    state.log.chargeOne(std::move(before), {asCycle(x)}, event, weights);
}

// A closed component of two bridging edges, one on each side.
bool isBridgedTwoCycle(const Component& c) {
    return c.size() == 2 && c.front().kind == EdgeKind::bridging &&
           c.back().kind == EdgeKind::bridging && !sameSide(c.front(), c.back()) && isClosed(c);
}

}  // namespace

void combineCyclePairs(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& closed = state.buckets[Category::closed];
    // Where every closed component is a cycle of two bridging edges, one on each side, as most
    // are, splicing the last two, C1 into C2 at C2's side-B edge, gives (see `splitJoin`) such a
    // cycle again, starting on the side C2 starts on, and a cycle of two adjacency edges that no
    // later step takes or charges. Only the records tell the first from C2, which stands in for it
    // in a cost-only log.
    const bool allBridgedTwoCycles = std::all_of(closed.begin(), closed.end(), isBridgedTwoCycle);
    while (closed.size() >= 2) {
        Component c1 = popLast(closed);
        Component c2 = popLast(closed);
        SplitResult spliced = allBridgedTwoCycles
                                  ? state.log.shownOr([&] { return splitJoin(c1, c2); },
                                                      [&] {
                                                          return SplitResult{std::move(c2), {}};
                                                      })
                                  : splitJoin(c1, c2);
        Component& r1 = spliced.rest;
        Component& r2 = spliced.cut;
        if (r1.empty() && r2.empty()) {
            // C2 offers no side-B edge to splice at: both stay as they were, and the cuts
            // below take them apart one by one.
            closed.push_back(std::move(c2));
            closed.push_back(std::move(c1));
            break;
        }
        state.log.recordStep([&] {
            return OperationRecord{{ComponentItem{c1, 'C'}, ComponentItem{c2, 'C'}},
                                   {ComponentItem{r1, 'C'}, ComponentItem{r2, 'C'}},
                                   {dpEvent, dpEvent},
                                   ""};
        });
        state.log.addCost(2.0 * weightOf(dpEvent, weights));
        pushToCategory(state, std::move(r1));
        pushToCategory(state, std::move(r2));
    }
    splitCycles(state, weights);
}

void splitCycles(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& closed = state.buckets[Category::closed];
    while (!closed.empty()) {
        Component c = popLast(closed);
        // A one-edge component has nothing to cut out; like a finished cycle it is kept as is.
        if (innerEdgeCount(c) == 2 || c.size() < 2) {
            fileComponent(state, std::move(c), Category::other);
            continue;
        }
        std::optional<std::size_t> j = findSplitEdge(c, Side::a);
        if (!j) j = findSplitEdge(c, Side::b);
        ComponentItem before = state.log.copy(asCycle(c));
        SplitResult split = splitCycleAt(std::move(c), j.value_or(0));
        state.log.chargeOne(std::move(before), {asCycle(split.rest), asCycle(split.cut)}, dpEvent,
                            weights);
        pushToCategory(state, std::move(split.rest));
        pushToCategory(state, std::move(split.cut));
    }
}

void stripTwoEdgeCycles(ChromosomeSet& state, const OperationWeights& weights) {
    state.log.chargeNotedDeletions(weights);
    for (Component& x : state.buckets[Category::other]) {
        if (x.size() != 2) continue;
        if (x.front().kind == EdgeKind::bridging) deleteEdgeGenes(state, x, x.front(), weights);
        if (x.back().kind == EdgeKind::bridging) deleteEdgeGenes(state, x, x.back(), weights);
    }
}

}  // namespace varnet
