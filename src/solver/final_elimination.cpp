#include "solver/final_elimination.hpp"

#include <utility>

#include "solver/cycle_reduction.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// Turns an edge into a lone vertex at its endpoint (its `second` when `first` is 0).
void makeLone(Edge& edge) {
    if (isLoneVertex(edge)) return;
    if (edge.first == 0) std::swap(edge.first, edge.second);
    turnIntoLoneVertex(edge);
}

void chargeEvent(ChromosomeSet& state, EventCode event, const OperationWeights& weights) {
    state.log.addCost(weightOf(event, weights));
}

// Deletes every side-A block, one "aD" step each.
void deleteBlocksOnA(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[Category::blockOnA];
    while (!bucket.empty()) {
        state.log.recordStep([&] {
            return makeOperationRecord({makeLinearItem(bucket.back())}, {}, {aDeletionEvent});
        });
        bucket.pop_back();
        chargeEvent(state, aDeletionEvent, weights);
    }
}

// The lone vertex left at the end of every side-A end edge of endEdgeOnA ("aD").
void deleteSideAEndEdges(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[Category::endEdgeOnA];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem before = state.log.copyLinear(p);
        makeLone(p.front());
        state.log.recordStep([&] {
            return makeOperationRecord({std::move(before)}, {makeLinearItem(p)}, {aDeletionEvent});
        });
        chargeEvent(state, aDeletionEvent, weights);
        pushToCategory(state, std::move(p));
    }
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

// Closes `path` into a cycle in place, fusing its last edge (or, when the last edge is not an
// end edge, its first edge) to the far end, and adds the "J" weight when the fused edge is on
// side A, the "C" weight when on side B. Returns the event charged, "J" or "C".
EventCode closePath(ChromosomeSet& state, Component& path, const OperationWeights& weights) {
    Edge* fused = nullptr;
    if (path.back().kind != EdgeKind::end) {
        Edge& f = path.front();
        setKind(f, EdgeKind::bridging);
        f.second = path.back().second;
        std::swap(f.first, f.second);
        fused = &f;
    } else {
        Edge& l = path.back();
        setKind(l, EdgeKind::bridging);
        l.second = path.front().first;
        fused = &l;
    }
    const EventCode event = isSideB(*fused) ? cutEvent : joinEvent;
    chargeEvent(state, event, weights);
    return event;
}

// Odd paths (oddEndOnA or oddEndOnB): a one-edge path becomes a lone vertex ("aD" or "bD"); a
// longer path is closed into a cycle ("J" or "C"). Step "eliminate odd".
void eliminateOdd(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[category];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem before = state.log.copyLinear(p);
        if (p.size() == 1) {
            const EventCode event = isSideB(p.front()) ? bDeletionEvent : aDeletionEvent;
            makeLone(p.front());
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)}, {makeLinearItem(p)}, {event},
                                           "eliminate odd");
            });
            chargeEvent(state, event, weights);
            pushToCategory(state, std::move(p));
            continue;
        }
        // The listed event is the one charged: its side is that of the fused edge.
        const EventCode event = closePath(state, p, weights);
        state.log.recordStep([&] {
            return makeOperationRecord({std::move(before)}, {makeCycleItem(p)}, {event},
                                       "eliminate odd");
        });
        state.buckets[Category::closed].push_back(std::move(p));
    }
}

// Odd end-to-end paths (oddEndToEndB or oddEndToEndA): a trailing gene block is deleted ("bD");
// otherwise the first end edge is folded into the last one, closing the path ("J" or "C").
void closeEndPaths(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[category];
    while (!bucket.empty()) {
        Component a = popLast(bucket);
        ComponentItem before = state.log.copyLinear(a);
        if (a.back().kind == EdgeKind::block) {
            state.log.recordStep(
                [&] { return makeOperationRecord({std::move(before)}, {}, {bDeletionEvent}); });
            chargeEvent(state, bDeletionEvent, weights);
            continue;
        }
        Edge& last = a.back();
        last.second = a.front().first;
        appendGenes(a.front(), last);
        a.pop_front();
        setKind(a.back(), EdgeKind::bridging);
        const EventCode event = isSideB(a.back()) ? cutEvent : joinEvent;
        state.log.recordStep(
            [&] { return makeOperationRecord({std::move(before)}, {makeCycleItem(a)}, {event}); });
        chargeEvent(state, event, weights);
        pushToCategory(state, std::move(a));
    }
}

// Odd bridged paths and single bridges (oddBridgedA, oddBridgedB, bridgeOnA): the path is closed
// with a new adjacency edge on the side opposite its first edge ("C" or "J"), and the new edge is
// cut out again ("DP") unless that leaves two edges.
void closeGenePaths(ChromosomeSet& state, Category category, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[category];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem opened = state.log.copyLinear(p);
        const uint32_t u = p.front().first;
        const uint32_t v = p.back().second;
        const bool closingOnB = !isSideB(p.front());
        const EventCode event = closingOnB ? cutEvent : joinEvent;
        p.push_back(makeEdge(EdgeKind::adjacency, sideOf(closingOnB), v, u));
        state.log.recordStep(
            [&] { return makeOperationRecord({std::move(opened)}, {makeCycleItem(p)}, {event}); });
        chargeEvent(state, event, weights);
        if (p.size() == 2) {
            pushToCategory(state, std::move(p));
            continue;
        }
        ComponentItem closedItem = state.log.copyCycle(p);
        const std::size_t cut = p.size() - 1;
        SplitResult split = splitCycleAt(std::move(p), cut);
        Component& r = split.rest;
        Component& s = split.cut;
        state.log.recordStep([&] {
            return makeOperationRecord({std::move(closedItem)},
                                       {makeCycleItem(s), makeCycleItem(r)}, {dpEvent});
        });
        pushToCategory(state, std::move(r));
        pushToCategory(state, std::move(s));
        chargeEvent(state, dpEvent, weights);
    }
}

// evenEndToEnd: two end edges are deleted ("bD", then "aD"); a longer path loses its first end
// edge to a separate path and closes ("SP").
void reduceEvenEndPaths(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[Category::evenEndToEnd];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem before = state.log.copyLinear(p);
        if (p.size() == 2) {
            state.log.addCost(weightOf(aDeletionEvent, weights) +
                              weightOf(bDeletionEvent, weights));
            p.pop_back();
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)}, {makeLinearItem(p)},
                                           {bDeletionEvent});
            });
            ComponentItem single = state.log.copyLinear(p);
            makeLone(p.front());
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(single)}, {makeLinearItem(p)},
                                           {aDeletionEvent});
            });
            pushToCategory(state, std::move(p));
            continue;
        }
        if (isSideB(p.front()) && p.size() >= 2) reverseComponent(p);
        Edge freed = makeEdge(EdgeKind::end, Side::a, p.front().first, 0);
        freed.genes = p.front().genes;
        pushToCategory(state, Component{freed});
        appendGenes(p.back(), p[1]);
        p.pop_front();
        p.pop_back();
        p.front().first = p.back().second;
        state.log.recordStep([&] {
            return makeOperationRecord(
                {std::move(before)},
                {makeCycleItem(p), makeLinearItem(Component{std::move(freed)})}, {spEvent});
        });
        state.buckets[Category::closed].push_back(std::move(p));
        chargeEvent(state, spEvent, weights);
    }
}

// evenBridged: a longer path drops a lone vertex at its far end and closes ("SP"); a single edge
// becomes two lone vertices.
void reduceEvenGenePaths(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& bucket = state.buckets[Category::evenBridged];
    while (!bucket.empty()) {
        Component p = popLast(bucket);
        ComponentItem before = state.log.copyLinear(p);
        if (p.size() > 1) {
            const Component freed{makeLoneVertex(p.back().second)};
            p.back().second = p.front().first;
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)},
                                           {makeLinearItem(freed), makeCycleItem(p)}, {spEvent});
            });
            state.buckets[Category::closed].push_back(std::move(p));
            pushToCategory(state, freed);
            chargeEvent(state, spEvent, weights);
            continue;
        }
        const Edge& e = p.front();
        const Component first{makeLoneVertex(e.first)};
        const Component second{makeLoneVertex(e.second)};
        // The cost of this step is not that of its printed event: both deletion weights of
        // the edge's side come with it.
        if (isSideB(e)) {
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)},
                                           {makeLinearItem(first), makeLinearItem(second)},
                                           {joinEvent});
            });
            state.log.addCost(weightOf(bDeletionEvent, weights) + weightOf(joinEvent, weights));
        } else {
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)},
                                           {makeLinearItem(first), makeLinearItem(second)},
                                           {cutEvent});
            });
            state.log.addCost(weightOf(aDeletionEvent, weights) + weightOf(cutEvent, weights));
        }
        pushToCategory(state, first);
        pushToCategory(state, second);
    }
}

// evenEndOnA, then evenEndOnB: a single edge becomes a lone vertex ("aD" or "bD"); a longer path
// folds its end edge into its first edge, freeing that edge's vertex, and closes ("SP").
void reduceMixedEvenPaths(ChromosomeSet& state, const OperationWeights& weights) {
    for (const Category category : {Category::evenEndOnA, Category::evenEndOnB}) {
        std::vector<Component>& bucket = state.buckets[category];
        while (!bucket.empty()) {
            Component p = popLast(bucket);
            ComponentItem before = state.log.copyLinear(p);
            if (p.size() == 1) {
                const EventCode event =
                    category == Category::evenEndOnA ? aDeletionEvent : bDeletionEvent;
                makeLone(p.front());
                state.log.recordStep([&] {
                    return makeOperationRecord({std::move(before)}, {makeLinearItem(p)}, {event});
                });
                chargeEvent(state, event, weights);
                pushToCategory(state, std::move(p));
                continue;
            }
            if (p.front().kind == EdgeKind::end) reverseComponent(p);
            Edge freed = p.front();
            makeLone(freed);
            p.front().first = p.back().first;
            appendGenes(p.back(), p.front());
            p.pop_back();
            const Component n{std::move(freed)};
            state.log.recordStep([&] {
                return makeOperationRecord({std::move(before)},
                                           {makeCycleItem(p), makeLinearItem(n)}, {spEvent});
            });
            chargeEvent(state, spEvent, weights);
            pushToCategory(state, std::move(p));
            pushToCategory(state, n);
        }
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

}  // namespace varnet
