#include "solver/cycle_splice.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "support/component_builders.hpp"

namespace varnet {
namespace {

using testing::edge;

constexpr bool A = false;
constexpr bool B = true;

struct SpliceCase {
    const char* name;
    Component t;
    Component b;
    Component r;
    Component s;
};

TEST(CycleSplice, SplicesAtTheFirstSideBBridgingOrEndEdge) {
    // T = adj(B) 1-2, bridging(A) 2-1 {3, 4}. In the first case B holds a side-B end edge at
    // position 0 and a side-B bridging edge at position 2; the bridging edge wins:
    // W = end, adj(A) 5-6, new adj(B) 6-1, T[1] turned (1-2, genes -4 -3), new bridging(B)
    // 2-8 {9}; W is open, so the new adjacency edge (position 2) is cut as from a path and its
    // neighbours become one side-A bridging edge 5-2.
    const Component t{edge(adjacencyEdge, B, 1, 2), edge(bridgingEdge, A, 2, 1, {3, 4})};
    const Component tStartingOnSideA{edge(bridgingEdge, A, 2, 1, {3, 4}),
                                     edge(adjacencyEdge, B, 1, 2)};
    const Component b{edge(endEdge, B, 5, 0, {7}), edge(adjacencyEdge, A, 5, 6),
                      edge(bridgingEdge, B, 6, 8, {9})};
    const Component spliced{edge(endEdge, B, 5, 0, {7}), edge(bridgingEdge, A, 5, 2, {-4, -3}),
                            edge(bridgingEdge, B, 2, 8, {9})};
    const Component cutEdge{edge(adjacencyEdge, B, 6, 1), edge(adjacencyEdge, A, 1, 6)};

    // Only side-B end edges: T's first edge is extended by B[0]'s genes, B rejoins at B[1]:
    // W = end(B) 2 {7}, bridging(A) 2-1 {3}, new adj(B) 1-5, adj(A) 5-6, end(B) 6 {8}; the cut
    // at position 2 takes out the new adjacency edge.
    const Component t2{edge(adjacencyEdge, B, 1, 2), edge(bridgingEdge, A, 2, 1, {3})};
    const Component endsOnly{edge(endEdge, B, 5, 0, {7}), edge(adjacencyEdge, A, 5, 6),
                             edge(endEdge, B, 6, 0, {8})};
    const Component endSpliced{edge(endEdge, B, 2, 0, {7}), edge(bridgingEdge, A, 2, 6, {3}),
                               edge(endEdge, B, 6, 0, {8})};

    // A longer T in the end-edge case: position 2 of W is T[2] itself, which is cut out.
    const Component t4{edge(adjacencyEdge, B, 1, 2), edge(adjacencyEdge, A, 2, 3),
                       edge(bridgingEdge, B, 3, 4, {5}), edge(adjacencyEdge, A, 4, 1)};
    const Component endsOnly2{edge(endEdge, B, 7, 0, {8}), edge(adjacencyEdge, A, 7, 9),
                              edge(endEdge, B, 9, 0, {6})};
    const Component t4Spliced{edge(endEdge, B, 2, 0, {8}), edge(adjacencyEdge, A, 2, 1),
                              edge(adjacencyEdge, B, 1, 7), edge(adjacencyEdge, A, 7, 9),
                              edge(endEdge, B, 9, 0, {6})};
    const Component t4Cut{edge(bridgingEdge, B, 3, 4, {5}), edge(bridgingEdge, A, 4, 3, {5})};

    // A one-edge cycle (side A, so rotating it changes nothing) spliced into a closed B:
    // W = new adj(B) 5-1, bridging(B) 1-6 {-4 -3 9}, adj(A) 6-5 is a cycle of category 17 and
    // is cut as a cycle at position 0: its last edge takes over the bridging edge.
    const Component loop{edge(bridgingEdge, A, 1, 1, {3, 4})};
    const Component closedB{edge(bridgingEdge, B, 5, 6, {9}), edge(adjacencyEdge, A, 6, 5)};
    const Component loopSpliced{edge(bridgingEdge, A, 6, 6, {-4, -3, 9})};
    const Component loopCut{edge(adjacencyEdge, B, 5, 1), edge(adjacencyEdge, A, 1, 5)};

    const SpliceCase cases[] = {
        {"bridging edge preferred over an earlier end edge", t, b, spliced, cutEdge},
        {"a cycle starting on side A is rotated first", tStartingOnSideA, b, spliced, cutEdge},
        {"end-edge case with a two-edge cycle", t2, endsOnly, endSpliced,
         Component{edge(adjacencyEdge, B, 1, 5), edge(adjacencyEdge, A, 5, 1)}},
        {"end-edge case cuts position 2 also for a longer cycle", t4, endsOnly2, t4Spliced, t4Cut},
        {"one-edge cycle adds no reversed copies", loop, closedB, loopSpliced, loopCut},
    };
    for (const SpliceCase& c : cases) {
        SCOPED_TRACE(c.name);
        Component r;
        Component s;
        splitJoin(c.t, c.b, r, s);
        EXPECT_EQ(r, c.r);
        EXPECT_EQ(s, c.s);
    }
}

TEST(CycleSplice, ProducesNothingWithoutASideBGeneEdgeToSpliceAt) {
    const Component t{edge(adjacencyEdge, B, 1, 2), edge(bridgingEdge, A, 2, 1, {3})};
    const struct {
        const char* name;
        Component b;
    } cases[] = {
        {"adjacency edges only",
         {edge(adjacencyEdge, B, 5, 6), edge(adjacencyEdge, A, 6, 7),
          edge(adjacencyEdge, B, 7, 8)}},
        {"gene edges on side A only",
         {edge(endEdge, A, 5, 0, {1}), edge(adjacencyEdge, B, 5, 6),
          edge(bridgingEdge, A, 6, 7, {2})}},
        {"a side-B block edge", {edge(blockEdge, B, 0, 0, {1})}},
        // The end-edge case rejoins at B's second edge, which a one-edge B lacks.
        {"a lone side-B end edge", {edge(endEdge, B, 5, 0, {1})}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Component r;
        Component s;
        splitJoin(t, c.b, r, s);
        EXPECT_TRUE(r.empty());
        EXPECT_TRUE(s.empty());
    }
}

TEST(CycleSplice, ReadsBFromItsSideBEndEdgeWhenThatEdgeIsLast) {
    // B's only side-B end edge is its last. Read from that end, B is end(B) 9 {8}, adj(A) 9-6,
    // adj(B) 6-5, end(A) 5 {7}, and W = end(B) 2 {8}, bridging(A) 2-1 {3}, new adj(B) 1-9,
    // adj(A) 9-6, adj(B) 6-5, end(A) 5 {7} alternates; cutting position 2 joins 2-1 and 9-6.
    // (Extending B's side-A first edge instead would follow the new side-B adjacency edge with
    // B's side-B second edge.)
    const Component t{edge(adjacencyEdge, B, 1, 2), edge(bridgingEdge, A, 2, 1, {3})};
    const Component b{edge(endEdge, A, 5, 0, {7}), edge(adjacencyEdge, B, 5, 6),
                      edge(adjacencyEdge, A, 6, 9), edge(endEdge, B, 9, 0, {8})};
    Component r;
    Component s;
    splitJoin(t, b, r, s);
    const Component expectedR{edge(endEdge, B, 2, 0, {8}), edge(bridgingEdge, A, 2, 6, {3}),
                              edge(adjacencyEdge, B, 6, 5), edge(endEdge, A, 5, 0, {7})};
    const Component expectedS{edge(adjacencyEdge, B, 1, 9), edge(adjacencyEdge, A, 9, 1)};
    EXPECT_EQ(r, expectedR);
    EXPECT_EQ(s, expectedS);
}

}  // namespace
}  // namespace varnet
