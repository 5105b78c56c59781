#include "solver/adjacency_reduction.hpp"

#include <gtest/gtest.h>

#include "support/component_builders.hpp"

namespace varnet {
namespace {

using namespace varnet::testing;

// Distinct weights, so that a cost shows which weight was charged.
constexpr OperationWeights weights{1.5, 7, 11, 13, 17, 19};

void expectUnlabelledDpSteps(const ChromosomeSet& state) {
    for (const OperationRecord& record : state.sequence) {
        EXPECT_EQ(record.events, std::vector<int32_t>{dpEvent});
        EXPECT_EQ(record.step, "");
    }
}

TEST(ExtractCycleEdge, LeavesCyclesOfFewerThanFourEdgesAlone) {
    const Component three{adjA(11, 21), adjB(21, 31), adjA(31, 11)};
    ChromosomeSet state({three, {adjA(41, 51), adjB(51, 41)}}, {});
    for (int32_t j = 0; j < 3; ++j) EXPECT_FALSE(extractCycleEdge(state, 0, j, weights));
    EXPECT_FALSE(extractCycleEdge(state, 1, 0, weights));
    reduceAdjacencyEdges(state, weights);
    EXPECT_EQ(state.cycles, (std::deque<Component>{three, {adjA(41, 51), adjB(51, 41)}}));
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_TRUE(state.snapshots.empty());
    EXPECT_EQ(state.eventCode, noEvent);
    EXPECT_EQ(state.totalCost, 0.0);
}

TEST(ExtractCycleEdge, CutsTheFirstOfFourAdjacencyEdges) {
    const Component four{adjA(11, 21), adjB(21, 31), adjA(31, 41), adjB(41, 11)};
    ChromosomeSet state({four}, {});
    ASSERT_TRUE(extractCycleEdge(state, 0, 0, weights));

    const Component rest{adjA(31, 41), adjB(41, 31)};
    const Component cut{adjA(11, 21), adjB(21, 11)};
    EXPECT_EQ(state.cycles, (std::deque<Component>{rest, cut}));
    ASSERT_EQ(state.sequence.size(), 1u);
    EXPECT_EQ(state.sequence[0],
              (OperationRecord{{{four, 'C'}}, {{cut, 'C'}, {rest, 'C'}}, {dpEvent}, ""}));
    ASSERT_EQ(state.edgeChanges.size(), 1u);
    EXPECT_EQ(state.edgeChanges[0].first, (std::vector<Edge>{adjB(41, 11), adjB(21, 31)}));
    EXPECT_EQ(state.edgeChanges[0].second, (std::vector<Edge>{adjB(21, 11), adjB(41, 31)}));
    EXPECT_EQ(state.snapshots, (std::vector<StateSnapshot>{{2, 0, dpEvent, 1.5}}));
    EXPECT_EQ(state.eventCode, dpEvent);
    EXPECT_EQ(state.totalCost, 1.5);
}

TEST(ExtractCycleEdge, MirrorCarriesNoGenesAndTheLastEdgeWrapsAround) {
    struct Case {
        const char* name;
        Component cycle;
        int32_t j;
        Component rest;
        Component cut;
    };
    const Case cases[] = {
        {"cut at a bridging edge: its mirror is an adjacency edge without genes",
         {bridgeA(11, 21, {5}), adjB(21, 31), adjA(31, 41), adjB(41, 11)},
         0,
         {adjA(31, 41), adjB(41, 31)},
         {bridgeA(11, 21, {5}), adjB(21, 11)}},
        {"cut at the last edge: the first edge is the one after it",
         {adjA(11, 21), adjB(21, 31), adjA(31, 41), adjB(41, 11)},
         3,
         {adjB(21, 31), adjA(31, 21)},
         {adjB(41, 11), adjA(11, 41)}},
        {"the edge before takes the genes of the edge after",
         {adjA(11, 21), adjB(21, 31), bridgeA(31, 41, {6, 7}), adjB(41, 51), adjA(51, 61),
          bridgeB(61, 11, {8})},
         1,
         {bridgeA(11, 41, {6, 7}), adjB(41, 51), adjA(51, 61), bridgeB(61, 11, {8})},
         {adjB(21, 31), adjA(31, 21)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state({c.cycle}, {});
        ASSERT_TRUE(extractCycleEdge(state, 0, c.j, weights));
        EXPECT_EQ(state.cycles, (std::deque<Component>{c.rest, c.cut}));
    }
}

TEST(ReduceAdjacencyEdges, BridgingNeighboursAbsorbEachOther) {
    ChromosomeSet state({{bridgeA(11, 21, {5}), adjB(21, 31), bridgeA(31, 41, {6}), adjB(41, 11)}},
                        {});
    reduceAdjacencyEdges(state, weights);
    EXPECT_EQ(state.cycles, (std::deque<Component>{{bridgeA(11, 41, {5, 6}), adjB(41, 11)},
                                                   {adjB(21, 31), adjA(31, 21)}}));
    EXPECT_EQ(state.sequence.size(), 1u);
}

TEST(ReduceAdjacencyEdges, CutsInsidePathsOnly) {
    struct Case {
        const char* name;
        Component path;
        Component rest;
        std::deque<Component> cycles;
    };
    const Case cases[] = {
        {"three edges, adjacency in the middle: a single junction edge",
         {adjA(11, 21), adjB(21, 31), adjA(31, 41)},
         {adjA(11, 41)},
         {{adjB(21, 31), adjA(31, 21)}}},
        {"junction over bridging edges",
         {bridgeA(11, 21, {5}), adjB(21, 31), bridgeA(31, 41, {6})},
         {bridgeA(11, 41, {5, 6})},
         {{adjB(21, 31), adjA(31, 21)}}},
        {"two edges: never changed",
         {adjA(11, 21), adjB(21, 31)},
         {adjA(11, 21), adjB(21, 31)},
         {}},
        {"one edge: never changed", {adjB(11, 21)}, {adjB(11, 21)}, {}},
        {"adjacency edges at the ends only: never changed",
         {adjA(11, 21), bridgeB(21, 31, {5}), adjA(31, 41)},
         {adjA(11, 21), bridgeB(21, 31, {5}), adjA(31, 41)},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state({}, {c.path});
        reduceAdjacencyEdges(state, weights);
        EXPECT_EQ(state.paths, std::deque<Component>{c.rest});
        EXPECT_EQ(state.cycles, c.cycles);
        ASSERT_EQ(state.sequence.size(), c.cycles.size());
        if (!c.cycles.empty()) {
            EXPECT_EQ(state.sequence[0],
                      (OperationRecord{
                          {{c.path, 'L'}}, {{c.rest, 'L'}, {c.cycles[0], 'C'}}, {dpEvent}, ""}));
        }
        EXPECT_TRUE(state.snapshots.empty());
        EXPECT_TRUE(state.edgeChanges.empty());
        EXPECT_EQ(state.eventCode, noEvent);
    }
}

TEST(ReduceAdjacencyEdges, CountsAfterTwoCycleCutsAndTwoPathCuts) {
    const Component cycle{adjA(101, 201), adjB(201, 301), adjA(301, 401),
                          adjB(401, 501), adjA(501, 601), adjB(601, 101)};
    const Component path{endA(11, {5}), adjB(11, 21), adjA(21, 31),
                         adjB(31, 41),  adjA(41, 51), endB(51, {6})};
    ChromosomeSet state({cycle}, {path});
    reduceAdjacencyEdges(state, weights);

    EXPECT_EQ(state.cycles, (std::deque<Component>{{adjA(501, 601), adjB(601, 501)},
                                                   {adjA(101, 201), adjB(201, 101)},
                                                   {adjA(301, 401), adjB(401, 301)},
                                                   {adjB(11, 21), adjA(21, 11)},
                                                   {adjB(31, 41), adjA(41, 31)}}));
    EXPECT_EQ(state.paths, (std::deque<Component>{{endA(51, {5}), endB(51, {6})}}));
    EXPECT_EQ(state.snapshots,
              (std::vector<StateSnapshot>{{2, 1, dpEvent, 1.5}, {3, 1, dpEvent, 3.0}}));
    ASSERT_EQ(state.edgeChanges.size(), 2u);
    EXPECT_EQ(state.edgeChanges[1].first, (std::vector<Edge>{adjB(601, 301), adjB(401, 501)}));
    EXPECT_EQ(state.edgeChanges[1].second, (std::vector<Edge>{adjB(401, 301), adjB(601, 501)}));
    ASSERT_EQ(state.sequence.size(), 4u);
    expectUnlabelledDpSteps(state);
    EXPECT_EQ(state.sequence[1].before[0].tag, 'C');
    EXPECT_EQ(state.sequence[2].after[0],
              (ComponentItem{{endA(31, {5}), adjB(31, 41), adjA(41, 51), endB(51, {6})}, 'L'}));
    EXPECT_EQ(state.totalCost, 6.0);
}

}  // namespace
}  // namespace varnet
