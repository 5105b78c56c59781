#include "solver/categories.hpp"

#include <gtest/gtest.h>

#include "solver/operation_record.hpp"

namespace varnet {
namespace {

Edge edgeOf(uint8_t kind, bool sideB, uint32_t first = 0, uint32_t second = 0) {
    return makeEdge(kind, sideB, first, second);
}

TEST(Categories, BothClassifiersOnTheSmallestShapes) {
    struct Case {
        const char* name;
        Component component;
        int32_t basic;
        int32_t refined;
    };
    const Case cases[] = {
        {"two end edges", {edgeOf(endEdge, false, 11), edgeOf(endEdge, true, 11)}, 4, 5},
        {"one end edge on side B", {edgeOf(endEdge, true, 11)}, 1, 3},
        {"one end edge on side A", {edgeOf(endEdge, false, 11)}, 2, 2},
        {"block on side B", {edgeOf(blockEdge, true)}, 9, 10},
        {"block on side A", {edgeOf(blockEdge, false)}, 12, 12},
        {"open bridging edge on side B", {edgeOf(bridgingEdge, true, 11, 12)}, 15, 16},
        {"open bridging edge on side A", {edgeOf(bridgingEdge, false, 11, 12)}, 14, 14},
        {"closed, two bridging edges",
         {edgeOf(bridgingEdge, false, 11, 12), edgeOf(bridgingEdge, true, 12, 11)},
         17,
         17},
        {"closed, adjacency and bridging edge",
         {edgeOf(adjacencyEdge, false, 11, 12), edgeOf(bridgingEdge, true, 12, 11)},
         20,
         20},
        {"closed, three edges",
         {edgeOf(adjacencyEdge, false, 11, 12), edgeOf(adjacencyEdge, true, 12, 21),
          edgeOf(adjacencyEdge, false, 21, 11)},
         17,
         17},
        {"lone vertex", {makeLoneVertex(111)}, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(categoryOf(c.component), c.basic);
        EXPECT_EQ(refinedCategoryOf(c.component), c.refined);
    }
}

TEST(Categories, OpenPathsByInnerCountAndDecidingEnd) {
    // end(A) adj(B) adj(A): inner count 2, deciding end edge is the first (side A).
    const Component evenA{edgeOf(endEdge, false, 11), edgeOf(adjacencyEdge, true, 11, 21),
                          edgeOf(adjacencyEdge, false, 21, 31)};
    EXPECT_EQ(innerEdgeCount(evenA), 2u);
    EXPECT_EQ(categoryOf(evenA), 0);
    // adj(B) adj(A) end(B): deciding edge is the last, side B.
    const Component evenB{edgeOf(adjacencyEdge, true, 31, 21), edgeOf(adjacencyEdge, false, 21, 11),
                          edgeOf(endEdge, true, 11)};
    EXPECT_EQ(categoryOf(evenB), 1);
    // bridging(A) adj(B) bridging(A): inner 3, both ends kind 2, first on side A.
    const Component oddBridges{edgeOf(bridgingEdge, false, 11, 21),
                               edgeOf(adjacencyEdge, true, 21, 31),
                               edgeOf(bridgingEdge, false, 31, 41)};
    EXPECT_EQ(categoryOf(oddBridges), 13);
    // bridging(B) adj(A): inner 2, ends kinds 2 and 0, deciding edge is the last (side A).
    const Component mixed{edgeOf(bridgingEdge, true, 11, 21), edgeOf(adjacencyEdge, false, 21, 31)};
    EXPECT_EQ(categoryOf(mixed), 0);
    // adj(A): inner 1, deciding edge the last = the only one, side A.
    EXPECT_EQ(categoryOf(Component{edgeOf(adjacencyEdge, false, 11, 21)}), 7);
    EXPECT_EQ(categoryOf(Component{edgeOf(adjacencyEdge, true, 11, 21)}), 8);
    // end(A) adj(B) end(A): inner 1, both ends kind 1.
    const Component ends{edgeOf(endEdge, false, 11), edgeOf(adjacencyEdge, true, 11, 21),
                         edgeOf(endEdge, false, 21)};
    EXPECT_EQ(categoryOf(ends), 11);
    EXPECT_EQ(isClosed(ends), false);
}

TEST(Categories, RemainingRulesAgreeExceptWhereTheRefinedClassifierSplits) {
    struct Case {
        const char* name;
        Component component;
        int32_t basic;
        int32_t refined;
    };
    const Case cases[] = {
        {"even, both ends bridging",
         {edgeOf(bridgingEdge, false, 11, 21), edgeOf(bridgingEdge, true, 21, 31)},
         6,
         6},
        {"even, both ends end edges",
         {edgeOf(endEdge, true, 11), edgeOf(adjacencyEdge, false, 11, 21),
          edgeOf(adjacencyEdge, true, 21, 31), edgeOf(endEdge, false, 31)},
         4,
         4},
        {"odd, both ends end edges, first on side B",
         {edgeOf(endEdge, true, 11), edgeOf(adjacencyEdge, false, 11, 21),
          edgeOf(endEdge, true, 21)},
         9,
         9},
        {"odd, three edges, both ends bridging, first on side B",
         {edgeOf(bridgingEdge, true, 11, 21), edgeOf(adjacencyEdge, false, 21, 31),
          edgeOf(bridgingEdge, true, 31, 41)},
         15,
         15},
        {"odd, deciding bridging edge first, side B",
         {edgeOf(bridgingEdge, true, 11, 21), edgeOf(adjacencyEdge, false, 21, 31),
          edgeOf(adjacencyEdge, true, 31, 41)},
         8,
         8},
        {"closed, one bridging edge", {edgeOf(bridgingEdge, false, 11, 11)}, 20, 20},
        {"closed, two adjacency edges",
         {edgeOf(adjacencyEdge, false, 11, 21), edgeOf(adjacencyEdge, true, 21, 11)},
         20,
         20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(categoryOf(c.component), c.basic);
        EXPECT_EQ(refinedCategoryOf(c.component), c.refined);
    }
}

TEST(Categories, InnerEdgeCountLeavesOutEndEdgesAndLoneVertices) {
    EXPECT_EQ(innerEdgeCount({makeLoneVertex(11)}), 0u);
    EXPECT_EQ(innerEdgeCount({edgeOf(adjacencyEdge, false, 11, 21)}), 1u);
    EXPECT_EQ(innerEdgeCount({edgeOf(endEdge, false, 11)}), 0u);
    EXPECT_EQ(innerEdgeCount({edgeOf(blockEdge, true)}), 0u);
    EXPECT_EQ(innerEdgeCount({edgeOf(endEdge, false, 11), edgeOf(adjacencyEdge, true, 11, 21),
                              edgeOf(endEdge, false, 21)}),
              1u);
    EXPECT_EQ(innerEdgeCount({edgeOf(adjacencyEdge, true, 21, 11), edgeOf(endEdge, false, 11)}),
              1u);
}

TEST(EventWeights, EachEventIsChargedItsOwnWeight) {
    // Weights in file order: DP, SP, J, C, bD, aD.
    const OperationWeights weights{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(weightOf(dpEvent, weights), 1);
    EXPECT_EQ(weightOf(spEvent, weights), 2);
    EXPECT_EQ(weightOf(joinEvent, weights), 3);
    EXPECT_EQ(weightOf(cutEvent, weights), 4);
    EXPECT_EQ(weightOf(bDeletionEvent, weights), 5);
    EXPECT_EQ(weightOf(aDeletionEvent, weights), 6);
    const char* names[] = {"DP", "SP", "C", "J", "aD", "bD", "NoEvent"};
    for (int32_t code = 0; code < 7; ++code) EXPECT_EQ(eventName(code), names[code]);
}

}  // namespace
}  // namespace varnet
