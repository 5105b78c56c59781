#include "solver/primitives.hpp"

#include <gtest/gtest.h>

#include "support/component_builders.hpp"

namespace varnet {
namespace {

using namespace varnet::testing;

TEST(GeneLists, ReversalReversesAndNegates) {
    struct Case {
        const char* name;
        std::vector<int32_t> genes;
        std::vector<int32_t> reversed;
    };
    const Case cases[] = {{"three genes", {1, 2, 3}, {-3, -2, -1}},
                          {"empty list", {}, {}},
                          {"odd length negates the middle once", {5}, {-5}},
                          {"even length", {-21, 32}, {-32, 21}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Edge edge = bridgeB(11, 21, c.genes);
        const Edge reversed = reversedEdge(edge);
        EXPECT_EQ(reversed, bridgeB(11, 21, c.reversed));
        EXPECT_EQ(edge.genes, c.genes);
        Edge inPlace = edge;
        reverseEdgeGenes(inPlace);
        EXPECT_EQ(inPlace, reversed);
    }
}

TEST(GeneLists, AppendKeepsTheTargetAndGatherReplacesIt) {
    Edge target = endA(11, {1});
    appendGenes(bridgeB(21, 31, {2, -3}), target);
    EXPECT_EQ(target, endA(11, {1, 2, -3}));

    gatherGenes({bridgeB(21, 31, {4}), adjA(31, 41), endB(51, {5, 6})}, target);
    EXPECT_EQ(target, endA(11, {4, 5, 6}));
    gatherGenes({}, target);
    EXPECT_EQ(target, endA(11, {}));
    // The target may be one of the sources.
    Edge self = bridgeA(11, 21, {7});
    gatherGenes({self, self}, self);
    EXPECT_EQ(self, bridgeA(11, 21, {7, 7}));
}

TEST(MirrorEdge, FlipsTheSideAndTurnsTheEdgeAround) {
    EXPECT_EQ(mirrorEdge(adjA(11, 21)), adjB(21, 11));
    EXPECT_EQ(mirrorEdge(bridgeB(11, 21, {5, 6})), bridgeA(21, 11, {5, 6}));
    EXPECT_EQ(mirrorEdge(lone(31)), (Edge{loneVertexFlags, 0, 31, {}}));
}

TEST(ReverseComponent, TurnsEdgesAroundAndLeavesGenes) {
    struct Case {
        const char* name;
        Component component;
        Component reversed;
    };
    const Case cases[] = {
        {"one end edge", {endA(11, {5})}, {withGenes(makeEdge(endEdge, false, 0, 11), {5})}},
        {"one block edge", {blockB({5})}, {blockB({5})}},
        {"one adjacency edge", {adjA(11, 21)}, {adjA(21, 11)}},
        {"odd length: end edges stay, the middle turns",
         {endA(11, {1}), adjB(11, 21), endA(21, {2})},
         {endA(21, {2}), adjB(21, 11), endA(11, {1})}},
        {"even length: bridging genes are not reversed",
         {endA(11, {1}), adjB(11, 21), bridgeA(21, 31, {2, 3}), endB(31, {4})},
         {endB(31, {4}), bridgeA(31, 21, {2, 3}), adjB(21, 11), endA(11, {1})}},
        {"cycle", {adjA(11, 21), bridgeB(21, 11, {5})}, {bridgeB(11, 21, {5}), adjA(21, 11)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component component = c.component;
        reverseComponent(component);
        EXPECT_EQ(component, c.reversed);
    }
}

TEST(JoinComponents, FusesPsLastEdgeWithQsFirstEdge) {
    struct Case {
        const char* name;
        Component p;
        Component q;
        Component joined;
        Component freed;
    };
    const Case cases[] = {
        {"Q a single block edge: P ends in an end edge with the block's genes",
         {endB(11, {1}), adjA(11, 21)},
         {blockA({7, 8})},
         {endB(11, {1}), withGenes(makeEdge(endEdge, false, 11), {7, 8})},
         {lone(21)}},
        {"Q starting with an end edge: a bridging edge to its endpoint",
         {adjB(31, 11), bridgeA(11, 21, {1})},
         {endA(41, {2, 3}), adjB(41, 51), endA(51, {4})},
         {adjB(31, 11), bridgeA(11, 41, {1, 2, 3}), adjB(41, 51), endA(51, {4})},
         {withGenes(lone(21), {1})}},
        {"P a lone vertex keeps its flags",
         {lone(11)},
         {endB(41, {2})},
         {withGenes(Edge{loneVertexFlags, 11, 41, {}}, {2})},
         {Edge{loneVertexFlags, 0, 0, {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component joined;
        Component freed;
        joinComponents(c.p, c.q, joined, freed);
        EXPECT_EQ(joined, c.joined);
        EXPECT_EQ(freed, c.freed);
    }
}

TEST(SplitPathAt, CutsTheEdgeOutAndJoinsItsNeighbours) {
    struct Case {
        const char* name;
        Component path;
        std::size_t j;
        Component rest;
        Component cut;
    };
    const Case cases[] = {
        {"three adjacency edges at 1: one adjacency junction",
         {adjA(11, 21), adjB(21, 31), adjA(31, 41)},
         1,
         {adjA(11, 41)},
         {adjB(21, 31), adjA(31, 21)}},
        {"bridging neighbour: a bridging junction with both gene lists",
         {bridgeB(61, 11, {1}), adjA(11, 21), bridgeB(21, 31, {2}), adjA(31, 41)},
         1,
         {bridgeB(61, 31, {1, 2}), adjA(31, 41)},
         {adjA(11, 21), adjB(21, 11)}},
        {"right neighbour the final end edge: an end edge at the left neighbour's start",
         {endA(11, {5}), adjB(11, 21), adjA(21, 31), adjB(31, 41), endA(41, {7})},
         3,
         {endA(11, {5}), adjB(11, 21), endA(21, {7})},
         {adjB(31, 41), adjA(41, 31)}},
        {"left neighbour the first end edge: an end edge at the right neighbour's end",
         {endA(11, {5}), adjB(11, 21), bridgeA(21, 31, {6}), adjB(31, 41)},
         1,
         {endA(31, {5, 6}), adjB(31, 41)},
         {adjB(11, 21), adjA(21, 11)}},
        {"both neighbours end edges: a block edge",
         {endA(11, {5}), adjB(11, 21), endA(21, {6})},
         1,
         {blockA({5, 6})},
         {adjB(11, 21), adjA(21, 11)}},
        {"the cut edge's mirror keeps its kind and genes",
         {adjA(11, 21), bridgeB(21, 31, {4}), adjA(31, 41)},
         1,
         {adjA(11, 41)},
         {bridgeB(21, 31, {4}), bridgeA(31, 21, {4})}},
        {"first edge, next a bridging edge: an end edge",
         {adjA(11, 21), bridgeB(21, 31, {4}), adjA(31, 41)},
         0,
         {endB(31, {4}), adjA(31, 41)},
         {adjA(11, 21), adjB(21, 11)}},
        {"first edge, next an end edge: a block edge",
         {adjA(11, 21), endB(21, {4})},
         0,
         {blockB({4})},
         {adjA(11, 21), adjB(21, 11)}},
        {"first of two adjacency edges: a lone vertex at the far end",
         {adjA(11, 21), adjB(21, 31)},
         0,
         {lone(31)},
         {adjA(11, 21), adjB(21, 11)}},
        {"first edge, next an adjacency edge of a longer path: no junction",
         {adjA(11, 21), adjB(21, 31), endA(31, {4})},
         0,
         {endA(31, {4})},
         {adjA(11, 21), adjB(21, 11)}},
        {"last edge, before it an end edge: a block edge",
         {endB(11, {4}), adjA(11, 21)},
         1,
         {blockB({4})},
         {adjA(11, 21), adjB(21, 11)}},
        {"last edge, before it a bridging edge: an end edge at its start",
         {adjA(11, 21), bridgeB(21, 31, {4}), adjA(31, 41)},
         2,
         {adjA(11, 21), endB(21, {4})},
         {adjA(31, 41), adjB(41, 31)}},
        {"last of two adjacency edges: a lone vertex at the far end",
         {adjA(11, 21), adjB(21, 31)},
         1,
         {lone(11)},
         {adjB(21, 31), adjA(31, 21)}},
        {"last edge, before it an adjacency edge of a longer path: no junction",
         {endB(11, {4}), adjA(11, 21), adjB(21, 31)},
         2,
         {endB(11, {4})},
         {adjB(21, 31), adjA(31, 21)}},
        {"a one-edge path leaves nothing", {adjB(11, 21)}, 0, {}, {adjB(11, 21), adjA(21, 11)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component rest{lone(999)};
        Component cut;
        splitPathAt(c.path, c.j, rest, cut);
        EXPECT_EQ(rest, c.rest);
        EXPECT_EQ(cut, c.cut);
    }
}

TEST(SplitCycleAt, CutsTheEdgeOutAndClosesTheGap) {
    const Component cycle{adjA(11, 21), adjB(21, 31), bridgeA(31, 41, {5}), adjB(41, 11)};
    struct Case {
        const char* name;
        Component c;
        std::size_t j;
        Component rest;
        Component cut;
    };
    const Case cases[] = {
        {"next a bridging edge: the edge before becomes one",
         cycle,
         1,
         {bridgeA(11, 41, {5}), adjB(41, 11)},
         {adjB(21, 31), adjA(31, 21)}},
        {"at the first edge: the last edge reaches past it",
         cycle,
         0,
         {bridgeA(31, 41, {5}), adjB(41, 31)},
         {adjA(11, 21), adjB(21, 11)}},
        {"at a bridging edge: the mirror is an adjacency edge with its genes",
         cycle,
         2,
         {adjA(11, 21), adjB(21, 11)},
         {bridgeA(31, 41, {5}), withGenes(adjB(41, 31), {5})}},
        {"at the last edge: the edge after it is the first",
         {bridgeA(11, 21, {5}), adjB(21, 31), adjA(31, 41), adjB(41, 11)},
         3,
         {adjB(21, 31), bridgeA(31, 21, {5})},
         {adjB(41, 11), adjA(11, 41)}},
        // Not met in practice; the one edge must be erased once.
        {"a one-edge cycle leaves nothing", {adjA(11, 11)}, 0, {}, {adjA(11, 11), adjB(11, 11)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component rest;
        Component cut;
        splitCycleAt(c.c, c.j, rest, cut);
        EXPECT_EQ(rest, c.rest);
        EXPECT_EQ(cut, c.cut);
    }
}

}  // namespace
}  // namespace varnet
