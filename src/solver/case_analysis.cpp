#include "solver/case_analysis.hpp"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "solver/categories.hpp"
#include "solver/cycle_splice.hpp"
#include "solver/join_steps.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// ---------------------------------------------------------------------------------------------
// Orientation and building blocks of the joins.

// Reversed unless it starts with an end edge (a one-edge component stays as it is).
Component orientedByKind(const Component& c) {
    Component t = c;
    if (kindOf(t.front()) != endEdge && t.size() > 1) reverseComponent(t);
    return t;
}

// Reversed when it has more than one edge and the side of its named edge (first or last)
// differs from that of `against`, or, with `reverseWhenEqual`, is the same.
Component orientedBySide(const Component& c, bool namedIsLast, const Edge& against,
                         bool reverseWhenEqual = false) {
    Component t = c;
    const Edge& named = namedIsLast ? t.back() : t.front();
    if (t.size() > 1 && sameSide(named, against) == reverseWhenEqual) reverseComponent(t);
    return t;
}

// `edge` now ends at `end` and carries `source`'s genes after its own; with a kind given, it
// becomes that kind (keeping its side).
void extendEdge(Edge& edge, uint32_t end, const Edge& source,
                std::optional<uint8_t> kind = std::nullopt) {
    edge.second = end;
    appendGenes(source, edge);
    if (kind) setKind(edge, *kind);
}

// `edge` takes `head`'s first endpoint as its second endpoint and `head`'s genes after its own,
// keeping every gene end in exactly one place. A head without an endpoint (a block) gives only
// its genes; the stated kind then applies only to an edge with two endpoints. An end edge that
// gains a second endpoint becomes a bridging edge. Otherwise the edge becomes the stated kind
// and its old second endpoint is freed. Returns the freed endpoint, 0 when none is.
uint32_t takeHead(Edge& edge, const Edge& head, std::optional<uint8_t> kind = std::nullopt) {
    appendGenes(head, edge);
    if (head.first == 0) {
        if (kind && edge.first != 0 && edge.second != 0) setKind(edge, *kind);
        return 0;
    }
    if (kindOf(edge) == endEdge) {
        edge.second = head.first;
        setKind(edge, bridgingEdge);
        return 0;
    }
    const uint32_t freed = edge.second;
    edge.second = head.first;
    if (kind) setKind(edge, *kind);
    return freed;
}

// Appends copies of u's edges from position `from` on.
void appendEdgesFrom(Component& t, const Component& u, std::size_t from) {
    t.insert(t.end(), u.begin() + static_cast<std::ptrdiff_t>(from), u.end());
}

Component loneVertexAt(uint32_t end) {
    return Component{makeLoneVertex(end)};
}

// The lone vertex a join frees, or no component when it frees nothing.
Component freedVertex(uint32_t end) {
    return end == 0 ? Component{} : loneVertexAt(end);
}

// Two adjacency edges without genes: the first on the side opposite to `sideB` from u to v,
// the second on that side from v back to u.
Component twoEdgeCycle(uint32_t u, uint32_t v, bool sideB) {
    return Component{makeEdge(adjacencyEdge, !sideB, u, v), makeEdge(adjacencyEdge, sideB, v, u)};
}

// The common tail of `caseJoin15` and `caseJoin22`: T's last edge is fused with U's first edge.
void fuseOrientedByKind(const Component& x, const Component& y, std::optional<uint8_t> kind,
                        Component& r1, Component& r2) {
    Component t = orientedByKind(x);
    const Component u = orientedByKind(y);
    const uint32_t freed = takeHead(t.back(), u[0], kind);
    appendEdgesFrom(t, u, 1);
    r1 = std::move(t);
    r2 = freedVertex(freed);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Join operations.

void joinInto(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = x;
    extendEdge(r1.back(), y[1].second, y[1], bridgingEdge);
    appendEdgesFrom(r1, y, 2);
    r2 = Component{y[0]};
}

void caseJoin4(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = x;
    const std::size_t joined = r1.size();
    appendEdgesFrom(r1, y, 0);
    r1[joined].first = x.back().second;
    Edge freed = y[0];
    freed.second = 0;
    freed.flags = loneVertexFlags;
    r2 = Component{std::move(freed)};
}

void caseJoin7(const Component& x, const Component& y, Component& r) {
    if (x.size() == 1 && y.size() == 1) {
        r = x;
        appendGenes(y[0], r[0]);
        return;
    }
    const bool exchanged = x.size() == 1;
    const Component& u = exchanged ? x : y;
    r = exchanged ? y : x;
    if (u.size() == 1) {
        appendGenes(u[0], r.back());
    } else {
        extendEdge(r.back(), u[0].first, u[0], bridgingEdge);
        appendEdgesFrom(r, u, 1);
    }
}

void caseJoin8(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = x;
    const uint32_t freed = r1.back().second;
    extendEdge(r1.back(), y[0].second, y[0], bridgingEdge);
    appendEdgesFrom(r1, y, 1);
    r2 = twoEdgeCycle(freed, y[0].first, isSideB(x.back()));
}

void caseJoin9(const Component& x, const Component& y, Component& r) {
    r = x;
    if (y.size() == 1) {
        appendGenes(y[0], kindOf(x.front()) == endEdge ? r.front() : r.back());
        return;
    }
    if (kindOf(r.front()) == endEdge && r.size() > 1) reverseComponent(r);
    extendEdge(r.back(), y[0].first, y[0], bridgingEdge);
    appendEdgesFrom(r, y, 1);
}

void caseJoin10(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = orientedByKind(x);
    const uint32_t freed = r1.back().second;
    extendEdge(r1.back(), y[0].second, y[0], bridgingEdge);
    appendEdgesFrom(r1, y, 1);
    r2 = twoEdgeCycle(freed, y[0].first, isSideB(y[0]));
}

void caseJoin11(const Component& x, const Component& y, Component& r) {
    r = orientedBySide(y, false, x.back());
    Edge& head = r.front();
    if (x.size() == 1) {
        appendGenes(x[0], head);
        return;
    }
    head.second = head.first;
    head.first = x.back().first;
    appendGenes(x.back(), head);
    setKind(head, bridgingEdge);
    r.insert(r.begin(), x.begin(), x.end() - 1);
}

void caseJoin12(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = orientedBySide(y, true, x[0]);
    const uint32_t freed = r1.back().second;
    const bool fusedSideB = isSideB(r1.back());
    extendEdge(r1.back(), x[0].second, x[0]);
    appendEdgesFrom(r1, x, 1);
    r2 = twoEdgeCycle(freed, x[0].first, fusedSideB);
}

void caseJoin13(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = orientedBySide(x, true, y[0], true);
    Edge removed = std::move(r1.back());
    r1.pop_back();
    // The end vertex stays with the kept edge when both were end edges at it.
    const bool sharesEnd = kindOf(removed) == endEdge && removed.first == r1.back().first;
    takeHead(r1.back(), y[0]);
    appendEdgesFrom(r1, y, 1);
    r2.clear();
    if (!sharesEnd) {
        r2.push_back(std::move(removed));
    } else if (!removed.genes.empty()) {
        removed.first = 0;
        removed.second = 0;
        setKind(removed, blockEdge);
        r2.push_back(std::move(removed));
    }
}

void caseJoin14(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = orientedBySide(x, true, y[0], true);
    const std::size_t joined = r1.size();
    const uint32_t joinEnd = r1.back().second;
    appendEdgesFrom(r1, y, 0);
    r1[joined].first = joinEnd;
    r2 = loneVertexAt(y[0].first);
}

void caseJoin15(const Component& x, const Component& y, Component& r1, Component& r2) {
    if (x.size() == 1 && y.size() == 1) {
        r1 = x;
        appendGenes(y[0], r1[0]);
        Edge freed = y[0];
        freed.flags = loneVertexFlags;
        r2 = Component{std::move(freed)};
        return;
    }
    fuseOrientedByKind(x, y, bridgingEdge, r1, r2);
}

void caseJoin16(const Component& x, const Component& y, Component& r1, Component& r2) {
    const Component t = orientedByKind(x);
    r1 = orientedByKind(y);
    const uint32_t freed = takeHead(r1.back(), t[0]);
    appendEdgesFrom(r1, t, 1);
    r2 = freedVertex(freed);
}

void caseJoin18(const Component& x, const Component& y, Component& r1, Component& r2) {
    r1 = orientedByKind(y);
    const uint32_t freed = takeHead(r1.back(), x[0]);
    appendEdgesFrom(r1, x, 1);
    r2 = freedVertex(freed);
}

void caseJoin19(const Component& x, const Component& y, Component& r1, Component& r2) {
    const Component u = orientedByKind(y);
    r1 = x;
    const uint32_t freed = takeHead(r1.back(), u[0]);
    appendEdgesFrom(r1, u, 1);
    r2 = freedVertex(freed);
}

void caseJoin20(const Component& x, const Component& y, Component& r1, Component& r2) {
    Component r = orientedByKind(y);
    Component t = orientedBySide(x, false, r.back());
    if (y.size() == 1) {
        appendGenes(y[0], t.front());
        r1 = std::move(t);
        r2 = loneVertexAt(y[0].first);
        return;
    }
    const uint32_t freed = takeHead(r.back(), t[0]);
    appendEdgesFrom(r, t, 1);
    r1 = std::move(r);
    r2 = freedVertex(freed);
}

void caseJoin21(const Component& x, const Component& y, Component& r1, Component& r2) {
    const Component u = orientedByKind(y);
    r1 = orientedBySide(x, true, u[0]);
    const uint32_t freed = takeHead(r1.back(), u[0]);
    appendEdgesFrom(r1, u, 1);
    r2 = freedVertex(freed);
}

void caseJoin22(const Component& x, const Component& y, Component& r1, Component& r2) {
    fuseOrientedByKind(x, y, std::nullopt, r1, r2);
}

// ---------------------------------------------------------------------------------------------
// The case table.

namespace {

using JoinFn = void (*)(const Component&, const Component&, Component&, Component&);

template <void (*join)(const Component&, const Component&, Component&)>
void singleResult(const Component& x, const Component& y, Component& r1, Component&) {
    join(x, y, r1);
}

constexpr EventCode C = cutEvent;
constexpr EventCode J = joinEvent;

// One pair of categories (X first); `event` is the step's own event, and `join` replaces the
// case's join where a case uses several.
struct CasePair {
    int32_t x;
    int32_t y;
    EventCode event = spEvent;
    JoinFn join = nullptr;
};

enum class Applies { always, spAtMostDp, spBelowDp };

// How the taken components are used. `ordinary`: X and Y are outputs 0 and 1; a third output
// (the other half of a quad alternative, or the real category of (23, c)) is filed after the
// results. `alternativeOne`: as ordinary, but the other component of alternative one is filed
// between R1 and R2. `twoQuads`: X and Y are component 3 of the last two quads, and both quads
// complete their pending records with both their components.
enum class Run { ordinary, alternativeOne, twoQuads };

struct CaseRow {
    const char* step;
    JoinFn join;
    int outputs;
    std::vector<CasePair> pairsWhenDpAtMostSp;
    std::vector<CasePair> pairsOtherwise;
    bool addsDp = false;              // events [E, DP] and cost weight(E) + DP
    bool secondByCategoryOf = false;  // R2 filed by `categoryOf`
    Applies applies = Applies::always;
    Run run = Run::ordinary;
};

// The case steps in the order they run. Columns: label, join, number of results, the pairs
// (X category, Y category[, event E]) tried when the DP weight is at most the SP weight, the
// pairs tried otherwise, then the exceptions: events [E, DP] costing E + DP (instead of [E]
// costing E; E is SP where no event is given), R2 filed by `categoryOf`, a weight condition,
// and the use of quads. Categories 22 and 23 are the alternatives of the last quad.
//
// Steps "4.3" and "4.17" run no pairs where they would only corrupt the graph: "4.3" with
// (10, 11) turns a lone block into an edge hanging at vertex 0, and "4.17" fuses a side-B edge
// into the side-A end edge of a category-8 path, leaving two consecutive edges on one side.
const std::vector<CaseRow>& caseTable() {
    constexpr bool eventAndDp = true;
    constexpr bool secondByCategoryOf = true;
    // clang-format off
    static const std::vector<CaseRow> table = {
        {"4.3", joinInto, 2,
         {},
         {{9, 11}}},
        {"4.4", caseJoin4, 2,
         {{13, 16}, {14, 16}},
         {{13, 15}, {14, 15}, {13, 16}, {14, 16}}},
        {"4.5", sideJoinBefore, 2,
         {{10, 6}},
         {{9, 6}, {10, 6}, {11, 6}, {12, 6}}},
        {"4.6", sideJoinAfter, 2,
         {{13, 5}, {14, 5}, {16, 4}, {16, 5}},
         {{13, 4}, {14, 4}, {13, 5}, {14, 5}, {15, 4}, {16, 4}, {15, 5}, {16, 5}}},
        {"4.7", singleResult<caseJoin7>, 1,
         {{10, 9, C}, {10, 10, C}},
         {{9, 9, C}, {9, 10, C}, {10, 10, C}, {11, 11, J}, {11, 12, J}, {12, 12, J}}},
        {"4.8", caseJoin8, 2,
         {{16, 15, J}, {16, 16, J}},
         {{13, 13, C}, {13, 14, C}, {14, 14, C}, {15, 15, J}, {15, 16, J}, {16, 16, J}},
         eventAndDp},
        {"4.9", singleResult<caseJoin9>, 1,
         {{7, 12, C}},
         {{7, 9, C}, {7, 10, C}, {8, 11, J}, {8, 12, J}},
         eventAndDp},
        {"4.10", caseJoin10, 2,
         {{8, 16, J}},
         {{7, 13, C}, {7, 14, C}, {8, 15, J}, {8, 16, J}},
         eventAndDp, secondByCategoryOf},
        {"4.11", singleResult<caseJoin11>, 1,
         {{10, 4, C}, {10, 5, C}, {9, 5, C}, {11, 5, J}, {12, 5, J}},
         {{9, 4, C}, {10, 4, C}, {9, 5, C}, {10, 5, C}, {11, 4, J}, {12, 4, J}, {11, 5, J},
          {12, 5, J}},
         eventAndDp},
        {"4.12", caseJoin12, 2,
         {{16, 6, J}},
         {{13, 6, C}, {14, 6, C}, {15, 6, J}, {16, 6, J}},
         eventAndDp},
        {"4.13", caseJoin13, 2,
         {{5, 4}, {5, 5}},
         {{4, 4}, {4, 5}, {5, 5}}},
        {"4.14", caseJoin14, 2,
         {{6, 6}},
         {{6, 6}},
         false, false, Applies::spAtMostDp},
        {"4.15", caseJoin15, 2,
         {{1, 3}, {23, 3}, {3, 3}},
         {{0, 0}, {1, 3}, {1, 1}, {1, 23}, {23, 3}, {2, 2}, {3, 3}}},
        {"4.16", caseJoin16, 2,
         {{7, 3}},
         {{7, 1}, {7, 3}, {8, 0}, {8, 2}, {7, 23}}},
        {"4.17", caseJoin16, 2,
         {},
         {}},
        {"4.18", caseJoin18, 2,
         {{10, 1}, {9, 3}, {10, 23}},
         {{9, 1}, {9, 3}, {10, 1}, {10, 3}, {11, 0}, {11, 2}, {12, 0}, {12, 2}, {9, 23},
          {10, 23}}},
        {"4.19", caseJoin19, 2,
         {{16, 1}, {16, 3}, {15, 3}, {16, 3}, {16, 23}},
         {{13, 0}, {13, 2}, {14, 0}, {14, 2}, {15, 1}, {15, 3}, {16, 1}, {16, 3}, {15, 23},
          {16, 23}}},
        {"4.20", caseJoin20, 2,
         {{5, 0}, {5, 2}, {5, 1}, {5, 3}, {4, 3}, {5, 23}},
         {{4, 0}, {4, 1}, {5, 0}, {5, 2}, {4, 3}, {5, 1}, {5, 3}, {4, 23}, {5, 23}}},
        {"4.21", caseJoin21, 2,
         {{6, 3}},
         {{6, 0}, {6, 1}, {6, 3}, {6, 23}}},
        {"4.22", nullptr, 2,
         {},
         {{0, 22, spEvent, caseJoin15}, {8, 22, spEvent, caseJoin16},
          {7, 22, spEvent, caseJoin22}, {11, 22, spEvent, caseJoin18},
          {13, 22, spEvent, caseJoin19}},
         false, false, Applies::spBelowDp, Run::alternativeOne},
        {"4.23", caseJoin15, 2,
         {},
         {{23, 23}},
         false, false, Applies::spBelowDp, Run::twoQuads},
    };
    // clang-format on
    return table;
}

bool isQuadAlternative(int32_t category) {
    return category == quadAlternativeOne || category == quadAlternativeTwo;
}

void file(ChromosomeSet& state, Component component, int32_t category) {
    state.buckets[static_cast<std::size_t>(category)].push_back(std::move(component));
}

void fileByRefinedCategory(ChromosomeSet& state, Component component) {
    const int32_t category = refinedCategoryOf(component);
    file(state, std::move(component), category);
}

ComponentItem closedTestedItem(const Component& component, bool closed) {
    return closed ? makeCycleItem(component) : makeLinearItem(component);
}

// Every iteration of every case step: take the pair, join, record, file, settle the quads.
void runPair(ChromosomeSet& state, const OperationWeights& weights, const CaseRow& row,
             const CasePair& pair) {
    const std::array<int32_t, 2> categories{pair.x, pair.y};
    const JoinFn join = pair.join != nullptr ? pair.join : row.join;
    const std::size_t yPosition = row.run == Run::twoQuads ? 2 : 1;
    std::vector<int32_t> events{pair.event};
    if (row.addsDp) events.push_back(dpEvent);
    const double cost = row.addsDp ? weightOf(pair.event, weights) + weightOf(dpEvent, weights)
                                   : weightOf(pair.event, weights);

    std::vector<Component> taken;
    std::vector<int64_t> indices;
    while (takeComponents(state, categories, taken, indices)) {
        // Quad components complete the record of the step that left them open. Output 0 does
        // so only where two quads are taken.
        for (std::size_t k = 0; k < taken.size(); ++k) {
            if (indices[k] < 0 || (k == 0 && row.run != Run::twoQuads)) continue;
            state.sequence[static_cast<std::size_t>(indices[k])].after.push_back(
                makeLinearItem(taken[k]));
        }
        const Component& x = taken[0];
        const Component& y = taken[yPosition];
        Component r1;
        Component r2;
        join(x, y, r1, r2);

        // A join that frees no vertex has one result.
        const bool second = row.outputs == 2 && !r2.empty();
        std::vector<ComponentItem> after{makeLinearItem(r1)};
        if (second) after.push_back(makeLinearItem(r2));
        state.sequence.push_back(makeOperationRecord({makeLinearItem(x), makeLinearItem(y)},
                                                     std::move(after), events, row.step));

        std::vector<Component*> leftovers;
        for (std::size_t k = 1; k < taken.size(); ++k) {
            if (k != yPosition) leftovers.push_back(&taken[k]);
        }
        fileByRefinedCategory(state, std::move(r1));
        if (row.run == Run::alternativeOne) {
            for (Component* leftover : leftovers)
                fileByRefinedCategory(state, std::move(*leftover));
        }
        if (second) {
            const int32_t category =
                row.secondByCategoryOf ? categoryOf(r2) : refinedCategoryOf(r2);
            file(state, std::move(r2), category);
        }
        if (row.run != Run::alternativeOne) {
            for (Component* leftover : leftovers)
                fileByRefinedCategory(state, std::move(*leftover));
        }
        addCost(state, cost);
    }
}

bool applies(Applies when, const OperationWeights& weights) {
    switch (when) {
        case Applies::always:
            return true;
        case Applies::spAtMostDp:
            return weights[spWeight] <= weights[dpWeight];
        case Applies::spBelowDp:
            return weights[spWeight] < weights[dpWeight];
    }
    return false;
}

void runCase(ChromosomeSet& state, const OperationWeights& weights, const CaseRow& row) {
    if (!applies(row.applies, weights)) return;
    const bool dpAtMostSp = weights[dpWeight] <= weights[spWeight];
    for (const CasePair& pair : dpAtMostSp ? row.pairsWhenDpAtMostSp : row.pairsOtherwise) {
        runPair(state, weights, row, pair);
    }
}

// The first edge of structure B carrying genes, scanning buckets 0 to 17 and 19 (the blocks
// of bucket 18 are what is merged), components front to back, edges first to last.
struct GeneEdgePlace {
    std::size_t bucket = 0;
    std::size_t component = 0;
    std::size_t edge = 0;
};

std::optional<GeneEdgePlace> findSideBGeneEdge(const ChromosomeSet& state) {
    for (std::size_t k = 0; k < 20; ++k) {
        if (k == 18) continue;
        const std::vector<Component>& bucket = state.buckets[k];
        for (std::size_t i = 0; i < bucket.size(); ++i) {
            const Component& component = bucket[i];
            for (std::size_t j = 0; j < component.size(); ++j) {
                const Edge& edge = component[j];
                const uint8_t kind = kindOf(edge);
                if (isSideB(edge) &&
                    (kind == endEdge || kind == bridgingEdge || kind == blockEdge)) {
                    return GeneEdgePlace{k, i, j};
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The phase.

bool takeComponents(ChromosomeSet& state, std::span<const int32_t> categories,
                    std::vector<Component>& components, std::vector<int64_t>& recordIndices) {
    components.clear();
    recordIndices.clear();
    std::array<std::size_t, categoryCount> needed{};
    std::size_t quadsNeeded = 0;
    for (const int32_t category : categories) {
        if (isQuadAlternative(category)) {
            // A quad whose chosen alternative was left empty has nothing to offer.
            if (quadsNeeded >= state.quads.size()) return false;
            const ComponentQuad& quad = state.quads[state.quads.size() - 1 - quadsNeeded];
            const bool one = category == quadAlternativeOne;
            if ((one ? quad.first : quad.third).empty() ||
                (one ? quad.second : quad.fourth).empty()) {
                return false;
            }
            ++quadsNeeded;
        } else {
            if (category < 0 || category >= static_cast<int32_t>(categoryCount)) {
                throw std::out_of_range("no bucket for category " + std::to_string(category));
            }
            const auto index = static_cast<std::size_t>(category);
            if (++needed[index] > state.buckets[index].size()) return false;
        }
    }
    for (const int32_t category : categories) {
        if (isQuadAlternative(category)) {
            ComponentQuad& quad = state.quads.back();
            const bool one = category == quadAlternativeOne;
            components.push_back(std::move(one ? quad.first : quad.third));
            components.push_back(std::move(one ? quad.second : quad.fourth));
            recordIndices.insert(recordIndices.end(), 2, static_cast<int64_t>(quad.recordIndex));
            state.quads.pop_back();
        } else {
            std::vector<Component>& bucket = state.buckets[static_cast<std::size_t>(category)];
            components.push_back(std::move(bucket.back()));
            recordIndices.push_back(-1);
            bucket.pop_back();
        }
    }
    return true;
}

void mergeGeneBlocks(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& blocks = state.buckets[18];
    if (blocks.empty()) return;
    // Merging only adds genes to the edge found, so the first match stays the first.
    const std::optional<GeneEdgePlace> place = findSideBGeneEdge(state);
    if (!place) return;
    Component& x = state.buckets[place->bucket][place->component];
    const bool closed = isClosed(x);
    const bool single = x.size() == 1;
    const EventCode event = single ? spEvent : dpEvent;
    while (!blocks.empty()) {
        addCost(state, weightOf(event, weights));
        ComponentItem before = closedTestedItem(x, closed);
        const Component& g = blocks.back();
        appendGenes(g.back(), x[place->edge]);
        state.sequence.push_back(makeOperationRecord(
            {std::move(before), makeCycleItem(g)}, {closedTestedItem(x, closed)}, {event}, "4.1"));
        blocks.pop_back();
    }
}

void spliceCycles(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& cycles = state.buckets[17];
    while (!cycles.empty()) {
        const std::size_t pIndex = cycles.size() - 1;
        std::optional<std::pair<std::size_t, std::size_t>> q;
        for (std::size_t k = 0; k < 20 && !q; ++k) {
            const std::vector<Component>& bucket = state.buckets[k];
            for (std::size_t i = 0; i < bucket.size(); ++i) {
                if (k == 17 && i == pIndex) continue;
                if (bucket[i].size() > 2) {
                    q.emplace(k, i);
                    break;
                }
            }
        }
        if (!q) return;
        const Component& p = cycles[pIndex];
        std::vector<Component>& qBucket = state.buckets[q->first];
        const Component& qComponent = qBucket[q->second];
        Component r1;
        Component r2;
        splitJoin(p, qComponent, r1, r2);
        // Without a side-B gene-carrying edge in Q there is nothing to splice into.
        if (r1.empty() || r2.empty()) return;

        addCost(state, 2.0 * weightOf(dpEvent, weights));
        state.sequence.push_back(makeOperationRecord(
            {makeCycleItem(p), closedTestedItem(qComponent, isClosed(qComponent))},
            {closedTestedItem(r1, isClosed(r1)), closedTestedItem(r2, isClosed(r2))},
            {dpEvent, dpEvent}, "4.2"));
        // P is the last of bucket 17, so removing it first keeps Q's position valid.
        cycles.pop_back();
        qBucket.erase(qBucket.begin() + static_cast<std::ptrdiff_t>(q->second));
        const int32_t c1 = categoryOf(r1);
        file(state, std::move(r1), c1);
        const int32_t c2 = categoryOf(r2);
        file(state, std::move(r2), c2);
    }
}

void runCaseStep(ChromosomeSet& state, const OperationWeights& weights, std::string_view step) {
    for (const CaseRow& row : caseTable()) {
        if (step == row.step) {
            runCase(state, weights, row);
            return;
        }
    }
    throw std::invalid_argument("no case step labelled \"" + std::string(step) + "\"");
}

void joinRemaining(ChromosomeSet& state, const OperationWeights& weights) {
    mergeGeneBlocks(state, weights);
    spliceCycles(state, weights);
    for (const CaseRow& row : caseTable()) runCase(state, weights, row);
}

}  // namespace varnet
