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

// The first j = start, start + 2, ... whose neighbours in the cycle both carry genes.
std::optional<std::size_t> findSplitEdgeFrom(const Component& cycle, std::size_t start) {
    const std::size_t n = cycle.size();
    for (std::size_t j = start; j < n; j += 2) {
        const std::size_t prev = j == 0 ? n - 1 : j - 1;
        const std::size_t next = (j + 1) % n;
        if (cycle[prev].kind == EdgeKind::bridging && cycle[next].kind == EdgeKind::bridging)
            return j;
    }
    return std::nullopt;
}

// The first position j on the alternation class that starts with the first side-A edge
// (`findSplitEdgeA`) or side-B edge (`findSplitEdgeB`) whose two neighbours in the cycle both
// carry genes (kind 2).
std::optional<std::size_t> findSplitEdgeA(const Component& cycle) {
    return findSplitEdgeFrom(cycle, isSideB(cycle.front()) ? 1 : 0);
}

std::optional<std::size_t> findSplitEdgeB(const Component& cycle) {
    return findSplitEdgeFrom(cycle, isSideB(cycle.front()) ? 0 : 1);
}

void deleteEdgeGenes(ChromosomeSet& state, Component& x, Edge& edge,
                     const OperationWeights& weights) {
    const EventCode event = deletionOf(edge);
    ComponentItem before = state.log.copyCycle(x);
    setKind(edge, EdgeKind::adjacency);
    state.log.recordStep(
        [&] { return makeOperationRecord({std::move(before)}, {makeCycleItem(x)}, {event}); });
    state.log.addCost(weightOf(event, weights));
}

}  // namespace

void pushToCategory(ChromosomeSet& state, Component component) {
    if (component.empty()) return;
    const Category category = categoryOf(component);
    fileComponent(state, std::move(component), category);
}

namespace {

// A closed component of two bridging edges, one on each side.
bool isBridgedTwoCycle(const Component& c) {
    return c.size() == 2 && c.front().kind == EdgeKind::bridging &&
           c.back().kind == EdgeKind::bridging && !sameSide(c.front(), c.back()) && isClosed(c);
}

// The cost-only short cut of `combineCyclePairs` where every closed component is a cycle of two
// bridging edges, as most are; false, with nothing done, where one is not. Splicing the last two
// such cycles, C1 into C2 at C2's side-B edge, gives (see `splitJoin`) a cycle of two bridging
// edges starting on the side C2 starts on, which goes back as the last closed component, and a
// cycle of two adjacency edges, which costs nothing. So k such cycles cost k - 1 splices of two
// DP each and leave one cycle of two bridging edges, starting on the side the first of them
// starts on, which is cut no further and costs the deletions of its two edges, first edge first,
// in the final stripping.
bool spliceBridgedTwoCycles(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& closed = state.buckets[Category::closed];
    if (!std::all_of(closed.begin(), closed.end(), isBridgedTwoCycle)) return false;
    for (std::size_t k = 1; k < closed.size(); ++k)
        state.log.addCost(2.0 * weightOf(dpEvent, weights));
    const bool startsOnB = isSideB(closed.front().front());
    state.finalDeletions.push_back(startsOnB ? bDeletionEvent : aDeletionEvent);
    state.finalDeletions.push_back(startsOnB ? aDeletionEvent : bDeletionEvent);
    recycleComponents(state, closed);
    return true;
}

}  // namespace

void combineCyclePairs(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& closed = state.buckets[Category::closed];
    if (!state.log.keepsRecords() && !closed.empty() && spliceBridgedTwoCycles(state, weights))
        return;
    while (closed.size() >= 2) {
        Component c1 = popLast(closed);
        Component c2 = popLast(closed);
        SplitResult spliced = splitJoin(c1, c2);
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
            return makeOperationRecord({makeCycleItem(c1), makeCycleItem(c2)},
                                       {makeCycleItem(r1), makeCycleItem(r2)}, {dpEvent, dpEvent});
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
        std::optional<std::size_t> j = findSplitEdgeA(c);
        if (!j) j = findSplitEdgeB(c);
        // Only a record shows the cycle as it was.
        SplitResult split = state.log.keepsRecords() ? splitCycleAt(c, j.value_or(0))
                                                     : splitCycleAt(std::move(c), j.value_or(0));
        Component& r = split.rest;
        Component& s = split.cut;
        state.log.recordStep([&] {
            return makeOperationRecord({makeCycleItem(c)}, {makeCycleItem(r), makeCycleItem(s)},
                                       {dpEvent});
        });
        state.log.addCost(weightOf(dpEvent, weights));
        pushToCategory(state, std::move(r));
        pushToCategory(state, std::move(s));
    }
}

void stripTwoEdgeCycles(ChromosomeSet& state, const OperationWeights& weights) {
    for (const EventCode deletion : state.finalDeletions)
        state.log.addCost(weightOf(deletion, weights));
    for (Component& x : state.buckets[Category::other]) {
        if (x.size() != 2) continue;
        if (x.front().kind == EdgeKind::bridging) deleteEdgeGenes(state, x, x.front(), weights);
        if (x.back().kind == EdgeKind::bridging) deleteEdgeGenes(state, x, x.back(), weights);
    }
}

}  // namespace varnet
