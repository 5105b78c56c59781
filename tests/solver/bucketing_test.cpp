#include "solver/bucketing.hpp"

#include <gtest/gtest.h>

namespace varnet {
namespace {

const Component blockA{makeEdge(blockEdge, false, 0)};
const Component blockB{makeEdge(blockEdge, true, 0)};
const Component twoCycle{makeEdge(adjacencyEdge, false, 11, 21),
                         makeEdge(adjacencyEdge, true, 21, 11)};
const Component lone{makeLoneVertex(12)};
const Component oddPath{makeEdge(adjacencyEdge, true, 31, 41)};

TEST(Bucketing, FilesEachComponentByItsCategory) {
    ChromosomeSet state({blockA, blockB, twoCycle, Component{makeEdge(blockEdge, true, 51)}},
                        {lone, oddPath, blockB});
    const std::deque<Component> cycles = state.cycles;
    const std::deque<Component> paths = state.paths;
    bucketComponents(state);

    Buckets expected(categoryCount);
    expected[18] = {blockB};                                  // side-B block cycle waits
    expected[9] = {Component{makeEdge(blockEdge, true, 51)},  // a block with an endpoint does not
                   blockB};                                   // ... nor does a side-B block path
    expected[20] = {twoCycle, lone};                          // cycles first, then paths
    expected[8] = {oddPath};
    EXPECT_EQ(state.buckets, expected);  // the side-A block cycle has no bucket
    EXPECT_EQ(state.cycles, cycles);
    EXPECT_EQ(state.paths, paths);
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_EQ(state.totalCost, 0.0);
}

TEST(Bucketing, AppendsAfterWhatTheBucketsHoldAndLeavesEmptyBucketsEmpty) {
    ChromosomeSet empty({}, {});
    bucketComponents(empty);
    EXPECT_EQ(empty.buckets, Buckets(categoryCount));

    ChromosomeSet state({}, {lone});
    state.buckets[20].push_back(twoCycle);
    bucketComponents(state);
    EXPECT_EQ(state.buckets[20], (std::vector<Component>{twoCycle, lone}));
}

}  // namespace
}  // namespace varnet
