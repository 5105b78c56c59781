#include "solver/path_end_reduction.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph/joint_graph.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "support/component_builders.hpp"

namespace varnet {
namespace {

using namespace varnet::testing;

OperationWeights weightsWith(double dp, double sp, double join, double cut) {
    return {dp, sp, join, cut, 17, 19};
}

std::vector<std::vector<int32_t>> eventsOf(const ChromosomeSet& state) {
    std::vector<std::vector<int32_t>> events;
    for (const OperationRecord& record : state.sequence) {
        EXPECT_EQ(record.step, "");
        events.push_back(record.events);
    }
    return events;
}

TEST(ReducePathEnds, TwoAdjacencyEdgesLeaveOneLoneVertex) {
    const Component path{adjA(11, 21), adjB(21, 31)};
    ChromosomeSet state({}, {path});
    reducePathEnds(state, weightsWith(1, 7, 11, 13));
    const Component cut{adjA(11, 21), adjB(21, 11)};
    EXPECT_EQ(state.paths, std::deque<Component>{{lone(31)}});
    EXPECT_EQ(state.cycles, std::deque<Component>{cut});
    ASSERT_EQ(state.sequence.size(), 1u);
    EXPECT_EQ(state.sequence[0],
              (OperationRecord{{{path, 'L'}}, {{{lone(31)}, 'L'}, {cut, 'C'}}, {spEvent}, ""}));
    EXPECT_EQ(state.totalCost, 7);
    EXPECT_TRUE(state.snapshots.empty());
    EXPECT_TRUE(state.edgeChanges.empty());
}

TEST(ReducePathEnds, FrontStepsThenBackSteps) {
    const Component path{adjA(11, 21),         adjB(21, 31), adjA(31, 41),
                         bridgeB(41, 51, {5}), adjA(51, 61), adjB(61, 71)};
    ChromosomeSet state({}, {path});
    reducePathEnds(state, weightsWith(1, 7, 11, 13));

    const Component afterFirst{adjA(31, 41), bridgeB(41, 51, {5}), adjA(51, 61), adjB(61, 71)};
    const Component afterSecond{endB(51, {5}), adjA(51, 61), adjB(61, 71)};
    const Component cuts[] = {
        {adjA(11, 21), adjB(21, 11)}, {adjA(31, 41), adjB(41, 31)}, {adjB(61, 71), adjA(71, 61)}};
    EXPECT_EQ(state.paths, std::deque<Component>{{endB(51, {5})}});
    EXPECT_EQ(state.cycles, (std::deque<Component>{cuts[0], cuts[1], cuts[2]}));
    ASSERT_EQ(state.sequence.size(), 3u);
    EXPECT_EQ(state.sequence[0].before, (std::vector<ComponentItem>{{path, 'L'}}));
    EXPECT_EQ(state.sequence[1].before, (std::vector<ComponentItem>{{afterFirst, 'L'}}));
    EXPECT_EQ(state.sequence[2],
              (OperationRecord{
                  {{afterSecond, 'L'}}, {{{endB(51, {5})}, 'L'}, {cuts[2], 'C'}}, {spEvent}, ""}));
    EXPECT_EQ(state.totalCost, 21);
}

// A path of one adjacency edge: an edge of A (B has two telomeres there) needs a cut, an edge
// of B a join. At equal weights an edge of A is still resolved as a join.
TEST(ReducePathEnds, SingleAdjacencyEdgeByWeightAndSide) {
    const Component joinedA{adjA(112, 111), adjB(111, 112)};
    const Component joinedB{adjB(112, 111), adjA(111, 112)};
    const std::deque<Component> loneEnds{{lone(112)}, {lone(111)}};
    struct Case {
        const char* name;
        Edge edge;
        double join;
        double cut;
        int32_t event;
        double cost;
        std::deque<Component> cycles;
        std::deque<Component> paths;
    };
    const Case cases[] = {
        {"side A, J < C: cut", adjA(112, 111), 0.5, 1, cutEvent, 1, {}, loneEnds},
        {"side A, J = C: join", adjA(112, 111), 1, 1, joinEvent, 1, {joinedA}, {}},
        {"side A, J > C: cut", adjA(112, 111), 2, 1, cutEvent, 1, {}, loneEnds},
        {"side B, J < C: join", adjB(112, 111), 0.5, 1, joinEvent, 0.5, {joinedB}, {}},
        {"side B, J = C: join", adjB(112, 111), 1, 1, joinEvent, 1, {joinedB}, {}},
        {"side B, J > C: join", adjB(112, 111), 2, 1, joinEvent, 2, {joinedB}, {}},
        {"side A, J = 1, C = 2: cut", adjA(112, 111), 1, 2, cutEvent, 2, {}, loneEnds},
        {"side B, J = 1, C = 2: join", adjB(112, 111), 1, 2, joinEvent, 1, {joinedB}, {}},
        {"side A without a first end: the second lone vertex sits at 0",
         adjA(0, 21),
         2,
         1,
         cutEvent,
         1,
         {},
         {{lone(21)}, {lone(0)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state({}, {{c.edge}});
        reducePathEnds(state, weightsWith(1, 1, c.join, c.cut));
        EXPECT_EQ(state.cycles, c.cycles);
        EXPECT_EQ(state.paths, c.paths);
        ASSERT_EQ(state.sequence.size(), 1u);
        const OperationRecord& record = state.sequence[0];
        EXPECT_EQ(record.before, (std::vector<ComponentItem>{{{c.edge}, 'L'}}));
        EXPECT_EQ(record.events, std::vector<int32_t>{c.event});
        EXPECT_EQ(record.step, "");
        ASSERT_EQ(record.after.size(), c.event == cutEvent ? 2u : 1u);
        EXPECT_EQ(record.after[0].tag, c.event == cutEvent ? 'L' : 'C');
        EXPECT_EQ(state.totalCost, c.cost);
    }
}

TEST(ReducePathEnds, ResolvedPathMakesRoomForTheNextOne) {
    const Component bridge{bridgeB(51, 61, {5})};
    ChromosomeSet state({}, {{adjA(11, 21), adjB(21, 31), adjA(31, 41)}, bridge, {adjB(71, 81)}});
    reducePathEnds(state, weightsWith(1, 7, 11, 13));
    EXPECT_EQ(state.paths, (std::deque<Component>{bridge, {lone(31)}, {lone(41)}}));
    EXPECT_EQ(state.cycles,
              (std::deque<Component>{{adjA(11, 21), adjB(21, 11)}, {adjB(71, 81), adjA(81, 71)}}));
    EXPECT_EQ(eventsOf(state),
              (std::vector<std::vector<int32_t>>{{spEvent}, {cutEvent}, {joinEvent}}));
    EXPECT_EQ(state.totalCost, 7 + 13 + 11);
}

TEST(ReducePathEnds, CutChoiceAtUnorderedWeights) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(cutsSingleAdjacencyEdge(adjA(11, 21), weightsWith(1, 1, nan, 1)));
    EXPECT_FALSE(cutsSingleAdjacencyEdge(adjB(11, 21), weightsWith(1, 1, 1, nan)));
}

// A path whose middle edge is an adjacency edge between two adjacency edges shows the order:
// a "DP" cut inside it first, or an "SP" cut at its front first.
TEST(ReductionOrder, FollowsTheSpAndDpWeights) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double dp;
        double sp;
        std::vector<std::vector<int32_t>> events;
        std::deque<Component> paths;
    };
    const Case cases[] = {
        {"equal weights: adjacency edges first",
         1,
         1,
         {{dpEvent}, {cutEvent}},
         {{lone(11)}, {lone(41)}}},
        {"SP above DP: adjacency edges first",
         1,
         2,
         {{dpEvent}, {cutEvent}},
         {{lone(11)}, {lone(41)}}},
        {"SP below DP: path ends first", 2, 1, {{spEvent}, {cutEvent}}, {{lone(31)}, {lone(41)}}},
        {"SP not a number: path ends first",
         1,
         nan,
         {{spEvent}, {cutEvent}},
         {{lone(31)}, {lone(41)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChromosomeSet state({}, {{adjA(11, 21), adjB(21, 31), adjA(31, 41)}});
        reduceBeforeBucketing(state, weightsWith(c.dp, c.sp, 2, 3));
        EXPECT_EQ(eventsOf(state), c.events);
        EXPECT_EQ(state.paths, c.paths);
        EXPECT_EQ(state.cycles.size(), 1u);
    }
}

TEST(ReductionOrder, SolveReducesBeforeLaterPhases) {
    ChromosomeSet state({}, {{adjA(11, 21), adjB(21, 31), adjA(31, 41)}});
    solve(state, weightsWith(1, 1, 2, 3));
    ASSERT_GE(state.sequence.size(), 2u);
    EXPECT_EQ(state.sequence[0].events, std::vector<int32_t>{dpEvent});
    EXPECT_EQ(state.sequence[1].events, std::vector<int32_t>{cutEvent});
}

// A circular chromosome +a against a linear +a: the joint graph is one path, the A adjacency
// between the ends of a; linearising the circle is one cut. The other way round it is one join.
TEST(ReductionOrder, SolveChargesACutAndAJoinTheirOwnWeights) {
    const OperationWeights weights = weightsWith(1, 1, 0.5, 1);
    ChromosomeSet circularToLinear({}, {{adjA(112, 111)}});
    EXPECT_EQ(solve(circularToLinear, weights), 1.0);
    EXPECT_EQ(eventsOf(circularToLinear), std::vector<std::vector<int32_t>>{{cutEvent}});
    ChromosomeSet linearToCircular({}, {{adjB(112, 111)}});
    EXPECT_EQ(solve(linearToCircular, weights), 0.5);
    EXPECT_EQ(eventsOf(linearToCircular), std::vector<std::vector<int32_t>>{{joinEvent}});
}

TEST(ReductionOrder, CircleAgainstLineThroughTheJointGraph) {
    const AdjacencyArray circle =
        buildAdjacency(groupChromosomes(ChromosomalStructure{"A", {Chromosome{true, {11}}}}));
    const AdjacencyArray line =
        buildAdjacency(groupChromosomes(ChromosomalStructure{"B", {Chromosome{false, {11}}}}));
    struct Case {
        const char* name;
        const AdjacencyArray& a;
        const AdjacencyArray& b;
        double join;
        double cut;
        int32_t event;
        double cost;
    };
    const Case cases[] = {
        {"circle to line, J < C: one cut", circle, line, 0.5, 1, cutEvent, 1},
        {"circle to line, J = C: named a join", circle, line, 1, 1, joinEvent, 1},
        {"circle to line, J > C: one cut", circle, line, 2, 1, cutEvent, 1},
        {"line to circle, J < C: one join", line, circle, 0.5, 1, joinEvent, 0.5},
        {"line to circle, J = C: one join", line, circle, 1, 1, joinEvent, 1},
        {"line to circle, J > C: one join", line, circle, 2, 1, joinEvent, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::shared_ptr<ChromosomeSet> graph = buildJointGraph(c.a, c.b);
        EXPECT_EQ(solve(*graph, weightsWith(1, 1, c.join, c.cut)), c.cost);
        EXPECT_EQ(eventsOf(*graph), std::vector<std::vector<int32_t>>{{c.event}});
        if (c.event == cutEvent) {
            EXPECT_TRUE(graph->cycles.empty());
            EXPECT_EQ(graph->paths.size(), 2u);
        } else {
            EXPECT_EQ(graph->cycles.size(), 1u);
            EXPECT_TRUE(graph->paths.empty());
        }
    }
}

}  // namespace
}  // namespace varnet
