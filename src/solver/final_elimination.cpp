#include "solver/final_elimination.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

#include "solver/bucketing.hpp"
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

// Splices the closed components into each other two at a time (two "DP" events per pair),
// then cuts what is left with `splitCycles`. A pair that offers no place to splice goes back
// unchanged and ends the pairing.
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

// Turns an edge into a lone vertex at its endpoint (its `second` when `first` is 0).
void makeLone(Edge& edge) {
    if (isLoneVertex(edge)) return;
    if (edge.first == 0) std::swap(edge.first, edge.second);
    turnIntoLoneVertex(edge);
}

// Takes the components of a bucket, the last first, until it is empty; `step` gets each with a
// copy of it for the record (see `StepLog::copy`).
template <typename Step>
void takeEach(ChromosomeSet& state, Category category, Step step) {
    std::vector<Component>& bucket = state.buckets[category];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem before = state.log.copy(asLinear(p));
        step(p, before);
    }
}

// The one edge of `p` becomes a lone vertex, its genes deleted with `event`.
void deleteToLoneVertex(ChromosomeSet& state, Component&& p, ComponentItem&& before,
                        EventCode event, const OperationWeights& weights, const char* step = "") {
    makeLone(p.front());
    state.log.chargeOne(std::move(before), {asLinear(p)}, event, weights, step);
    pushToCategory(state, std::move(p));
}

// Deletes every side-A block, one "aD" step each.
void deleteBlocksOnA(ChromosomeSet& state, const OperationWeights& weights) {
    takeEach(state, Category::blockOnA, [&](Component&, ComponentItem& before) {
        state.log.chargeOne(std::move(before), {}, aDeletionEvent, weights);
    });
}

// The lone vertex left at the end of every side-A end edge of endEdgeOnA ("aD").
void deleteSideAEndEdges(ChromosomeSet& state, const OperationWeights& weights) {
    takeEach(state, Category::endEdgeOnA, [&](Component& p, ComponentItem& before) {
        deleteToLoneVertex(state, std::move(p), std::move(before), aDeletionEvent, weights);
    });
}

// Takes alternative two of every pending quad (alternative one when two is empty), files it and
// completes the record the quad belongs to. No step, no cost.
void resolveQuads(ChromosomeSet& state) {
    while (!state.quads.empty()) {
        ComponentQuad quad = std::move(state.quads.back());
        state.quads.pop_back();
        Component a = std::move(quad.third);
        Component b = std::move(quad.fourth);
        // When both ways of a join fell into alternative one, that is the only outcome there
        // is; taking the empty alternative two would lose its components.
        if (a.empty() && b.empty()) {
            a = std::move(quad.first);
            b = std::move(quad.second);
        }
        for (const Component* outcome : {&a, &b}) {
            if (!outcome->empty()) state.log.addOutcome(quad.recordIndex, *outcome);
        }
        state.log.settle(quad.recordIndex);
        pushToCategory(state, std::move(a));
        pushToCategory(state, std::move(b));
    }
}

// Odd paths (oddEndOnA or oddEndOnB): a one-edge path becomes a lone vertex ("aD" or "bD"); a
// longer path is closed into a cycle ("J" or "C"). Step "eliminate odd".
void eliminateOdd(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    takeEach(state, category, [&](Component& p, ComponentItem& before) {
        if (p.size() == 1) {
            const EventCode event = deletionOn(p.front().side);
            deleteToLoneVertex(state, std::move(p), std::move(before), event, weights,
                               "eliminate odd");
            return;
        }
        // The path closes by fusing its last edge (or, when that is not an end edge, its first
        // edge) to the far end. The event listed and charged is "J" when the fused edge is on
        // side A, "C" when on side B.
        Edge* fused = &p.back();
        if (fused->kind == EdgeKind::end) {
            fused->second = p.front().first;
        } else {
            fused = &p.front();
            fused->second = p.back().second;
            std::swap(fused->first, fused->second);
        }
        setKind(*fused, EdgeKind::bridging);
        const EventCode event = isSideB(*fused) ? cutEvent : joinEvent;
        state.log.chargeOne(std::move(before), {asCycle(p)}, event, weights, "eliminate odd");
        state.buckets[Category::closed].push_back(std::move(p));
    });
}

// Odd end-to-end paths (oddEndToEndB or oddEndToEndA): a trailing gene block is deleted ("bD");
// otherwise the first end edge is folded into the last one, closing the path ("J" or "C").
void closeEndPaths(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    takeEach(state, category, [&](Component& a, ComponentItem& before) {
        if (a.back().kind == EdgeKind::block) {
            state.log.chargeOne(std::move(before), {}, bDeletionEvent, weights);
            return;
        }
        Edge& last = a.back();
        last.second = a.front().first;
        appendGenes(a.front(), last);
        a.pop_front();
        setKind(a.back(), EdgeKind::bridging);
        const EventCode event = isSideB(a.back()) ? cutEvent : joinEvent;
        state.log.chargeOne(std::move(before), {asCycle(a)}, event, weights);
        pushToCategory(state, std::move(a));
    });
}

// Odd bridged paths and single bridges (oddBridgedA, oddBridgedB, bridgeOnA): the path is closed
// with a new adjacency edge on the side opposite its first edge ("C" or "J"), and the new edge is
// cut out again ("DP") unless that leaves two edges.
void closeGenePaths(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    takeEach(state, category, [&](Component& p, ComponentItem& opened) {
        const bool closingOnB = !isSideB(p.front());
        const EventCode event = closingOnB ? cutEvent : joinEvent;
        p.push_back(
            makeEdge(EdgeKind::adjacency, sideOf(closingOnB), p.back().second, p.front().first));
        state.log.chargeOne(std::move(opened), {asCycle(p)}, event, weights);
        if (p.size() == 2) {
            pushToCategory(state, std::move(p));
            return;
        }
        ComponentItem closedItem = state.log.copy(asCycle(p));
        const std::size_t cut = p.size() - 1;
        SplitResult split = splitCycleAt(std::move(p), cut);
        state.log.chargeOne(std::move(closedItem), {asCycle(split.cut), asCycle(split.rest)},
                            dpEvent, weights);
        pushToCategory(state, std::move(split.rest));
        pushToCategory(state, std::move(split.cut));
    });
}

// evenEndToEnd: two end edges are deleted ("bD", then "aD"); a longer path loses its first end
// edge to a separate path and closes ("SP").
void reduceEvenEndPaths(ChromosomeSet& state, const OperationWeights& weights) {
    takeEach(state, Category::evenEndToEnd, [&](Component& p, ComponentItem& before) {
        if (p.size() == 2) {
            state.log.addCost(weightOf(aDeletionEvent, weights) +
                              weightOf(bDeletionEvent, weights));
            p.pop_back();
            state.log.recordOne(std::move(before), {asLinear(p)}, bDeletionEvent);
            ComponentItem single = state.log.copy(asLinear(p));
            makeLone(p.front());
            state.log.recordOne(std::move(single), {asLinear(p)}, aDeletionEvent);
            pushToCategory(state, std::move(p));
            return;
        }
        if (isSideB(p.front())) reverseComponent(p);
        Component freed{makeEdge(EdgeKind::end, Side::a, p.front().first, 0)};
        freed.front().genes = p.front().genes;
        appendGenes(p.back(), p[1]);
        p.pop_front();
        p.pop_back();
        p.front().first = p.back().second;
        state.log.chargeOne(std::move(before), {asCycle(p), asLinear(freed)}, spEvent, weights);
        pushToCategory(state, std::move(freed));
        state.buckets[Category::closed].push_back(std::move(p));
    });
}

// evenBridged: a longer path drops a lone vertex at its far end and closes ("SP"); a single edge
// becomes two lone vertices.
void reduceEvenGenePaths(ChromosomeSet& state, const OperationWeights& weights) {
    takeEach(state, Category::evenBridged, [&](Component& p, ComponentItem& before) {
        if (p.size() > 1) {
            Component freed{makeLoneVertex(p.back().second)};
            p.back().second = p.front().first;
            state.log.chargeOne(std::move(before), {asLinear(freed), asCycle(p)}, spEvent, weights);
            state.buckets[Category::closed].push_back(std::move(p));
            pushToCategory(state, std::move(freed));
            return;
        }
        const Edge& e = p.front();
        Component first{makeLoneVertex(e.first)};
        Component second{makeLoneVertex(e.second)};
        // The cost of this step is not that of its printed event: the deletion weight of the
        // edge's side comes with it.
        const EventCode event = isSideB(e) ? joinEvent : cutEvent;
        state.log.recordOne(std::move(before), {asLinear(first), asLinear(second)}, event);
        state.log.addCost(weightOf(deletionOn(e.side), weights) + weightOf(event, weights));
        pushToCategory(state, std::move(first));
        pushToCategory(state, std::move(second));
    });
}

// evenEndOnA, then evenEndOnB: a single edge becomes a lone vertex ("aD" or "bD"); a longer path
// folds its end edge into its first edge, freeing that edge's vertex, and closes ("SP").
void reduceMixedEvenPaths(ChromosomeSet& state, const OperationWeights& weights) {
    for (const Category category : {Category::evenEndOnA, Category::evenEndOnB}) {
        takeEach(state, category, [&](Component& p, ComponentItem& before) {
            if (p.size() == 1) {
                const EventCode event =
                    category == Category::evenEndOnA ? aDeletionEvent : bDeletionEvent;
                deleteToLoneVertex(state, std::move(p), std::move(before), event, weights);
                return;
            }
            if (p.front().kind == EdgeKind::end) reverseComponent(p);
            Component freed{p.front()};
            makeLone(freed.front());
            p.front().first = p.back().first;
            appendGenes(p.back(), p.front());
            p.pop_back();
            state.log.chargeOne(std::move(before), {asCycle(p), asLinear(freed)}, spEvent, weights);
            pushToCategory(state, std::move(p));
            pushToCategory(state, std::move(freed));
        });
    }
}

}  // namespace

void finishSequence(ChromosomeSet& state, const OperationWeights& weights) {
    // Each step works through one bucket and does nothing where it is empty, as most are: one
    // test here skips it.
    const auto holds = [&state](Category category) {
        return !std::as_const(state.buckets)[category].empty();
    };
    using enum Category;
    if (!state.quads.empty()) resolveQuads(state);
    if (holds(oddEndOnA)) eliminateOdd(state, oddEndOnA, weights);
    if (holds(oddEndOnB)) eliminateOdd(state, oddEndOnB, weights);
    if (holds(oddEndToEndB)) closeEndPaths(state, oddEndToEndB, weights);
    if (holds(oddEndToEndA)) closeEndPaths(state, oddEndToEndA, weights);
    if (holds(blockOnA)) deleteBlocksOnA(state, weights);
    if (holds(oddBridgedA)) closeGenePaths(state, oddBridgedA, weights);
    if (holds(oddBridgedB)) closeGenePaths(state, oddBridgedB, weights);
    if (holds(bridgeOnA)) closeGenePaths(state, bridgeOnA, weights);
    if (holds(evenEndToEnd)) reduceEvenEndPaths(state, weights);
    if (holds(evenBridged)) reduceEvenGenePaths(state, weights);
    if (holds(evenEndOnA) || holds(evenEndOnB)) reduceMixedEvenPaths(state, weights);
    if (holds(endEdgeOnA)) deleteSideAEndEdges(state, weights);
    if (holds(closed)) combineCyclePairs(state, weights);
    stripTwoEdgeCycles(state, weights);
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
