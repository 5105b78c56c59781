#include "solver/case_analysis.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "solver/bucketing.hpp"
#include "solver/categories.hpp"
#include "solver/cycle_splice.hpp"
#include "solver/joins.hpp"
#include "solver/primitives.hpp"
#include "solver/short_list.hpp"

namespace varnet {
namespace {

using enum Category;

// The two alternative outcomes a quad holds: components 1 and 2, or components 3 and 4.
enum class QuadAlternative : uint8_t { one, two };

// Where a case step takes a component from: the back of a category's bucket, or an alternative
// of the last quad (which supplies two components).
struct Operand {
    constexpr Operand() = default;
    constexpr Operand(Category c) : category(c) {}
    constexpr Operand(QuadAlternative a) : alternative(a) {}
    Category category = Category::other;
    std::optional<QuadAlternative> alternative;
};

using JoinFn = JoinResult (*)(const Component&, const Component&);

constexpr Operand alternativeOne = QuadAlternative::one;
constexpr Operand alternativeTwo = QuadAlternative::two;
constexpr EventCode C = cutEvent;
constexpr EventCode J = joinEvent;

// One pair (X first); `event` is the step's own event, and `join` replaces the case's join where
// a case uses several.
struct CasePair {
    Operand x;
    Operand y;
    EventCode event = spEvent;
    JoinFn join = nullptr;
};

enum class Applies { always, spAtMostDp, spBelowDp };

// The piece whose being a single edge (a whole chromosome of genes the other structure lacks)
// makes the join a mere hand-over of genes: no endpoint changes, so the step charges E alone.
enum class SingleEdgePiece { none, x, y };

using CasePairs = ShortList<CasePair, 10>;

struct CaseRow {
    const char* step;
    JoinFn join = nullptr;
    CasePairs whenDpAtMostSp{};  // tried when the DP weight is at most the SP weight
    CasePairs otherwise{};       // tried otherwise
    bool addsDp = false;         // events [E, DP] and cost weight(E) + DP
    // The piece that, having one edge, leaves out the DP of `addsDp`.
    SingleEdgePiece dpFreeWhenSingle = SingleEdgePiece::none;
    bool secondByCategoryOf = false;  // the freed result filed by the basic `categoryOf`
    Applies applies = Applies::always;
};

// The case steps in the order they run. E is SP where a pair names no event.
//
// Steps "4.3" and "4.17" run no pairs where they would only corrupt the graph: "4.3" with
// (blockOnB, oddEndToEndA) turns a lone block into an edge hanging at vertex 0, and "4.17"
// fuses a side-B edge into the side-A end edge of an oddEndOnB path, leaving two consecutive
// edges on one side; "4.17" therefore has no row.
// clang-format off
constexpr CaseRow caseTable[] = {
    {.step = "4.3", .join = joinInto,
     .otherwise = {{oddEndToEndB, oddEndToEndA}}},
    {.step = "4.4", .join = caseJoin4,
     .whenDpAtMostSp = {{oddBridgedA, bridgeOnB}, {bridgeOnA, bridgeOnB}},
     .otherwise = {{oddBridgedA, oddBridgedB}, {bridgeOnA, oddBridgedB}, {oddBridgedA, bridgeOnB},
                   {bridgeOnA, bridgeOnB}}},
    {.step = "4.5", .join = sideJoinBefore,
     .whenDpAtMostSp = {{blockOnB, evenBridged}},
     .otherwise = {{oddEndToEndB, evenBridged}, {blockOnB, evenBridged},
                   {oddEndToEndA, evenBridged}, {blockOnA, evenBridged}}},
    {.step = "4.6", .join = sideJoinAfter,
     .whenDpAtMostSp = {{oddBridgedA, twoEndEdges}, {bridgeOnA, twoEndEdges},
                        {bridgeOnB, evenEndToEnd}, {bridgeOnB, twoEndEdges}},
     .otherwise = {{oddBridgedA, evenEndToEnd}, {bridgeOnA, evenEndToEnd},
                   {oddBridgedA, twoEndEdges}, {bridgeOnA, twoEndEdges},
                   {oddBridgedB, evenEndToEnd}, {bridgeOnB, evenEndToEnd},
                   {oddBridgedB, twoEndEdges}, {bridgeOnB, twoEndEdges}}},
    {.step = "4.7", .join = caseJoin7,
     .whenDpAtMostSp = {{blockOnB, oddEndToEndB, C}, {blockOnB, blockOnB, C}},
     .otherwise = {{oddEndToEndB, oddEndToEndB, C}, {oddEndToEndB, blockOnB, C},
                   {blockOnB, blockOnB, C}, {oddEndToEndA, oddEndToEndA, J},
                   {oddEndToEndA, blockOnA, J}, {blockOnA, blockOnA, J}}},
    {.step = "4.8", .join = caseJoin8,
     .whenDpAtMostSp = {{bridgeOnB, oddBridgedB, J}, {bridgeOnB, bridgeOnB, J}},
     .otherwise = {{oddBridgedA, oddBridgedA, C}, {oddBridgedA, bridgeOnA, C},
                   {bridgeOnA, bridgeOnA, C}, {oddBridgedB, oddBridgedB, J},
                   {oddBridgedB, bridgeOnB, J}, {bridgeOnB, bridgeOnB, J}},
     .addsDp = true},
    {.step = "4.9", .join = caseJoin9,
     .whenDpAtMostSp = {{oddEndOnA, blockOnA, C}},
     .otherwise = {{oddEndOnA, oddEndToEndB, C}, {oddEndOnA, blockOnB, C},
                   {oddEndOnB, oddEndToEndA, J}, {oddEndOnB, blockOnA, J}},
     .addsDp = true, .dpFreeWhenSingle = SingleEdgePiece::y},
    {.step = "4.10", .join = caseJoin10,
     .whenDpAtMostSp = {{oddEndOnB, bridgeOnB, J}},
     .otherwise = {{oddEndOnA, oddBridgedA, C}, {oddEndOnA, bridgeOnA, C},
                   {oddEndOnB, oddBridgedB, J}, {oddEndOnB, bridgeOnB, J}},
     .addsDp = true, .secondByCategoryOf = true},
    {.step = "4.11", .join = caseJoin11,
     .whenDpAtMostSp = {{blockOnB, evenEndToEnd, C}, {blockOnB, twoEndEdges, C},
                        {oddEndToEndB, twoEndEdges, C}, {oddEndToEndA, twoEndEdges, J},
                        {blockOnA, twoEndEdges, J}},
     .otherwise = {{oddEndToEndB, evenEndToEnd, C}, {blockOnB, evenEndToEnd, C},
                   {oddEndToEndB, twoEndEdges, C}, {blockOnB, twoEndEdges, C},
                   {oddEndToEndA, evenEndToEnd, J}, {blockOnA, evenEndToEnd, J},
                   {oddEndToEndA, twoEndEdges, J}, {blockOnA, twoEndEdges, J}},
     .addsDp = true, .dpFreeWhenSingle = SingleEdgePiece::x},
    {.step = "4.12", .join = caseJoin12,
     .whenDpAtMostSp = {{bridgeOnB, evenBridged, J}},
     .otherwise = {{oddBridgedA, evenBridged, C}, {bridgeOnA, evenBridged, C},
                   {oddBridgedB, evenBridged, J}, {bridgeOnB, evenBridged, J}},
     .addsDp = true},
    {.step = "4.13", .join = caseJoin13,
     .whenDpAtMostSp = {{twoEndEdges, evenEndToEnd}, {twoEndEdges, twoEndEdges}},
     .otherwise = {{evenEndToEnd, evenEndToEnd}, {evenEndToEnd, twoEndEdges},
                   {twoEndEdges, twoEndEdges}}},
    {.step = "4.14", .join = caseJoin14,
     .whenDpAtMostSp = {{evenBridged, evenBridged}},
     .otherwise = {{evenBridged, evenBridged}},
     .applies = Applies::spAtMostDp},
    {.step = "4.15", .join = caseJoin15,
     .whenDpAtMostSp = {{evenEndOnB, endEdgeOnB}, {alternativeTwo, endEdgeOnB},
                        {endEdgeOnB, endEdgeOnB}},
     .otherwise = {{evenEndOnA, evenEndOnA}, {evenEndOnB, endEdgeOnB}, {evenEndOnB, evenEndOnB},
                   {evenEndOnB, alternativeTwo}, {alternativeTwo, endEdgeOnB},
                   {endEdgeOnA, endEdgeOnA}, {endEdgeOnB, endEdgeOnB}}},
    {.step = "4.16", .join = caseJoin16,
     .whenDpAtMostSp = {{oddEndOnA, endEdgeOnB}},
     .otherwise = {{oddEndOnA, evenEndOnB}, {oddEndOnA, endEdgeOnB}, {oddEndOnB, evenEndOnA},
                   {oddEndOnB, endEdgeOnA}, {oddEndOnA, alternativeTwo}}},
    {.step = "4.18", .join = caseJoin18,
     .whenDpAtMostSp = {{blockOnB, evenEndOnB}, {oddEndToEndB, endEdgeOnB},
                        {blockOnB, alternativeTwo}},
     .otherwise = {{oddEndToEndB, evenEndOnB}, {oddEndToEndB, endEdgeOnB}, {blockOnB, evenEndOnB},
                   {blockOnB, endEdgeOnB}, {oddEndToEndA, evenEndOnA}, {oddEndToEndA, endEdgeOnA},
                   {blockOnA, evenEndOnA}, {blockOnA, endEdgeOnA}, {oddEndToEndB, alternativeTwo},
                   {blockOnB, alternativeTwo}}},
    {.step = "4.19", .join = caseJoin19,
     .whenDpAtMostSp = {{bridgeOnB, evenEndOnB}, {bridgeOnB, endEdgeOnB},
                        {oddBridgedB, endEdgeOnB}, {bridgeOnB, endEdgeOnB},
                        {bridgeOnB, alternativeTwo}},
     .otherwise = {{oddBridgedA, evenEndOnA}, {oddBridgedA, endEdgeOnA}, {bridgeOnA, evenEndOnA},
                   {bridgeOnA, endEdgeOnA}, {oddBridgedB, evenEndOnB}, {oddBridgedB, endEdgeOnB},
                   {bridgeOnB, evenEndOnB}, {bridgeOnB, endEdgeOnB}, {oddBridgedB, alternativeTwo},
                   {bridgeOnB, alternativeTwo}}},
    {.step = "4.20", .join = caseJoin20,
     .whenDpAtMostSp = {{twoEndEdges, evenEndOnA}, {twoEndEdges, endEdgeOnA},
                        {twoEndEdges, evenEndOnB}, {twoEndEdges, endEdgeOnB},
                        {evenEndToEnd, endEdgeOnB}, {twoEndEdges, alternativeTwo}},
     .otherwise = {{evenEndToEnd, evenEndOnA}, {evenEndToEnd, evenEndOnB},
                   {twoEndEdges, evenEndOnA}, {twoEndEdges, endEdgeOnA},
                   {evenEndToEnd, endEdgeOnB}, {twoEndEdges, evenEndOnB},
                   {twoEndEdges, endEdgeOnB}, {evenEndToEnd, alternativeTwo},
                   {twoEndEdges, alternativeTwo}}},
    {.step = "4.21", .join = caseJoin21,
     .whenDpAtMostSp = {{evenBridged, endEdgeOnB}},
     .otherwise = {{evenBridged, evenEndOnA}, {evenBridged, evenEndOnB}, {evenBridged, endEdgeOnB},
                   {evenBridged, alternativeTwo}}},
    {.step = "4.22",
     .otherwise = {{.x = evenEndOnA, .y = alternativeOne, .join = caseJoin15},
                   {.x = oddEndOnB, .y = alternativeOne, .join = caseJoin16},
                   {.x = oddEndOnA, .y = alternativeOne, .join = caseJoin22},
                   {.x = oddEndToEndA, .y = alternativeOne, .join = caseJoin18},
                   {.x = oddBridgedA, .y = alternativeOne, .join = caseJoin19}},
     .applies = Applies::spBelowDp},
    {.step = "4.23", .join = caseJoin15,
     .otherwise = {{alternativeTwo, alternativeTwo}},
     .applies = Applies::spBelowDp},
};
// clang-format on

// Every row runs some pair, and alternative one is taken only as Y.
constexpr bool isConsistent(const CaseRow& row) {
    if (row.whenDpAtMostSp.size + row.otherwise.size == 0) return false;
    for (const CasePairs* pairs : {&row.whenDpAtMostSp, &row.otherwise}) {
        for (const CasePair& pair : *pairs) {
            if (pair.x.alternative == QuadAlternative::one) return false;
        }
    }
    return true;
}

constexpr bool allConsistent() {
    for (const CaseRow& row : caseTable) {
        if (!isConsistent(row)) return false;
    }
    return std::size(caseTable) == 20;
}
static_assert(allConsistent(), "a row of the case table does not fit how it is run");

std::pair<Component&, Component&> alternativeOf(ComponentQuad& quad, QuadAlternative alternative) {
    if (alternative == QuadAlternative::one) return {quad.first, quad.second};
    return {quad.third, quad.fourth};
}

// Takes X, then Y: the last component of the operand's bucket (record index -1) or the two
// components of the chosen alternative of the last quad (its record index twice), removing what
// it takes. Takes nothing and returns false when a bucket or `quads` holds too few entries, or
// when a quad's chosen alternative is empty.
bool takeComponents(ChromosomeSet& state, const CasePair& pair, std::vector<Component>& components,
                    std::vector<int64_t>& recordIndices) {
    // Most calls find a bucket empty: the check allocates and clears nothing.
    const bool oneBucket =
        !pair.x.alternative && !pair.y.alternative && pair.x.category == pair.y.category;
    std::size_t quadsNeeded = 0;
    for (const Operand& operand : {pair.x, pair.y}) {
        if (!operand.alternative) {
            const std::size_t needed = oneBucket ? 2 : 1;
            if (std::as_const(state.buckets)[operand.category].size() < needed) return false;
            continue;
        }
        if (quadsNeeded >= state.quads.size()) return false;
        ComponentQuad& quad = state.quads[state.quads.size() - 1 - quadsNeeded++];
        const auto [first, second] = alternativeOf(quad, *operand.alternative);
        if (first.empty() || second.empty()) return false;
    }
    components.clear();
    recordIndices.clear();
    for (const Operand& operand : {pair.x, pair.y}) {
        if (!operand.alternative) {
            components.push_back(popLast(state.buckets[operand.category]));
            recordIndices.push_back(-1);
            continue;
        }
        const auto [first, second] = alternativeOf(state.quads.back(), *operand.alternative);
        components.push_back(std::move(first));
        components.push_back(std::move(second));
        recordIndices.insert(recordIndices.end(), 2,
                             static_cast<int64_t>(state.quads.back().recordIndex));
        state.quads.pop_back();
    }
    return true;
}

// Every iteration of every case step: take the pair, join, record, file, settle the quads.
// Ordinarily X and Y are outputs 0 and 1, and a third output (the other half of a quad
// alternative) is filed after the results. Where Y is alternative one, its partner is filed
// between the joined and the freed result. Where both are alternative two, X and Y are component
// 3 of the last two quads, and both quads complete their pending records with both components.
void runPair(ChromosomeSet& state, const OperationWeights& weights, const CaseRow& row,
             const CasePair& pair) {
    const JoinFn join = pair.join != nullptr ? pair.join : row.join;
    const bool twoQuads =
        pair.x.alternative == QuadAlternative::two && pair.y.alternative == QuadAlternative::two;
    const bool partnerBeforeFreed = pair.y.alternative == QuadAlternative::one;
    const std::size_t yPosition = twoQuads ? 2 : 1;
    std::vector<Component> taken;
    std::vector<int64_t> indices;
    while (takeComponents(state, pair, taken, indices)) {
        // Quad components complete the record of the step that left them open. Output 0 does
        // so only where two quads are taken.
        for (std::size_t k = 0; k < taken.size(); ++k) {
            if (indices[k] < 0) continue;
            const auto step = static_cast<uint64_t>(indices[k]);
            if (k != 0 || twoQuads) state.log.addOutcome(step, taken[k]);
            state.log.settle(step);
        }
        const Component& x = taken[0];
        const Component& y = taken[yPosition];
        const bool handsOverGenes = (row.dpFreeWhenSingle == SingleEdgePiece::x && x.size() == 1) ||
                                    (row.dpFreeWhenSingle == SingleEdgePiece::y && y.size() == 1);
        const bool addsDp = row.addsDp && !handsOverGenes;
        const double cost = addsDp ? weightOf(pair.event, weights) + weightOf(dpEvent, weights)
                                   : weightOf(pair.event, weights);
        JoinResult r = join(x, y);

        state.log.recordStep([&] {
            OperationRecord record{{{x, 'L'}, {y, 'L'}}, {{r.joined, 'L'}}, {pair.event}, row.step};
            // A join that frees nothing has one result.
            if (!r.freed.empty()) record.after.push_back({r.freed, 'L'});
            if (addsDp) record.events.push_back(dpEvent);
            return record;
        });

        // The other components taken (at most two, from two quads) follow the results.
        const auto fileLeftovers = [&] {
            for (std::size_t k = 1; k < taken.size(); ++k) {
                if (k != yPosition) pushToCategory(state, std::move(taken[k]), true);
            }
        };
        pushToCategory(state, std::move(r.joined), true);
        if (partnerBeforeFreed) fileLeftovers();
        pushToCategory(state, std::move(r.freed), !row.secondByCategoryOf);
        if (!partnerBeforeFreed) fileLeftovers();
        state.log.addCost(cost);
    }
}

bool applies(Applies when, const OperationWeights& weights) {
    const double sp = weightOf(spEvent, weights);
    const double dp = weightOf(dpEvent, weights);
    return when == Applies::always || (when == Applies::spAtMostDp ? sp <= dp : sp < dp);
}

// The sources a case step takes operands from, as a category set with one more bit for the
// quads.
constexpr CategorySet quadsBit = CategorySet{1} << categoryCount;

constexpr CategorySet sourceOf(const Operand& operand) {
    return operand.alternative ? quadsBit : bitOf(operand.category);
}

CategorySet sourcesHolding(const ChromosomeSet& state) {
    return state.buckets.held() | (state.quads.empty() ? 0 : quadsBit);
}

// A set of rows of the case table, one bit each.
using RowSet = uint32_t;
static_assert(std::size(caseTable) < 32, "a row set has a bit for every row");

// For one weight order and each source (a category, or the quads), the rows with a pair that
// takes X from it, and those with a pair that takes Y from it: a row runs nothing unless both
// meet the sources that hold something.
struct RowsBySource {
    std::array<RowSet, categoryCount + 1> x{};
    std::array<RowSet, categoryCount + 1> y{};
};

constexpr RowsBySource rowsBySourceOf(bool dpAtMostSp) {
    RowsBySource rows;
    for (std::size_t r = 0; r < std::size(caseTable); ++r) {
        const CaseRow& row = caseTable[r];
        for (const CasePair& pair : dpAtMostSp ? row.whenDpAtMostSp : row.otherwise) {
            rows.x[static_cast<std::size_t>(std::countr_zero(sourceOf(pair.x)))] |= RowSet{1} << r;
            rows.y[static_cast<std::size_t>(std::countr_zero(sourceOf(pair.y)))] |= RowSet{1} << r;
        }
    }
    return rows;
}

constexpr RowsBySource rowsWhenDpAtMostSp = rowsBySourceOf(true);
constexpr RowsBySource rowsOtherwise = rowsBySourceOf(false);

// The rows that may run while the sources `held` hold something.
RowSet rowsThatMayRun(const RowsBySource& rows, CategorySet held) {
    RowSet x = 0;
    RowSet y = 0;
    for (CategorySet rest = held; rest != 0; rest &= rest - 1) {
        const auto source = static_cast<std::size_t>(std::countr_zero(rest));
        x |= rows.x[source];
        y |= rows.y[source];
    }
    return x & y;
}

// Runs the pairs of a row. `held` (`sourcesHolding`) is kept up to date: only a pair that runs
// changes the buckets, and most pairs find one of their sources empty, which costs one test.
void runCase(ChromosomeSet& state, const OperationWeights& weights, const CaseRow& row,
             bool dpAtMostSp, CategorySet& held) {
    if (!applies(row.applies, weights)) return;
    for (const CasePair& pair : dpAtMostSp ? row.whenDpAtMostSp : row.otherwise) {
        if (((sourceOf(pair.x) | sourceOf(pair.y)) & ~held) != 0) continue;
        runPair(state, weights, row, pair);
        held = sourcesHolding(state);
    }
}

// The rows in order, each run where it may: only a row that runs changes what the sources hold.
void runCaseSteps(ChromosomeSet& state, const OperationWeights& weights) {
    const bool dpAtMostSp = weightOf(dpEvent, weights) <= weightOf(spEvent, weights);
    const RowsBySource& rows = dpAtMostSp ? rowsWhenDpAtMostSp : rowsOtherwise;
    CategorySet held = sourcesHolding(state);
    RowSet pending = rowsThatMayRun(rows, held);
    while (pending != 0) {
        const int r = std::countr_zero(pending);
        const CategorySet before = held;
        runCase(state, weights, caseTable[r], dpAtMostSp, held);
        const RowSet later = ~((RowSet{2} << r) - 1);
        pending = (held == before ? pending : rowsThatMayRun(rows, held)) & later;
    }
}

// Step "4.1", repeated while a side-B circular block waits and some other component has a
// side-B edge carrying genes; the blocks left over keep waiting.
void mergeGeneBlocks(ChromosomeSet& state, const OperationWeights& weights) {
    if (std::as_const(state.buckets)[circularBlockB].empty()) return;
    // The first side-B edge carrying genes, scanning the buckets but for the waiting blocks (what
    // gets merged) and the finished components, in category order, components front to back,
    // edges first to last. Merging only adds genes to the edge found, so the first match stays
    // the first.
    Component* x = nullptr;
    std::size_t edge = 0;
    for (std::size_t k = 0; k < categoryCount && x == nullptr; ++k) {
        if (categoryAt(k) == circularBlockB || categoryAt(k) == other) continue;
        for (Component& component : state.buckets.lists[k]) {
            const auto found = std::find_if(component.begin(), component.end(), [](const Edge& e) {
                return isSideB(e) && isSpecialGeneEdge(e);
            });
            if (found == component.end()) continue;
            x = &component;
            edge = static_cast<std::size_t>(found - component.begin());
            break;
        }
    }
    if (x == nullptr) return;
    std::vector<Component>& blocks = state.buckets[circularBlockB];
    const bool closed = isClosed(*x);
    const EventCode event = x->size() == 1 ? spEvent : dpEvent;
    while (!blocks.empty()) {
        state.log.addCost(weightOf(event, weights));
        const Component& g = blocks.back();
        ComponentItem before = state.log.copy({*x, closed ? 'C' : 'L'});
        appendGenes(g.back(), (*x)[edge]);
        state.log.recordStep([&] {
            return OperationRecord{{std::move(before), ComponentItem{g, 'C'}},
                                   {state.log.copy({*x, closed ? 'C' : 'L'})},
                                   {event},
                                   "4.1"};
        });
        blocks.pop_back();
    }
}

// Step "4.2", repeated while a closed component waits, another component has more than two
// edges, and the splice of the two produces something.
void spliceCycles(ChromosomeSet& state, const OperationWeights& weights) {
    std::vector<Component>& cycles = state.buckets[Category::closed];
    while (!cycles.empty()) {
        const std::size_t pIndex = cycles.size() - 1;
        std::optional<std::pair<Category, std::size_t>> q;
        // The buckets not touched are empty.
        const CategorySet looked = state.buckets.touched & ~bitOf(other);
        for (CategorySet rest = looked; rest != 0 && !q; rest &= rest - 1) {
            const Category category = categoryAt(static_cast<std::size_t>(std::countr_zero(rest)));
            const std::vector<Component>& bucket = std::as_const(state.buckets)[category];
            for (std::size_t i = 0; i < bucket.size(); ++i) {
                if (category == Category::closed && i == pIndex) continue;
                if (bucket[i].size() > 2) {
                    q.emplace(category, i);
                    break;
                }
            }
        }
        if (!q) return;
        const Component& p = cycles[pIndex];
        std::vector<Component>& qBucket = state.buckets[q->first];
        const Component& qComponent = qBucket[q->second];
        SplitResult spliced = splitJoin(p, qComponent);
        Component& r1 = spliced.rest;
        Component& r2 = spliced.cut;
        // Without a side-B gene-carrying edge in Q there is nothing to splice into.
        if (r1.empty() || r2.empty()) return;

        state.log.addCost(2.0 * weightOf(dpEvent, weights));
        state.log.recordStep([&] {
            return OperationRecord{{ComponentItem{p, 'C'},
                                    state.log.copy({qComponent, isClosed(qComponent) ? 'C' : 'L'})},
                                   {state.log.copy({r1, isClosed(r1) ? 'C' : 'L'}),
                                    state.log.copy({r2, isClosed(r2) ? 'C' : 'L'})},
                                   {dpEvent, dpEvent},
                                   "4.2"};
        });
        // P is the last of the closed bucket, so removing it first keeps Q's position valid.
        cycles.pop_back();
        qBucket.erase(qBucket.begin() + static_cast<std::ptrdiff_t>(q->second));
        pushToCategory(state, std::move(r1));
        pushToCategory(state, std::move(r2));
    }
}

}  // namespace

void joinRemaining(ChromosomeSet& state, const OperationWeights& weights) {
    mergeGeneBlocks(state, weights);
    spliceCycles(state, weights);
    runCaseSteps(state, weights);
}

}  // namespace varnet
