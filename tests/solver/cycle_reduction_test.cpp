#include "solver/cycle_reduction.hpp"

#include <gtest/gtest.h>

#include "support/component_builders.hpp"

namespace varnet {
namespace {

using testing::edge;

// Weights that tell every event apart in a sum: DP 1, SP 2, J 4, C 8, bD 16, aD 32.
constexpr OperationWeights weights = {1, 2, 4, 8, 16, 32};

constexpr bool sideA = false;
constexpr bool sideB = true;

OperationRecord record(std::vector<ComponentItem> before, std::vector<ComponentItem> after,
                       std::vector<int32_t> events) {
    return makeOperationRecord(std::move(before), std::move(after), std::move(events), "");
}

TEST(FindSplitEdge, SearchesTheAlternationClassOfItsSide) {
    struct Case {
        const char* name;
        Component cycle;
        std::optional<std::size_t> a;
        std::optional<std::size_t> b;
    };
    const Case cases[] = {
        {"genes on side A: only the side-B class has gene-carrying neighbours",
         {edge(bridgingEdge, sideA, 11, 12, {31}), edge(adjacencyEdge, sideB, 12, 21),
          edge(bridgingEdge, sideA, 21, 22, {41}), edge(adjacencyEdge, sideB, 22, 11)},
         std::nullopt,
         1},
        {"first edge on side B: the side-B class starts at 0 and wraps to the last edge",
         {edge(adjacencyEdge, sideB, 11, 12), edge(bridgingEdge, sideA, 12, 21, {31}),
          edge(adjacencyEdge, sideB, 21, 22), edge(bridgingEdge, sideA, 22, 11, {41})},
         std::nullopt,
         0},
        {"genes on side B, first edge on side A: position 0 itself",
         {edge(adjacencyEdge, sideA, 11, 12), edge(bridgingEdge, sideB, 12, 21, {31}),
          edge(adjacencyEdge, sideA, 21, 22), edge(bridgingEdge, sideB, 22, 11, {41})},
         0,
         std::nullopt},
        {"only one neighbour carries genes",
         {edge(adjacencyEdge, sideA, 11, 12), edge(bridgingEdge, sideB, 12, 21, {31}),
          edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 11)},
         std::nullopt,
         std::nullopt},
        {"later position of the class",
         {edge(adjacencyEdge, sideA, 11, 12), edge(adjacencyEdge, sideB, 12, 21),
          edge(adjacencyEdge, sideA, 21, 22), edge(bridgingEdge, sideB, 22, 31, {41}),
          edge(adjacencyEdge, sideA, 31, 32), edge(bridgingEdge, sideB, 32, 11, {51})},
         4,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(findSplitEdgeA(c.cycle), c.a);
        EXPECT_EQ(findSplitEdgeB(c.cycle), c.b);
    }
}

TEST(SplitCycles, TwoInnerEdgesMoveToCategory20WithoutAStep) {
    ChromosomeSet state;
    const Component done{edge(bridgingEdge, sideA, 11, 12, {31}),
                         edge(bridgingEdge, sideB, 12, 11, {41})};
    state.buckets[17] = {done};
    splitCycles(state, weights);
    EXPECT_TRUE(state.buckets[17].empty());
    EXPECT_EQ(state.buckets[20], std::vector<Component>{done});
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_EQ(state.totalCost, 0.0);
}

TEST(SplitCycles, CutsAtTheFoundPositionOrAtZero) {
    struct Case {
        const char* name;
        Component cycle;
        Component remainder;
        Component cut;
    };
    const Case cases[] = {
        {"no search finds a position: cut at 0",
         {edge(adjacencyEdge, sideA, 11, 12), edge(adjacencyEdge, sideB, 12, 21),
          edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 11)},
         {edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 21)},
         {edge(adjacencyEdge, sideA, 11, 12), edge(adjacencyEdge, sideB, 12, 11)}},
        {"side-B class: the adjacency edge between two gene-carrying edges",
         {edge(bridgingEdge, sideA, 11, 12, {31}), edge(adjacencyEdge, sideB, 12, 21),
          edge(bridgingEdge, sideA, 21, 22, {41}), edge(adjacencyEdge, sideB, 22, 11)},
         {edge(bridgingEdge, sideA, 11, 22, {31, 41}), edge(adjacencyEdge, sideB, 22, 11)},
         {edge(adjacencyEdge, sideB, 12, 21), edge(adjacencyEdge, sideA, 21, 12)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state;
        state.buckets[17] = {c.cycle};
        splitCycles(state, weights);
        const std::vector<OperationRecord> expected{
            record({makeCycleItem(c.cycle)}, {makeCycleItem(c.remainder), makeCycleItem(c.cut)},
                   {dpEvent})};
        EXPECT_EQ(state.sequence, expected);
        EXPECT_EQ(state.totalCost, 1.0);
        EXPECT_TRUE(state.buckets[17].empty());
        EXPECT_EQ(state.buckets[20], (std::vector<Component>{c.remainder, c.cut}));
    }
}

TEST(SplitCycles, SixEdgeCycleIsCutTwice) {
    // Cut 1 at 0 leaves a four-edge cycle in category 17, which is cut again at 0.
    ChromosomeSet state;
    state.buckets[17] = {{edge(adjacencyEdge, sideA, 11, 12), edge(adjacencyEdge, sideB, 12, 21),
                          edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 31),
                          edge(adjacencyEdge, sideA, 31, 32), edge(adjacencyEdge, sideB, 32, 11)}};
    splitCycles(state, weights);
    ASSERT_EQ(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[1].before[0].component,
              (Component{edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 31),
                         edge(adjacencyEdge, sideA, 31, 32), edge(adjacencyEdge, sideB, 32, 21)}));
    EXPECT_EQ(state.totalCost, 2.0);
    EXPECT_EQ(state.buckets[20].size(), 3u);
    for (const Component& c : state.buckets[20]) EXPECT_EQ(c.size(), 2u);
}

TEST(CombineCyclePairs, CombinesTheLastTwoThenHandsTheRestToSplitCycles) {
    // c17 = [C0, C2, C1]: C1 is spliced into C2 (its side-B gene edge at position 1). The
    // remainder goes back to c17, where the next pair (remainder, C0) finds no side-B gene edge
    // in C0: both go back unchanged and the cuts take over.
    const Component c0{edge(adjacencyEdge, sideA, 31, 32), edge(adjacencyEdge, sideB, 32, 41),
                       edge(adjacencyEdge, sideA, 41, 42), edge(adjacencyEdge, sideB, 42, 31)};
    const Component c2{edge(bridgingEdge, sideA, 21, 22, {71}),
                       edge(bridgingEdge, sideB, 22, 21, {81})};
    const Component c1{edge(bridgingEdge, sideA, 11, 12, {51}),
                       edge(bridgingEdge, sideB, 12, 11, {61})};
    ChromosomeSet state;
    state.buckets[17] = {c0, c2, c1};
    combineCyclePairs(state, weights);

    const Component r1{edge(bridgingEdge, sideA, 21, 11, {71, -51}),
                       edge(bridgingEdge, sideB, 11, 21, {-61, 81})};
    const Component r2{edge(adjacencyEdge, sideB, 22, 12), edge(adjacencyEdge, sideA, 12, 22)};
    const Component c0Rest{edge(adjacencyEdge, sideA, 41, 42), edge(adjacencyEdge, sideB, 42, 41)};
    const Component c0Cut{edge(adjacencyEdge, sideA, 31, 32), edge(adjacencyEdge, sideB, 32, 31)};
    const std::vector<OperationRecord> expected{
        record({makeCycleItem(c1), makeCycleItem(c2)}, {makeCycleItem(r1), makeCycleItem(r2)},
               {dpEvent, dpEvent}),
        record({makeCycleItem(c0)}, {makeCycleItem(c0Rest), makeCycleItem(c0Cut)}, {dpEvent}),
    };
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.totalCost, 3.0);
    EXPECT_TRUE(state.buckets[17].empty());
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{r2, r1, c0Rest, c0Cut}));
}

TEST(CombineCyclePairs, PairWithoutSpliceGoesBackUnchangedAndNothingEmptyIsFiled) {
    // Neither cycle has a side-B gene edge: no combining record, both are cut by splitCycles
    // (C1 first, as it is back on top).
    const Component c2{edge(adjacencyEdge, sideA, 31, 32), edge(adjacencyEdge, sideB, 32, 41),
                       edge(adjacencyEdge, sideA, 41, 42), edge(adjacencyEdge, sideB, 42, 31)};
    const Component c1{edge(adjacencyEdge, sideA, 11, 12), edge(adjacencyEdge, sideB, 12, 21),
                       edge(adjacencyEdge, sideA, 21, 22), edge(adjacencyEdge, sideB, 22, 11)};
    ChromosomeSet state;
    state.buckets[17] = {c2, c1};
    combineCyclePairs(state, weights);
    ASSERT_EQ(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[0].before, std::vector<ComponentItem>{makeCycleItem(c1)});
    EXPECT_EQ(state.sequence[1].before, std::vector<ComponentItem>{makeCycleItem(c2)});
    EXPECT_EQ(state.totalCost, 2.0);
    for (const std::vector<Component>& bucket : state.buckets) {
        for (const Component& c : bucket) EXPECT_FALSE(c.empty());
    }
    EXPECT_EQ(state.buckets[20].size(), 4u);
}

TEST(StripTwoEdgeCycles, DeletesGenesEdgeByEdgeFirstEdgeFirst) {
    const Component both{edge(bridgingEdge, sideA, 21, 11, {71, -51}),
                         edge(bridgingEdge, sideB, 11, 21, {-61, 81})};
    const Component lastOnly{edge(adjacencyEdge, sideA, 31, 32),
                             edge(bridgingEdge, sideB, 32, 31, {91})};
    const Component plain{edge(adjacencyEdge, sideA, 41, 42), edge(adjacencyEdge, sideB, 42, 41)};
    const Component longer{edge(bridgingEdge, sideA, 51, 52, {11}),
                           edge(adjacencyEdge, sideB, 52, 61), edge(adjacencyEdge, sideA, 61, 51)};
    const Component lone{makeLoneVertex(71)};
    ChromosomeSet state;
    state.buckets[20] = {both, plain, lastOnly, longer, lone};
    stripTwoEdgeCycles(state, weights);

    Component bothHalf = both;
    bothHalf[0].flags = adjacencyEdge;
    Component bothDone = bothHalf;
    bothDone[1].flags = adjacencyEdge | sideBBit;
    Component lastDone = lastOnly;
    lastDone[1].flags = adjacencyEdge | sideBBit;
    const std::vector<OperationRecord> expected{
        record({makeCycleItem(both)}, {makeCycleItem(bothHalf)}, {aDeletionEvent}),
        record({makeCycleItem(bothHalf)}, {makeCycleItem(bothDone)}, {bDeletionEvent}),
        record({makeCycleItem(lastOnly)}, {makeCycleItem(lastDone)}, {bDeletionEvent}),
    };
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.totalCost, 32.0 + 16.0 + 16.0);
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{bothDone, plain, lastDone, longer, lone}));
}

}  // namespace
}  // namespace varnet
