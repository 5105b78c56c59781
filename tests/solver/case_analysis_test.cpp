#include "solver/case_analysis.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "graph/joint_graph.hpp"
#include "solver/bucketing.hpp"
#include "solver/categories.hpp"
#include "solver/path_pairing.hpp"
#include "solver/primitives.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "support/component_builders.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

using testing::edge;
using testing::lone;

constexpr bool A = false;
constexpr bool B = true;

// Small components of the categories the case steps take, built as the joint graph and the
// reductions leave them (end edges carry their endpoint in `first`).
const Component cat0{edge(endEdge, A, 5, 0, {3}), edge(adjacencyEdge, B, 5, 6),
                     edge(bridgingEdge, A, 6, 7, {4})};
const Component cat1{edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
                     edge(bridgingEdge, B, 2, 3, {2})};
const Component cat3{edge(endEdge, B, 5, 0, {3})};
const Component cat4{edge(endEdge, A, 2, 0, {3}), edge(adjacencyEdge, B, 2, 3),
                     edge(adjacencyEdge, A, 3, 4), edge(endEdge, B, 4, 0, {4})};
const Component cat5{edge(endEdge, A, 1, 0, {1}), edge(endEdge, B, 1, 0, {2})};
const Component cat6{edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
                     edge(adjacencyEdge, A, 3, 4), edge(bridgingEdge, B, 4, 5, {2})};
const Component cat7{edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
                     edge(adjacencyEdge, A, 3, 4), edge(endEdge, B, 4, 0, {2})};
const Component cat8{edge(endEdge, A, 1, 0, {1}), edge(adjacencyEdge, B, 1, 2),
                     edge(adjacencyEdge, A, 2, 3), edge(bridgingEdge, B, 3, 4, {2})};
const Component cat9{edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
                     edge(endEdge, B, 2, 0, {2})};
const Component cat10{edge(blockEdge, B, 0, 0, {5})};
const Component cat11{edge(endEdge, A, 1, 0, {1}), edge(adjacencyEdge, B, 1, 2),
                      edge(endEdge, A, 2, 0, {2})};
const Component cat13{edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
                      edge(bridgingEdge, A, 3, 4, {2})};
const Component cat14{edge(bridgingEdge, A, 1, 2, {1})};
const Component cat15{edge(bridgingEdge, B, 3, 4, {2}), edge(adjacencyEdge, A, 4, 5),
                      edge(bridgingEdge, B, 5, 6, {3})};
const Component cat16{edge(bridgingEdge, B, 1, 2, {1})};

TEST(CaseAnalysis, SampleComponentsHaveTheirCategories) {
    const std::pair<const Component*, int32_t> samples[] = {
        {&cat0, 0},   {&cat1, 1},   {&cat3, 3},   {&cat4, 4},   {&cat5, 5},
        {&cat6, 6},   {&cat7, 7},   {&cat8, 8},   {&cat9, 9},   {&cat10, 10},
        {&cat11, 11}, {&cat13, 13}, {&cat14, 14}, {&cat15, 15}, {&cat16, 16}};
    for (const auto& [component, category] : samples) {
        EXPECT_EQ(refinedCategoryOf(*component), category);
    }
}

using TwoResultJoin = void (*)(const Component&, const Component&, Component&, Component&);

TEST(CaseAnalysis, TwoResultJoinsOnHandWorkedComponents) {
    struct Case {
        const char* name;
        TwoResultJoin join;
        Component x;
        Component y;
        Component r1;
        Component r2;
    };
    const Case cases[] = {
        {"joinInto: X's last edge bridges to Y[1]'s end, Y[0] is freed",
         joinInto,
         cat9,
         {edge(endEdge, A, 3, 0, {3}), edge(adjacencyEdge, B, 3, 4), edge(endEdge, A, 4, 0, {4})},
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
          edge(bridgingEdge, B, 2, 4, {2}), edge(endEdge, A, 4, 0, {4})},
         {edge(endEdge, A, 3, 0, {3})}},
        {"caseJoin4: Y appended, its first edge starting at X's end",
         caseJoin4,
         cat14,
         {edge(bridgingEdge, B, 3, 4, {2})},
         {edge(bridgingEdge, A, 1, 2, {1}), edge(bridgingEdge, B, 2, 4, {2})},
         {lone(3, 0, {2})}},
        {"caseJoin8: two-edge cycle with the side of X's last edge",
         caseJoin8,
         cat16,
         cat15,
         {edge(bridgingEdge, B, 1, 4, {1, 2}), edge(adjacencyEdge, A, 4, 5),
          edge(bridgingEdge, B, 5, 6, {3})},
         {edge(adjacencyEdge, A, 2, 3), edge(adjacencyEdge, B, 3, 2)}},
        {"caseJoin10: two-edge cycle with the side of Y[0]",
         caseJoin10,
         cat8,
         {edge(bridgingEdge, B, 5, 6, {3})},
         {edge(endEdge, A, 1, 0, {1}), edge(adjacencyEdge, B, 1, 2), edge(adjacencyEdge, A, 2, 3),
          edge(bridgingEdge, B, 3, 6, {2, 3})},
         {edge(adjacencyEdge, A, 4, 5), edge(adjacencyEdge, B, 5, 4)}},
        {"caseJoin12: Y reversed to match X[0]; no kind change; cycle on the fused edge's side",
         caseJoin12,
         {edge(bridgingEdge, A, 7, 8, {9})},
         cat6,
         {edge(bridgingEdge, B, 5, 4, {2}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 8, {1, 9})},
         {edge(adjacencyEdge, B, 1, 7), edge(adjacencyEdge, A, 7, 1)}},
        {"caseJoin12: Y already ending on X[0]'s side",
         caseJoin12,
         {edge(bridgingEdge, B, 7, 8, {9})},
         cat6,
         {edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
          edge(adjacencyEdge, A, 3, 4), edge(bridgingEdge, B, 4, 8, {2, 9})},
         {edge(adjacencyEdge, A, 5, 7), edge(adjacencyEdge, B, 7, 5)}},
        {"caseJoin13: the kept end edge bridges to Y; the removed one, at the same end, is a block",
         caseJoin13,
         cat5,
         cat4,
         {edge(bridgingEdge, A, 1, 2, {1, 3}), edge(adjacencyEdge, B, 2, 3),
          edge(adjacencyEdge, A, 3, 4), edge(endEdge, B, 4, 0, {4})},
         {edge(blockEdge, B, 0, 0, {2})}},
        {"caseJoin14: X turned to end on the other side than Y[0], then all of Y",
         caseJoin14,
         cat6,
         {edge(bridgingEdge, B, 11, 12, {3}), edge(adjacencyEdge, A, 12, 13),
          edge(adjacencyEdge, B, 13, 14), edge(bridgingEdge, A, 14, 15, {4})},
         {edge(bridgingEdge, B, 5, 4, {2}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 1, {1}),
          edge(bridgingEdge, B, 1, 12, {3}), edge(adjacencyEdge, A, 12, 13),
          edge(adjacencyEdge, B, 13, 14), edge(bridgingEdge, A, 14, 15, {4})},
         {lone(11)}},
        {"caseJoin15: one edge each, Y's edge kept as a lone vertex with both ends",
         caseJoin15,
         cat3,
         {edge(bridgingEdge, B, 2, 7, {2})},
         {edge(endEdge, B, 5, 0, {3, 2})},
         {lone(2, 7, {2})}},
        {"caseJoin15: T's last edge becomes a bridging edge to U",
         caseJoin15,
         cat1,
         cat3,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
          edge(bridgingEdge, B, 2, 5, {2, 3})},
         {lone(3)}},
        {"caseJoin22: as caseJoin15 but the adjacency edge keeps its kind",
         caseJoin22,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2)},
         cat0,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 5, {3}),
          edge(adjacencyEdge, B, 5, 6), edge(bridgingEdge, A, 6, 7, {4})},
         {lone(2)}},
        {"caseJoin15: an end edge gaining a second endpoint bridges and frees nothing",
         caseJoin15,
         cat11,
         cat0,
         {edge(endEdge, A, 1, 0, {1}), edge(adjacencyEdge, B, 1, 2),
          edge(bridgingEdge, A, 2, 5, {2, 3}), edge(adjacencyEdge, B, 5, 6),
          edge(bridgingEdge, A, 6, 7, {4})},
         {}},
        {"caseJoin15: a block gives only its genes; the end edge stays one",
         caseJoin15,
         cat9,
         cat10,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
          edge(endEdge, B, 2, 0, {2, 5})},
         {}},
        {"caseJoin16: X oriented to start with its end edge, fused onto Y's end edge",
         caseJoin16,
         cat7,
         cat3,
         {edge(bridgingEdge, B, 5, 4, {3, 2}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 1, {1})},
         {}},
        {"caseJoin18: Y's last edge fused with X's first",
         caseJoin18,
         cat11,
         cat0,
         {edge(endEdge, A, 5, 0, {3}), edge(adjacencyEdge, B, 5, 6),
          edge(bridgingEdge, A, 6, 1, {4, 1}), edge(adjacencyEdge, B, 1, 2),
          edge(endEdge, A, 2, 0, {2})},
         {lone(7)}},
        {"caseJoin19: X's last edge fused with Y's first",
         caseJoin19,
         cat13,
         cat0,
         {edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
          edge(bridgingEdge, A, 3, 5, {2, 3}), edge(adjacencyEdge, B, 5, 6),
          edge(bridgingEdge, A, 6, 7, {4})},
         {lone(4)}},
        {"caseJoin20: one-edge Y goes into T's first edge",
         caseJoin20,
         cat5,
         cat3,
         {edge(endEdge, B, 1, 0, {2, 3}), edge(endEdge, A, 1, 0, {1})},
         {lone(5)}},
        {"caseJoin20: T fused onto Y's last edge",
         caseJoin20,
         cat5,
         cat0,
         {edge(endEdge, A, 5, 0, {3}), edge(adjacencyEdge, B, 5, 6),
          edge(bridgingEdge, A, 6, 1, {4, 1}), edge(endEdge, B, 1, 0, {2})},
         {lone(7)}},
        {"caseJoin21: X turned so its last edge has U[0]'s side",
         caseJoin21,
         cat6,
         cat0,
         {edge(bridgingEdge, B, 5, 4, {2}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 5, {1, 3}),
          edge(adjacencyEdge, B, 5, 6), edge(bridgingEdge, A, 6, 7, {4})},
         {lone(1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component r1;
        Component r2;
        c.join(c.x, c.y, r1, r2);
        EXPECT_EQ(r1, c.r1);
        EXPECT_EQ(r2, c.r2);
    }
}

using OneResultJoin = void (*)(const Component&, const Component&, Component&);

TEST(CaseAnalysis, OneResultJoinsOnHandWorkedComponents) {
    struct Case {
        const char* name;
        OneResultJoin join;
        Component x;
        Component y;
        Component r;
    };
    // cat7 written from its other end: caseJoin9 turns it around first.
    const Component cat7Reversed{edge(endEdge, B, 4, 0, {2}), edge(adjacencyEdge, A, 4, 3),
                                 edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 1, {1})};
    const Component cat9Other{edge(endEdge, B, 5, 0, {5}), edge(adjacencyEdge, A, 5, 6),
                              edge(endEdge, B, 6, 0, {6})};
    const Component joined79{edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
                             edge(adjacencyEdge, A, 3, 4),     edge(bridgingEdge, B, 4, 5, {2, 5}),
                             edge(adjacencyEdge, A, 5, 6),     edge(endEdge, B, 6, 0, {6})};
    const Case cases[] = {
        {"caseJoin7: two blocks",
         caseJoin7,
         cat10,
         {edge(blockEdge, B, 0, 0, {6})},
         {edge(blockEdge, B, 0, 0, {5, 6})}},
        {"caseJoin7: a block goes into the longer component's last edge",
         caseJoin7,
         cat10,
         cat9,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
          edge(endEdge, B, 2, 0, {2, 5})}},
        {"caseJoin7: two paths joined into one",
         caseJoin7,
         cat9,
         cat9Other,
         {edge(endEdge, B, 1, 0, {1}), edge(adjacencyEdge, A, 1, 2),
          edge(bridgingEdge, B, 2, 5, {2, 5}), edge(adjacencyEdge, A, 5, 6),
          edge(endEdge, B, 6, 0, {6})}},
        {"caseJoin9: a block goes into the last edge unless X starts with an end edge",
         caseJoin9,
         cat7,
         Component{edge(blockEdge, A, 0, 0, {7})},
         {edge(bridgingEdge, A, 1, 2, {1}), edge(adjacencyEdge, B, 2, 3),
          edge(adjacencyEdge, A, 3, 4), edge(endEdge, B, 4, 0, {2, 7})}},
        {"caseJoin9: ... and into the first edge when it does",
         caseJoin9,
         cat7Reversed,
         Component{edge(blockEdge, A, 0, 0, {7})},
         {edge(endEdge, B, 4, 0, {2, 7}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 1, {1})}},
        {"caseJoin9: X joined to Y", caseJoin9, cat7, cat9Other, joined79},
        {"caseJoin9: X starting with its end edge is turned first", caseJoin9, cat7Reversed,
         cat9Other, joined79},
        {"caseJoin11: a block goes into Y's first edge, Y turned to X's side",
         caseJoin11,
         cat10,
         cat4,
         {edge(endEdge, B, 4, 0, {4, 5}), edge(adjacencyEdge, A, 4, 3),
          edge(adjacencyEdge, B, 3, 2), edge(endEdge, A, 2, 0, {3})}},
        {"caseJoin11: X's edges in front of Y's bridged first edge",
         caseJoin11,
         cat11,
         Component{edge(endEdge, B, 3, 0, {3}), edge(endEdge, A, 3, 0, {4})},
         {edge(endEdge, A, 1, 0, {1}), edge(adjacencyEdge, B, 1, 2),
          edge(bridgingEdge, A, 2, 3, {4, 2}), edge(endEdge, B, 3, 0, {3})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component r;
        c.join(c.x, c.y, r);
        EXPECT_EQ(r, c.r);
    }
}

// Weights in file order: DP, SP, J, C, bD, aD; distinct powers of two, so a cost tells which
// events were charged.
constexpr OperationWeights dpBelowSp{1, 2, 4, 8, 16, 32};
constexpr OperationWeights dpAboveSp{2, 1, 4, 8, 16, 32};
constexpr OperationWeights dpEqualsSp{2, 2, 4, 8, 16, 32};

ComponentItem linear(const Component& c) {
    return makeLinearItem(c);
}

std::size_t recordsLabelled(const ChromosomeSet& state, const std::string& step) {
    return static_cast<std::size_t>(
        std::count_if(state.sequence.begin(), state.sequence.end(),
                      [&](const OperationRecord& record) { return record.step == step; }));
}

// A pending record of the pairing phase and its quad, as that phase leaves them.
void addQuad(ChromosomeSet& state, ComponentQuad quad) {
    quad.recordIndex = state.sequence.size();
    state.sequence.push_back(makeOperationRecord({linear(cat7), linear(cat8)}, {}, {1}, "3.1"));
    state.quads.push_back(std::move(quad));
}

TEST(CaseAnalysis, GeneBlocksGoIntoTheFirstSideBGeneEdgeInCategoryOrder) {
    // Category 0 holds a side-B bridging edge at position 1; category 1 one at position 0.
    const Component x{edge(endEdge, A, 5, 0, {3}), edge(bridgingEdge, B, 5, 6, {9}),
                      edge(bridgingEdge, A, 6, 7, {4})};
    ChromosomeSet state;
    state.buckets[0].push_back(cat0);  // no side-B gene edge
    state.buckets[0].push_back(x);
    state.buckets[1].push_back(cat1);
    const Component g1{edge(blockEdge, B, 0, 0, {7})};
    const Component g2{edge(blockEdge, B, 0, 0, {8})};
    state.buckets[18] = {g1, g2};
    mergeGeneBlocks(state, dpBelowSp);

    Component x1 = x;
    x1[1].genes = {9, 8};
    Component x2 = x;
    x2[1].genes = {9, 8, 7};
    const std::vector<OperationRecord> expected{
        makeOperationRecord({linear(x), makeCycleItem(g2)}, {linear(x1)}, {0}, "4.1"),
        makeOperationRecord({linear(x1), makeCycleItem(g1)}, {linear(x2)}, {0}, "4.1")};
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.buckets[0], (std::vector<Component>{cat0, x2}));
    EXPECT_EQ(state.buckets[1], std::vector<Component>{cat1});
    EXPECT_TRUE(state.buckets[18].empty());
    EXPECT_EQ(state.totalCost, 2 * dpBelowSp[0]);
}

TEST(CaseAnalysis, GeneBlockIntoAOneEdgeComponentOrACycle) {
    struct Case {
        const char* name;
        std::size_t bucket;
        Component x;
        ComponentItem (*item)(const Component&);
        int32_t event;
    };
    const Component cycle{edge(bridgingEdge, A, 1, 2, {1}), edge(bridgingEdge, B, 2, 1, {2})};
    for (const Case& c :
         {Case{"one edge: an SP step", 16, cat16, makeLinearItem, 1},
          Case{"a closed component is a cycle item", 17, cycle, makeCycleItem, 0}}) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state;
        state.buckets[c.bucket].push_back(c.x);
        state.buckets[18].push_back({edge(blockEdge, B, 0, 0, {7})});
        mergeGeneBlocks(state, dpBelowSp);
        Component merged = c.x;
        merged[isSideB(merged[0]) ? 0 : 1].genes.push_back(7);
        ASSERT_EQ(state.sequence.size(), 1u);
        EXPECT_EQ(state.sequence[0].before[0], c.item(c.x));
        EXPECT_EQ(state.sequence[0].after, std::vector<ComponentItem>{c.item(merged)});
        EXPECT_EQ(state.sequence[0].events, std::vector<int32_t>{c.event});
        EXPECT_EQ(state.totalCost, dpBelowSp[static_cast<std::size_t>(c.event)]);
    }
}

TEST(CaseAnalysis, GeneBlocksStayWhenNoOtherComponentHasASideBGeneEdge) {
    ChromosomeSet state;
    state.buckets[0].push_back(cat0);
    state.buckets[20].push_back({edge(bridgingEdge, B, 1, 1, {1})});  // not scanned
    state.buckets[18] = {cat10, cat10};
    joinRemaining(state, dpBelowSp);
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_EQ(state.buckets[18].size(), 2u);
    EXPECT_EQ(state.totalCost, 0.0);
}

TEST(CaseAnalysis, SplicesTheLastCycleIntoTheFirstComponentOfMoreThanTwoEdges) {
    const Component p{edge(bridgingEdge, B, 1, 2, {5}), edge(bridgingEdge, A, 2, 1, {3, 4})};
    const Component q{edge(endEdge, B, 11, 0, {1}), edge(adjacencyEdge, A, 11, 12),
                      edge(bridgingEdge, B, 12, 13, {2})};
    ChromosomeSet state;
    state.buckets[0].push_back(cat5);  // two edges: skipped
    state.buckets[1].push_back(q);
    state.buckets[17].push_back(p);
    spliceCycles(state, dpBelowSp);

    // P is spliced at Q's side-B bridging edge and the new adjacency edge 12-1 is cut out.
    const Component r1{edge(endEdge, B, 11, 0, {1}), edge(bridgingEdge, A, 11, 2, {-4, -3}),
                       edge(bridgingEdge, B, 2, 13, {-5, 2})};
    const Component r2{edge(adjacencyEdge, B, 12, 1), edge(adjacencyEdge, A, 1, 12)};
    const std::vector<OperationRecord> expected{makeOperationRecord(
        {makeCycleItem(p), linear(q)}, {linear(r1), makeCycleItem(r2)}, {0, 0}, "4.2")};
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.buckets[1], std::vector<Component>{r1});
    EXPECT_EQ(state.buckets[20], std::vector<Component>{r2});
    EXPECT_TRUE(state.buckets[17].empty());
    EXPECT_EQ(state.totalCost, 2 * dpBelowSp[0]);
}

TEST(CaseAnalysis, SpliceEndsWhenTheChosenComponentOffersNoPlace) {
    const Component p{edge(bridgingEdge, B, 1, 2, {5}), edge(bridgingEdge, A, 2, 1, {3, 4})};
    const Component q{edge(endEdge, B, 11, 0, {1}), edge(adjacencyEdge, A, 11, 12),
                      edge(bridgingEdge, B, 12, 13, {2})};
    ChromosomeSet state;
    state.buckets[0].push_back(cat0);  // first candidate: no side-B gene edge
    state.buckets[1].push_back(q);
    state.buckets[17].push_back(p);
    const Buckets before = state.buckets;
    spliceCycles(state, dpBelowSp);
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_EQ(state.buckets, before);

    ChromosomeSet noCycle;
    noCycle.buckets[1].push_back(q);
    spliceCycles(noCycle, dpBelowSp);
    EXPECT_TRUE(noCycle.sequence.empty());
}

TEST(CaseAnalysis, TakesEqualCategoriesFromTheBackAndNothingWhenShort) {
    ChromosomeSet state;
    const Component other{edge(bridgingEdge, A, 7, 8, {9}), edge(adjacencyEdge, B, 8, 9),
                          edge(bridgingEdge, A, 9, 10, {6})};
    state.buckets[13] = {other, cat13};
    std::vector<Component> taken;
    std::vector<int64_t> indices;
    const std::array<int32_t, 3> three{13, 13, 13};
    EXPECT_FALSE(takeComponents(state, three, taken, indices));
    EXPECT_EQ(state.buckets[13].size(), 2u);
    const std::array<int32_t, 2> two{13, 13};
    ASSERT_TRUE(takeComponents(state, two, taken, indices));
    EXPECT_EQ(taken, (std::vector<Component>{cat13, other}));
    EXPECT_EQ(indices, (std::vector<int64_t>{-1, -1}));
    EXPECT_TRUE(state.buckets[13].empty());

    // Through step "4.8": X is the last, Y the one before; events [C, DP].
    ChromosomeSet viaCase;
    viaCase.buckets[13] = {other, cat13};
    runCaseStep(viaCase, dpAboveSp, "4.8");
    ASSERT_EQ(viaCase.sequence.size(), 1u);
    EXPECT_EQ(viaCase.sequence[0].before,
              (std::vector<ComponentItem>{linear(cat13), linear(other)}));
    EXPECT_EQ(viaCase.sequence[0].events, (std::vector<int32_t>{2, 0}));
    EXPECT_EQ(viaCase.totalCost, dpAboveSp[3] + dpAboveSp[0]);
}

TEST(CaseAnalysis, TakesQuadAlternativesFromTheLastQuad) {
    const ComponentQuad older{cat0, {lone(91)}, cat1, {lone(92)}, 0};
    const ComponentQuad last{cat0, {lone(93)}, cat9, {lone(94)}, 0};
    ChromosomeSet state;
    addQuad(state, older);
    addQuad(state, last);
    state.quads.push_back({{}, {}, cat3, {lone(95)}, 7});  // alternative one left empty
    std::vector<Component> taken;
    std::vector<int64_t> indices;
    const std::array<int32_t, 1> one{quadAlternativeOne};
    EXPECT_FALSE(takeComponents(state, one, taken, indices));
    EXPECT_EQ(state.quads.size(), 3u);
    state.quads.pop_back();

    const std::array<int32_t, 2> both{quadAlternativeTwo, quadAlternativeTwo};
    ASSERT_TRUE(takeComponents(state, both, taken, indices));
    EXPECT_EQ(taken, (std::vector<Component>{cat9, {lone(94)}, cat1, {lone(92)}}));
    EXPECT_EQ(indices, (std::vector<int64_t>{1, 1, 0, 0}));
    EXPECT_TRUE(state.quads.empty());
    EXPECT_FALSE(takeComponents(state, one, taken, indices));
}

TEST(CaseAnalysis, PairListsOfStep43ForEachRegime) {
    // With the DP weight at most the SP weight, step "4.3" makes no iteration; otherwise it
    // joins (9, 11).
    for (const OperationWeights& weights : {dpBelowSp, dpEqualsSp}) {
        ChromosomeSet state;
        state.buckets[9].push_back(cat9);
        state.buckets[10].push_back(cat10);
        state.buckets[11].push_back(cat11);
        const Buckets before = state.buckets;
        runCaseStep(state, weights, "4.3");
        EXPECT_TRUE(state.sequence.empty());
        EXPECT_EQ(state.buckets, before);
    }
    ChromosomeSet state;
    state.buckets[9].push_back(cat9);
    state.buckets[10].push_back(cat10);
    state.buckets[11].push_back(cat11);
    runCaseStep(state, dpAboveSp, "4.3");
    Component r1;
    Component r2;
    joinInto(cat9, cat11, r1, r2);
    const std::vector<OperationRecord> expected{
        makeOperationRecord({linear(cat9), linear(cat11)}, {linear(r1), linear(r2)}, {1}, "4.3")};
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.buckets[10], std::vector<Component>{cat10});
    EXPECT_EQ(state.buckets[static_cast<std::size_t>(refinedCategoryOf(r1))].back(), r1);
    EXPECT_EQ(state.buckets[2], std::vector<Component>{r2});
    EXPECT_EQ(state.totalCost, dpAboveSp[1]);
}

TEST(CaseAnalysis, Step417RecordsNothingWhileStep416JoinsAsWritten) {
    for (const OperationWeights& weights : {dpBelowSp, dpAboveSp}) {
        ChromosomeSet state;
        for (const std::size_t k : {0, 1, 2}) state.buckets[k].push_back(k == 0 ? cat0 : cat1);
        state.buckets[3].push_back(cat3);
        state.buckets[7].push_back(cat7);
        state.buckets[8].push_back(cat8);
        addQuad(state, {cat0, {lone(91)}, cat1, {lone(92)}, 0});
        const Buckets before = state.buckets;
        const std::size_t records = state.sequence.size();
        runCaseStep(state, weights, "4.17");
        EXPECT_EQ(state.sequence.size(), records);
        EXPECT_EQ(state.buckets, before);
        EXPECT_EQ(state.quads.size(), 1u);
    }
    ChromosomeSet state;
    state.buckets[3].push_back(cat3);
    state.buckets[7].push_back(cat7);
    state.buckets[8].push_back(cat8);
    runCaseStep(state, dpBelowSp, "4.16");
    // cat7 turned to start with its end edge, fused onto cat3's end edge, which bridges: one
    // result, of category 6, and no lone vertex.
    const Component r1{edge(bridgingEdge, B, 5, 4, {3, 2}), edge(adjacencyEdge, A, 4, 3),
                       edge(adjacencyEdge, B, 3, 2), edge(bridgingEdge, A, 2, 1, {1})};
    const std::vector<OperationRecord> expected{
        makeOperationRecord({linear(cat7), linear(cat3)}, {linear(r1)}, {1}, "4.16")};
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.buckets[6], std::vector<Component>{r1});
    EXPECT_TRUE(state.buckets[7].empty());
    EXPECT_EQ(state.buckets[8], std::vector<Component>{cat8});
    EXPECT_TRUE(state.buckets[20].empty());
    EXPECT_EQ(state.totalCost, dpBelowSp[1]);
}

TEST(CaseAnalysis, EventsAndCostsFollowTheStep) {
    struct Case {
        const char* name;
        const char* step;
        std::size_t xBucket;
        Component x;
        std::size_t yBucket;
        Component y;
        std::vector<int32_t> events;
        double cost;
    };
    const Case cases[] = {
        {"4.7 (10, 9): C alone", "4.7", 10, cat10, 9, cat9, {2}, 8},
        {"4.8 (16, 15): J and DP", "4.8", 16, cat16, 15, cat15, {3, 0}, 4 + 1},
        {"4.9 (7, 12): C and DP", "4.9", 7, cat7, 12, {edge(blockEdge, A, 0, 0, {7})}, {2, 0}, 9},
        {"4.11 (11, 5): J and DP", "4.11", 11, cat11, 5, cat5, {3, 0}, 5},
        {"4.13 (5, 4): SP", "4.13", 5, cat5, 4, cat4, {1}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state;
        state.buckets[c.xBucket].push_back(c.x);
        state.buckets[c.yBucket].push_back(c.y);
        runCaseStep(state, dpBelowSp, c.step);
        ASSERT_EQ(state.sequence.size(), 1u);
        EXPECT_EQ(state.sequence[0].step, c.step);
        EXPECT_EQ(state.sequence[0].events, c.events);
        EXPECT_EQ(state.totalCost, c.cost);
    }
}

TEST(CaseAnalysis, Steps414And422And423DependOnTheWeights) {
    struct Case {
        const char* name;
        OperationWeights weights;
        bool run414;
        bool run422And423;
    };
    for (const Case& c :
         {Case{"DP below SP", dpBelowSp, false, false}, Case{"DP above SP", dpAboveSp, true, true},
          Case{"equal weights", dpEqualsSp, true, false}}) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state;
        state.buckets[6] = {cat6, cat6};
        runCaseStep(state, c.weights, "4.14");
        EXPECT_EQ(recordsLabelled(state, "4.14"), c.run414 ? 1u : 0u);

        state.buckets[0].push_back(cat0);
        addQuad(state, {cat0, {lone(91)}, cat1, {lone(92)}, 0});
        runCaseStep(state, c.weights, "4.22");
        EXPECT_EQ(recordsLabelled(state, "4.22"), c.run422And423 ? 1u : 0u);

        state.quads.clear();
        addQuad(state, {cat0, {lone(91)}, cat1, {lone(92)}, 0});
        addQuad(state, {cat0, {lone(93)}, cat9, {lone(94)}, 0});
        runCaseStep(state, c.weights, "4.23");
        EXPECT_EQ(recordsLabelled(state, "4.23"), c.run422And423 ? 1u : 0u);
    }
}

TEST(CaseAnalysis, QuadTakenWithARealCategoryCompletesItsRecordWithBothComponents) {
    // Step "4.18" (10, 23): X joins component 3, component 4 is filed back.
    const Component third{edge(endEdge, B, 21, 0, {4}), edge(adjacencyEdge, A, 21, 22),
                          edge(bridgingEdge, B, 22, 23, {5})};
    ChromosomeSet state;
    state.buckets[10].push_back(cat10);
    addQuad(state, {cat0, {lone(91)}, third, {lone(92)}, 0});
    runCaseStep(state, dpBelowSp, "4.18");
    ASSERT_EQ(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[0].after,
              (std::vector<ComponentItem>{linear(third), linear({lone(92)})}));
    // The block only gives its genes: one result, no lone vertex.
    const Component r1{edge(endEdge, B, 21, 0, {4}), edge(adjacencyEdge, A, 21, 22),
                       edge(bridgingEdge, B, 22, 23, {5, 5})};
    EXPECT_EQ(state.sequence[1],
              makeOperationRecord({linear(cat10), linear(third)}, {linear(r1)}, {1}, "4.18"));
    EXPECT_TRUE(state.quads.empty());
    EXPECT_EQ(state.buckets[refinedCategoryOf(r1)], std::vector<Component>{r1});
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{{lone(92)}}));
}

TEST(CaseAnalysis, QuadTakenBeforeCategory3CompletesItsRecordWithComponent4Only) {
    // Step "4.15" (23, 3): components 3 and 4 are joined, the category-3 path is filed back.
    const Component third{edge(endEdge, B, 21, 0, {4}), edge(adjacencyEdge, A, 21, 22),
                          edge(bridgingEdge, B, 22, 23, {5})};
    ChromosomeSet state;
    state.buckets[3].push_back(cat3);
    addQuad(state, {cat0, {lone(91)}, third, {lone(92)}, 0});
    runCaseStep(state, dpBelowSp, "4.15");
    ASSERT_EQ(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[0].after, std::vector<ComponentItem>{linear({lone(92)})});
    EXPECT_EQ(state.sequence[1].before,
              (std::vector<ComponentItem>{linear(third), linear({lone(92)})}));
    EXPECT_EQ(state.buckets[3], std::vector<Component>{cat3});
}

TEST(CaseAnalysis, Step422FilesComponent2BetweenTheResults) {
    ChromosomeSet state;
    state.buckets[7].push_back(cat7);
    addQuad(state, {cat0, {lone(91)}, cat1, {lone(92)}, 0});
    runCaseStep(state, dpAboveSp, "4.22");
    Component r1;
    Component r2;
    caseJoin22(cat7, cat0, r1, r2);
    ASSERT_EQ(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[0].after,
              (std::vector<ComponentItem>{linear(cat0), linear({lone(91)})}));
    EXPECT_EQ(state.sequence[1], makeOperationRecord({linear(cat7), linear(cat0)},
                                                     {linear(r1), linear(r2)}, {1}, "4.22"));
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{{lone(91)}, r2}));
    EXPECT_EQ(state.totalCost, dpAboveSp[1]);
}

TEST(CaseAnalysis, Step423JoinsComponent3OfTheLastTwoQuads) {
    const Component olderThird{edge(endEdge, B, 21, 0, {4}), edge(adjacencyEdge, A, 21, 22),
                               edge(bridgingEdge, B, 22, 23, {5})};
    ChromosomeSet state;
    addQuad(state, {cat0, {lone(91)}, olderThird, {lone(92)}, 0});
    addQuad(state, {cat0, {lone(93)}, cat1, {lone(94)}, 0});
    runCaseStep(state, dpAboveSp, "4.23");
    Component r1;
    Component r2;
    caseJoin15(cat1, olderThird, r1, r2);
    ASSERT_EQ(state.sequence.size(), 3u);
    EXPECT_EQ(state.sequence[1].after,
              (std::vector<ComponentItem>{linear(cat1), linear({lone(94)})}));
    EXPECT_EQ(state.sequence[0].after,
              (std::vector<ComponentItem>{linear(olderThird), linear({lone(92)})}));
    EXPECT_EQ(state.sequence[2], makeOperationRecord({linear(cat1), linear(olderThird)},
                                                     {linear(r1), linear(r2)}, {1}, "4.23"));
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{r2, {lone(94)}, {lone(92)}}));
}

// Non-empty, sides alternating, a lone vertex only on its own.
::testing::AssertionResult wellFormed(const Component& c) {
    if (c.empty()) return ::testing::AssertionFailure() << "empty component";
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c.size() > 1 && isLoneVertex(c[i])) {
            return ::testing::AssertionFailure() << "lone vertex at position " << i;
        }
        if (i > 0 && c.size() > 1 && sameSide(c[i - 1], c[i])) {
            return ::testing::AssertionFailure()
                   << "edges " << i - 1 << " and " << i << " on one side";
        }
    }
    return ::testing::AssertionSuccess();
}

// What the pending record of `quad` may have gained: alternative two, component 4 alone (with
// a "4.15" step that joined components 3 and 4), or alternative one (with a "4.22" step).
::testing::AssertionResult completedAsWritten(const ComponentQuad& quad,
                                              const std::vector<ComponentItem>& gained,
                                              const std::vector<OperationRecord>& steps) {
    const auto stepTook = [&](const std::string& label, const std::vector<ComponentItem>& before) {
        return std::any_of(steps.begin(), steps.end(), [&](const OperationRecord& record) {
            return record.step == label && record.before == before;
        });
    };
    if (gained == std::vector<ComponentItem>{linear(quad.third), linear(quad.fourth)}) {
        return ::testing::AssertionSuccess();
    }
    if (gained == std::vector<ComponentItem>{linear(quad.fourth)} &&
        stepTook("4.15", {linear(quad.third), linear(quad.fourth)})) {
        return ::testing::AssertionSuccess();
    }
    if (gained == std::vector<ComponentItem>{linear(quad.first), linear(quad.second)} &&
        std::any_of(steps.begin(), steps.end(), [&](const OperationRecord& record) {
            return record.step == "4.22" && record.before[1] == linear(quad.first);
        })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "record " << quad.recordIndex << " gained " << gained.size() << " unexpected items";
}

double weightSum(const OperationRecord& record, const OperationWeights& weights) {
    double sum = 0;
    for (const int32_t event : record.events)
        sum += weightOf(static_cast<EventCode>(event), weights);
    return sum;
}

// The phase on the graphs it meets in the solver: generated structure pairs, their joint graph
// and every stage before it. Every component it files stays well formed (a "4.2" splice never
// leaves a path ending in an adjacency edge there), every record has two operands and one or
// two results, the cost is the sum of the listed events, and only consumed quads complete
// their records.
TEST(CaseAnalysis, GeneratedStructurePairsThroughTheEarlierStages) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr uint32_t pairCount = 100;  // a smaller corpus under the sanitizers
#else
    constexpr uint32_t pairCount = 1500;
#endif
    // Integer weights keep every sum exact: DP below, above and equal to SP.
    const OperationWeights weightings[] = {
        {1, 2, 3, 5, 7, 11}, {2, 1, 5, 3, 7, 11}, {2, 2, 3, 5, 7, 11}};
    std::set<std::string> labels;
    for (int k = 1; k <= 23; ++k) labels.insert("4." + std::to_string(k));
    for (uint32_t seed = 1; seed <= pairCount; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        testing::GeneratorOptions options;
        options.geneCount = 8 + static_cast<int>(seed % 30);
        options.maxChromosomes = 1 + static_cast<int>(seed % 5);
        options.circularRate = (seed % 4) * 0.15;
        options.duplicateRate = (seed % 3) * 0.1;
        options.missingRate = 0.2 + (seed % 4) * 0.1;
        options.wholeChromosomeRate = (seed % 3) * 0.2;
        options.rearrangements = 2 + static_cast<int>(seed % 8);
        const auto [sa, sb] = testing::generatePair(random, options);
        const AdjacencyArray a = buildAdjacency(groupChromosomes(sa));
        const AdjacencyArray b = buildAdjacency(groupChromosomes(sb));
        for (const OperationWeights& weights : weightings) {
            const std::shared_ptr<ChromosomeSet> built = buildJointGraph(a, b);
            ChromosomeSet& state = *built;
            deleteSideABlocks(state, weights);
            reduceBeforeBucketing(state, weights);
            bucketComponents(state);
            pairPaths(state, weights);
            regroupBuckets(state, true);
            const ChromosomeSet initial = state;
            joinRemaining(state, weights);

            const std::vector<OperationRecord> steps(
                state.sequence.begin() + static_cast<std::ptrdiff_t>(initial.sequence.size()),
                state.sequence.end());
            double cost = initial.totalCost;
            for (const OperationRecord& record : steps) {
                EXPECT_EQ(labels.count(record.step), 1u) << record.step;
                EXPECT_EQ(record.before.size(), 2u) << record.step;
                EXPECT_GE(record.after.size(), 1u) << record.step;
                EXPECT_LE(record.after.size(), 2u) << record.step;
                cost += weightSum(record, weights);
            }
            EXPECT_EQ(state.totalCost, cost);
            for (std::size_t k = 0; k < categoryCount; ++k) {
                for (const Component& c : state.buckets[k]) {
                    ASSERT_TRUE(wellFormed(c)) << "bucket " << k;
                }
            }
            ASSERT_LE(state.quads.size(), initial.quads.size());
            for (std::size_t q = 0; q < initial.quads.size(); ++q) {
                const ComponentQuad& quad = initial.quads[q];
                const std::vector<ComponentItem>& before = initial.sequence[quad.recordIndex].after;
                const std::vector<ComponentItem>& after = state.sequence[quad.recordIndex].after;
                ASSERT_GE(after.size(), before.size());
                ASSERT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
                const std::vector<ComponentItem> gained(
                    after.begin() + static_cast<std::ptrdiff_t>(before.size()), after.end());
                if (q < state.quads.size()) {
                    EXPECT_TRUE(gained.empty()) << "a quad left in place completed its record";
                } else {
                    EXPECT_TRUE(completedAsWritten(quad, gained, steps));
                }
            }
        }
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace varnet
