#include "solver/categories.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace varnet
