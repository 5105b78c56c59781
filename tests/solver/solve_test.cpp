#include "solver/solve.hpp"

#include <gtest/gtest.h>

namespace varnet {
namespace {

const Component blockA{makeEdge(blockEdge, false, 0)};
const Component blockB{makeEdge(blockEdge, true, 0)};
const Component twoCycle{makeEdge(adjacencyEdge, false, 11, 21),
                         makeEdge(adjacencyEdge, true, 21, 11)};
const Component otherCycle{makeEdge(adjacencyEdge, false, 12, 22),
                           makeEdge(adjacencyEdge, true, 22, 12)};
const Component lone{makeLoneVertex(31)};
// Weights in file order DP, SP, J, C, bD, aD: "aD" is the last.
const OperationWeights weights{1, 2, 3, 4, 5, 6};

OperationRecord deletion(const Component& block) {
    return makeOperationRecord({makeCycleItem(block)}, {}, {aDeletionEvent}, "delete block");
}

TEST(DeleteBlocks, DeletesEverySideABlockCycleWithOneStepEach) {
    const Component withEnd{makeEdge(blockEdge, false, 41)};
    Component secondBlock = blockA;
    secondBlock.front().genes = {51, -61};
    ChromosomeSet state({blockA, secondBlock, twoCycle, withEnd, blockB, blockA, otherCycle}, {});
    deleteSideABlocks(state, weights);
    // Consecutive blocks both go; a block edge with an endpoint or on side B stays.
    EXPECT_EQ(state.cycles, (std::deque<Component>{twoCycle, withEnd, blockB, otherCycle}));
    EXPECT_EQ(state.sequence, (std::vector<OperationRecord>{deletion(blockA), deletion(secondBlock),
                                                            deletion(blockA)}));
    EXPECT_EQ(state.totalCost, 18.0);
}

TEST(DeleteBlocks, OnlyTheFirstEdgeOfACycleIsExamined) {
    const Component blockSecond{makeEdge(adjacencyEdge, true, 11, 11),
                                makeEdge(blockEdge, false, 0)};
    ChromosomeSet state({blockSecond}, {blockA});
    deleteSideABlocks(state, weights);
    EXPECT_EQ(state.cycles.size(), 1u);
    EXPECT_EQ(state.paths.size(), 1u);  // paths are never examined
    EXPECT_TRUE(state.sequence.empty());
}

TEST(Regrouping, RefinedKeepsBucket18AndBasicEmptiesIt) {
    const Component endB{makeEdge(endEdge, true, 11)};
    const Component twoEnds{makeEdge(endEdge, false, 11), makeEdge(endEdge, true, 11)};
    ChromosomeSet state({}, {});
    state.buckets[1] = {endB};
    state.buckets[4] = {twoEnds};
    state.buckets[9] = {blockB};
    state.buckets[18] = {blockB, blockB};

    regroupBuckets(state, true);
    Buckets refined(categoryCount);
    refined[3] = {endB};
    refined[5] = {twoEnds};
    refined[10] = {blockB};
    refined[18] = {blockB, blockB};
    EXPECT_EQ(state.buckets, refined);

    regroupBuckets(state, false);
    Buckets basic(categoryCount);
    basic[1] = {endB};
    basic[4] = {twoEnds};
    basic[9] = {blockB, blockB, blockB};  // old bucket 10 before old bucket 18
    EXPECT_EQ(state.buckets, basic);
}

TEST(FinalGraph, RebuiltFromTheBucketsByEdgeCountInBucketOrder) {
    const Component twoEnds{makeEdge(endEdge, false, 11), makeEdge(endEdge, true, 11)};
    ChromosomeSet state({blockA}, {lone});
    state.buckets[4] = {twoEnds};
    state.buckets[9] = {blockB};
    state.buckets[20] = {otherCycle, lone, twoCycle};
    rebuildFinalGraph(state);
    // A two-edge path is listed among the cycles.
    EXPECT_EQ(state.cycles, (std::deque<Component>{twoEnds, otherCycle, twoCycle}));
    EXPECT_EQ(state.paths, (std::deque<Component>{blockB, lone}));
    EXPECT_EQ(state.buckets[20].size(), 3u);  // the buckets keep their contents
}

TEST(Solve, TrivialGraphTakesNoStep) {
    ChromosomeSet state({twoCycle, otherCycle}, {lone, Component{makeLoneVertex(32)}});
    EXPECT_EQ(solve(state, weights), 0.0);
    EXPECT_TRUE(state.sequence.empty());
    EXPECT_EQ(state.cycles, (std::deque<Component>{twoCycle, otherCycle}));
    EXPECT_EQ(state.paths, (std::deque<Component>{lone, Component{makeLoneVertex(32)}}));
}

TEST(Solve, DeletedBlocksLeaveTheGraphAndCostTheADeletionWeight) {
    ChromosomeSet state({blockA, twoCycle, blockA}, {lone});
    EXPECT_EQ(solve(state, weights), 12.0);
    EXPECT_EQ(state.totalCost, 12.0);
    EXPECT_EQ(state.sequence, (std::vector<OperationRecord>{deletion(blockA), deletion(blockA)}));
    EXPECT_EQ(state.cycles, (std::deque<Component>{twoCycle}));
    EXPECT_EQ(state.paths, (std::deque<Component>{lone}));
}

}  // namespace
}  // namespace varnet
