#include "solver/final_elimination.hpp"

#include <gtest/gtest.h>

#include "support/component_builders.hpp"

namespace varnet {
namespace {

using testing::edge;
using testing::lone;

// Weights that tell every event apart in a sum: DP 1, SP 2, J 4, C 8, bD 16, aD 32.
constexpr OperationWeights weights = {1, 2, 4, 8, 16, 32};
constexpr bool sideA = false;
constexpr bool sideB = true;

OperationRecord record(std::vector<ComponentItem> before, std::vector<ComponentItem> after,
                       std::vector<int32_t> events, std::string step = "") {
    return makeOperationRecord(std::move(before), std::move(after), std::move(events),
                               std::move(step));
}

ComponentItem l(const Component& c) {
    return makeLinearItem(c);
}
ComponentItem c(const Component& component) {
    return makeCycleItem(component);
}

// One step function run on one category filled with one path.
struct StepCase {
    const char* name;
    std::size_t category;
    Component path;
    std::vector<OperationRecord> records;
    double cost;
    std::vector<std::pair<std::size_t, Component>> filed;  // bucket, component, in bucket order
};

template <typename Run>
void runStepCases(const std::vector<StepCase>& cases, Run run) {
    for (const StepCase& s : cases) {
        SCOPED_TRACE(s.name);
        ChromosomeSet state;
        state.buckets[s.category] = {s.path};
        run(state, s.category);
        EXPECT_EQ(state.sequence, s.records);
        EXPECT_EQ(state.totalCost, s.cost);
        Buckets expected(categoryCount);
        for (const auto& [bucket, component] : s.filed) expected[bucket].push_back(component);
        EXPECT_EQ(state.buckets, expected);
    }
}

TEST(ResolveQuads, TakesAlternativeTwoAndCompletesItsRecord) {
    // A "3.4" record already holds its first product; the quad's alternative two follows it.
    const Component held{edge(endEdge, sideA, 11)};
    const Component one{edge(bridgingEdge, sideA, 21, 22, {51})};
    const Component two{edge(endEdge, sideB, 31)};
    const Component three{edge(adjacencyEdge, sideA, 41, 42)};
    const Component four{edge(blockEdge, sideB, 0, 0, {61})};
    ChromosomeSet state;
    state.sequence = {record({l(held)}, {}, {spEvent}, "3.1"),
                      record({l(held)}, {l(held)}, {spEvent, spEvent}, "3.4")};
    state.quads = {ComponentQuad{one, two, three, four, 1}};
    resolveQuads(state);
    EXPECT_TRUE(state.quads.empty());
    EXPECT_EQ(state.sequence[1].after, (std::vector<ComponentItem>{l(held), l(three), l(four)}));
    EXPECT_TRUE(state.sequence[0].after.empty());
    EXPECT_EQ(state.buckets[7], std::vector<Component>{three});
    EXPECT_EQ(state.buckets[9], std::vector<Component>{four});
    EXPECT_EQ(state.totalCost, 0.0);
}

TEST(ResolveQuads, LastQuadFirstAndAnEmptyAlternativeTwoFallsBackToOne) {
    const Component a{edge(endEdge, sideA, 11)};
    const Component b{edge(endEdge, sideB, 21)};
    const Component x{edge(blockEdge, sideA, 0, 0, {31})};
    ChromosomeSet state;
    state.sequence = {record({l(a)}, {}, {spEvent}, "3.3"), record({l(b)}, {}, {spEvent}, "3.1")};
    state.quads = {ComponentQuad{a, b, {}, {}, 0}, ComponentQuad{{}, {}, x, {}, 1}};
    resolveQuads(state);
    EXPECT_EQ(state.sequence[0].after, (std::vector<ComponentItem>{l(a), l(b)}));
    EXPECT_EQ(state.sequence[1].after, std::vector<ComponentItem>{l(x)});
    EXPECT_EQ(state.buckets[12], std::vector<Component>{x});
    EXPECT_EQ(state.buckets[2], std::vector<Component>{a});
    EXPECT_EQ(state.buckets[1], std::vector<Component>{b});
    for (const std::vector<Component>& bucket : state.buckets) {
        for (const Component& component : bucket) EXPECT_FALSE(component.empty());
    }
}

TEST(EliminateOdd, SingleEdgesBecomeLoneVerticesLongerPathsClose) {
    const Component fusedLast{edge(bridgingEdge, sideA, 11, 12, {31}),
                              edge(bridgingEdge, sideB, 12, 11, {41})};
    const Component fusedFirst{edge(bridgingEdge, sideB, 12, 11, {31}),
                               edge(adjacencyEdge, sideA, 11, 12)};
    const std::vector<StepCase> cases{
        {"one side-A edge in c7: aD",
         7,
         {edge(adjacencyEdge, sideA, 11, 12)},
         {record({l({edge(adjacencyEdge, sideA, 11, 12)})}, {l({lone(11, 12)})}, {aDeletionEvent},
                 "eliminate odd")},
         32,
         {{20, {lone(11, 12)}}}},
        {"one side-B edge in c8: bD",
         8,
         {edge(adjacencyEdge, sideB, 11, 12)},
         {record({l({edge(adjacencyEdge, sideB, 11, 12)})}, {l({lone(11, 12)})}, {bDeletionEvent},
                 "eliminate odd")},
         16,
         {{20, {lone(11, 12)}}}},
        {"last edge is an end edge: it is fused, C on side B",
         7,
         {edge(bridgingEdge, sideA, 11, 12, {31}), edge(endEdge, sideB, 12, 0, {41})},
         {record({l({edge(bridgingEdge, sideA, 11, 12, {31}), edge(endEdge, sideB, 12, 0, {41})})},
                 {c(fusedLast)}, {cutEvent}, "eliminate odd")},
         8,
         {{17, fusedLast}}},
        {"first edge fused on side B, last edge on side A: event and cost C",
         7,
         {edge(endEdge, sideB, 11, 0, {31}), edge(adjacencyEdge, sideA, 11, 12)},
         {record({l({edge(endEdge, sideB, 11, 0, {31}), edge(adjacencyEdge, sideA, 11, 12)})},
                 {c(fusedFirst)}, {cutEvent}, "eliminate odd")},
         8,
         {{17, fusedFirst}}},
    };
    runStepCases(cases, [](ChromosomeSet& state, std::size_t category) {
        eliminateOdd(state, category, weights);
    });
}

TEST(CloseEndPaths, BlocksAreDeletedOtherPathsFoldTheirFirstEdgeIntoTheLast) {
    const Component blockB{edge(blockEdge, sideB, 0, 0, {31})};
    const Component onA{edge(endEdge, sideA, 11, 0, {31}), edge(adjacencyEdge, sideB, 11, 21),
                        edge(endEdge, sideA, 21, 0, {41})};
    const Component onB{edge(endEdge, sideB, 11, 0, {31}), edge(adjacencyEdge, sideA, 11, 21),
                        edge(endEdge, sideB, 21, 0, {41})};
    const Component closedA{edge(adjacencyEdge, sideB, 11, 21),
                            edge(bridgingEdge, sideA, 21, 11, {41, 31})};
    const Component closedB{edge(adjacencyEdge, sideA, 11, 21),
                            edge(bridgingEdge, sideB, 21, 11, {41, 31})};
    const std::vector<StepCase> cases{
        {"c9 gene block: bD, nothing produced",
         9,
         blockB,
         {record({l(blockB)}, {}, {bDeletionEvent})},
         16,
         {}},
        {"c11, last edge on side A: J",
         11,
         onA,
         {record({l(onA)}, {c(closedA)}, {joinEvent})},
         4,
         {{20, closedA}}},
        {"c9, last edge on side B: C",
         9,
         onB,
         {record({l(onB)}, {c(closedB)}, {cutEvent})},
         8,
         {{20, closedB}}},
    };
    runStepCases(cases, [](ChromosomeSet& state, std::size_t category) {
        closeEndPaths(state, category, weights);
    });
}

TEST(FinishSequence, GeneBlocksOfCategories12And19AreDeleted) {
    const Component blockA{edge(blockEdge, sideA, 0, 0, {31})};
    const Component blockB{edge(blockEdge, sideB, 0, 0, {41})};
    ChromosomeSet state;
    state.buckets[12] = {blockA, blockA};
    state.buckets[19] = {blockB};
    finishSequence(state, weights);
    const std::vector<OperationRecord> expected{record({l(blockA)}, {}, {aDeletionEvent}),
                                                record({l(blockA)}, {}, {aDeletionEvent}),
                                                record({l(blockB)}, {}, {bDeletionEvent})};
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.totalCost, 32 + 32 + 16);
    EXPECT_EQ(state.buckets, Buckets(categoryCount));
}

TEST(CloseGenePaths, ClosesWithAnAdjacencyEdgeAndCutsItOutAgain) {
    const Component single{edge(bridgingEdge, sideA, 11, 12, {31})};
    const Component singleClosed{edge(bridgingEdge, sideA, 11, 12, {31}),
                                 edge(adjacencyEdge, sideB, 12, 11)};
    const Component singleB{edge(bridgingEdge, sideB, 11, 12, {31})};
    const Component singleBClosed{edge(bridgingEdge, sideB, 11, 12, {31}),
                                  edge(adjacencyEdge, sideA, 12, 11)};
    const Component three{edge(bridgingEdge, sideA, 11, 12, {31}),
                          edge(adjacencyEdge, sideB, 12, 21),
                          edge(bridgingEdge, sideA, 21, 22, {41})};
    Component threeClosed = three;
    threeClosed.push_back(edge(adjacencyEdge, sideB, 22, 11));
    const Component rest{edge(adjacencyEdge, sideB, 12, 21),
                         edge(bridgingEdge, sideA, 21, 12, {41, 31})};
    const Component cut{edge(adjacencyEdge, sideB, 22, 11), edge(adjacencyEdge, sideA, 11, 22)};
    const std::vector<StepCase> cases{
        {"c14 single edge: closed into a two-edge cycle, no DP",
         14,
         single,
         {record({l(single)}, {c(singleClosed)}, {cutEvent})},
         8,
         {{20, singleClosed}}},
        {"c15 single edge: the new edge is on side A, J",
         15,
         singleB,
         {record({l(singleB)}, {c(singleBClosed)}, {joinEvent})},
         4,
         {{20, singleBClosed}}},
        {"c13 three edges: closed, then the new edge is cut out",
         13,
         three,
         {record({l(three)}, {c(threeClosed)}, {cutEvent}),
          record({c(threeClosed)}, {c(cut), c(rest)}, {dpEvent})},
         8 + 1,
         {{20, rest}, {20, cut}}},
    };
    runStepCases(cases, [](ChromosomeSet& state, std::size_t category) {
        closeGenePaths(state, category, weights);
    });
}

TEST(ReduceEvenEndPaths, TwoEndEdgesAreDeletedLongerPathsShedTheirFirstEndEdge) {
    const Component two{edge(endEdge, sideA, 11, 0, {31}), edge(endEdge, sideB, 11, 0, {41})};
    const Component twoCut{edge(endEdge, sideA, 11, 0, {31})};
    const Component twoLone{lone(11, 0, {31})};
    // First edge on side B: reversed first, so the side-A end edge leaves.
    const Component four{edge(endEdge, sideB, 11, 0, {31}), edge(adjacencyEdge, sideA, 11, 21),
                         edge(adjacencyEdge, sideB, 21, 22), edge(endEdge, sideA, 22, 0, {41})};
    const Component freed{edge(endEdge, sideA, 22, 0, {41})};
    const Component closed{edge(adjacencyEdge, sideB, 11, 21, {31}),
                           edge(adjacencyEdge, sideA, 21, 11)};
    const std::vector<StepCase> cases{
        {"two end edges: bD then aD, both weights charged once",
         4,
         two,
         {record({l(two)}, {l(twoCut)}, {bDeletionEvent}),
          record({l(twoCut)}, {l(twoLone)}, {aDeletionEvent})},
         48,
         {{20, twoLone}}},
        {"four edges: SP, the closed rest goes to c17 whatever its category",
         4,
         four,
         {record({l(four)}, {c(closed), l(freed)}, {spEvent})},
         2,
         {{2, freed}, {17, closed}}},
    };
    runStepCases(cases,
                 [](ChromosomeSet& state, std::size_t) { reduceEvenEndPaths(state, weights); });
}

TEST(ReduceEvenGenePaths, LongerPathsCloseSingleEdgesBecomeTwoLoneVertices) {
    const Component path{edge(bridgingEdge, sideA, 11, 12, {31}),
                         edge(bridgingEdge, sideB, 12, 21, {41})};
    const Component closed{edge(bridgingEdge, sideA, 11, 12, {31}),
                           edge(bridgingEdge, sideB, 12, 11, {41})};
    const Component onB{edge(bridgingEdge, sideB, 11, 12, {31})};
    const Component onA{edge(bridgingEdge, sideA, 11, 12, {31})};
    const std::vector<StepCase> cases{
        {"two edges: lone vertex at the far end, SP",
         6,
         path,
         {record({l(path)}, {l({lone(21)}), c(closed)}, {spEvent})},
         2,
         {{17, closed}, {20, {lone(21)}}}},
        // The charged weights are not those of the printed event.
        {"single side-B edge: J, charged bD + J",
         6,
         onB,
         {record({l(onB)}, {l({lone(11)}), l({lone(12)})}, {joinEvent})},
         16 + 4,
         {{20, {lone(11)}}, {20, {lone(12)}}}},
        {"single side-A edge: C, charged aD + C",
         6,
         onA,
         {record({l(onA)}, {l({lone(11)}), l({lone(12)})}, {cutEvent})},
         32 + 8,
         {{20, {lone(11)}}, {20, {lone(12)}}}},
    };
    runStepCases(cases,
                 [](ChromosomeSet& state, std::size_t) { reduceEvenGenePaths(state, weights); });
}

TEST(ReduceMixedEvenPaths, SingleEdgesAreDeletedLongerPathsFoldTheirEndEdge) {
    const Component endB{edge(endEdge, sideB, 11, 0, {31})};
    const Component adjA{edge(adjacencyEdge, sideA, 11, 12)};
    // The end edge comes first: reversed (genes untouched), its genes join the first edge.
    const Component mixed{edge(endEdge, sideA, 11, 0, {31}), edge(adjacencyEdge, sideB, 11, 21),
                          edge(bridgingEdge, sideA, 21, 22, {41})};
    const Component closed{edge(bridgingEdge, sideA, 11, 21, {41, 31}),
                           edge(adjacencyEdge, sideB, 21, 11)};
    const Component freed{lone(22, 21, {41})};
    const std::vector<StepCase> cases{
        {"c1 single end edge: bD",
         1,
         endB,
         {record({l(endB)}, {l({lone(11, 0, {31})})}, {bDeletionEvent})},
         16,
         {{20, {lone(11, 0, {31})}}}},
        {"c0 single edge: aD",
         0,
         adjA,
         {record({l(adjA)}, {l({lone(11, 12)})}, {aDeletionEvent})},
         32,
         {{20, {lone(11, 12)}}}},
        {"c0 three edges: SP",
         0,
         mixed,
         {record({l(mixed)}, {c(closed), l(freed)}, {spEvent})},
         2,
         {{20, closed}, {20, freed}}},
    };
    runStepCases(cases,
                 [](ChromosomeSet& state, std::size_t) { reduceMixedEvenPaths(state, weights); });
}

TEST(FinishSequence, StepsRunInCategoryOrder) {
    // Categories filled out of order: c2, c12, c9, c8. Records follow the phase's order.
    const Component endA{edge(endEdge, sideA, 11, 0, {31})};
    const Component blockA{edge(blockEdge, sideA, 0, 0, {41})};
    const Component blockB{edge(blockEdge, sideB, 0, 0, {51})};
    const Component adjB{edge(adjacencyEdge, sideB, 21, 22)};
    ChromosomeSet state;
    state.buckets[2] = {endA};
    state.buckets[12] = {blockA};
    state.buckets[9] = {blockB};
    state.buckets[8] = {adjB};
    finishSequence(state, weights);
    const std::vector<OperationRecord> expected{
        record({l(adjB)}, {l({lone(21, 22)})}, {bDeletionEvent}, "eliminate odd"),
        record({l(blockB)}, {}, {bDeletionEvent}),
        record({l(blockA)}, {}, {aDeletionEvent}),
        record({l(endA)}, {l({lone(11, 0, {31})})}, {aDeletionEvent}),
    };
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.totalCost, 16 + 16 + 32 + 32);
    Buckets buckets(categoryCount);
    buckets[20] = {{lone(21, 22)}, {lone(11, 0, {31})}};
    EXPECT_EQ(state.buckets, buckets);
}

TEST(FinishSequence, OddPathEndsAsTwoGeneFreeCycles) {
    // c7 path closes (C), the cycle goes to c17 with two inner edges, moves to c20 and its two
    // gene edges are stripped: aD for the side-A edge, then bD.
    const Component path{edge(bridgingEdge, sideA, 11, 12, {31}),
                         edge(endEdge, sideB, 12, 0, {41})};
    const Component closed{edge(bridgingEdge, sideA, 11, 12, {31}),
                           edge(bridgingEdge, sideB, 12, 11, {41})};
    Component half = closed;
    half[0].flags = adjacencyEdge;
    Component done = half;
    done[1].flags = adjacencyEdge | sideBBit;
    ChromosomeSet state;
    state.buckets[7] = {path};
    finishSequence(state, weights);
    const std::vector<OperationRecord> expected{
        record({l(path)}, {c(closed)}, {cutEvent}, "eliminate odd"),
        record({c(closed)}, {c(half)}, {aDeletionEvent}),
        record({c(half)}, {c(done)}, {bDeletionEvent}),
    };
    EXPECT_EQ(state.sequence, expected);
    EXPECT_EQ(state.totalCost, 8 + 32 + 16);
    Buckets buckets(categoryCount);
    buckets[20] = {done};
    EXPECT_EQ(state.buckets, buckets);
}

}  // namespace
}  // namespace varnet
