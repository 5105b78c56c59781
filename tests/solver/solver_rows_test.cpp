// Hand-worked rows of the join branches that no golden dist case takes (those cases, whole runs
// compared byte for byte, take every row of the path pairing and the closing steps), of the cycle
// splits and of the closing steps that depend on the weights: input and expected components; and
// when the step log hands its records over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "solver/bucketing.hpp"
#include "solver/case_analysis.hpp"
#include "solver/final_elimination.hpp"
#include "solver/joins.hpp"
#include "solver/path_pairing.hpp"
#include "solver/solve.hpp"
#include "solver/step_log.hpp"
#include "support/builders.hpp"

namespace varnet {
namespace {

using namespace testing;

// Small components of the categories the case steps take, built as the joint graph and the
// reductions leave them (end edges carry their endpoint in `first`).
const Component cat0{end(A, 5, {3}), adj(B, 5, 6), bridge(A, 6, 7, {4})};
const Component cat1{end(B, 1, {1}), adj(A, 1, 2), bridge(B, 2, 3, {2})};
const Component cat4{end(A, 2, {3}), adj(B, 2, 3), adj(A, 3, 4), end(B, 4, {4})};
const Component cat5{end(A, 1, {1}), end(B, 1, {2})};
const Component cat6{bridge(A, 1, 2, {1}), adj(B, 2, 3), adj(A, 3, 4), bridge(B, 4, 5, {2})};
const Component cat7{bridge(A, 1, 2, {1}), adj(B, 2, 3), adj(A, 3, 4), end(B, 4, {2})};
const Component cat9{end(B, 1, {1}), adj(A, 1, 2), end(B, 2, {2})};
const Component cat10{block(B, {5})};
const Component cat11{end(A, 1, {1}), adj(B, 1, 2), end(A, 2, {2})};
const Component cat7Reversed{end(B, 4, {2}), adj(A, 4, 3), adj(B, 3, 2), bridge(A, 2, 1, {1})};
// Category 1 ending with its end edge, as the case steps can be handed it.
const Component cat1Reversed{bridge(B, 6, 5, {4}), adj(A, 5, 4), end(B, 4, {3})};
const Component cat9Other{end(B, 5, {5}), adj(A, 5, 6), end(B, 6, {6})};
const Component joined79{bridge(A, 1, 2, {1}),    adj(B, 2, 3), adj(A, 3, 4),
                         bridge(B, 4, 5, {2, 5}), adj(A, 5, 6), end(B, 6, {6})};

TEST(JoinRows, HandWorkedComponents) {
    struct Row {
        const char* name;
        JoinResult (*join)(const Component&, const Component&);
        Component x;
        Component y;
        Component r1;
        Component r2;  // empty for joins with one result
    };
    const Row rows[] = {
        {"caseJoin4: Y appended, its first edge starting at X's end; the freed end a lone vertex",
         caseJoin4,
         Component{bridge(A, 1, 2, {1})},
         {bridge(B, 3, 4, {2})},
         {bridge(A, 1, 2, {1}), bridge(B, 2, 4, {2})},
         {lone(3, 0, {2})}},
        {"caseJoin13: the kept end edge bridges to Y; the removed one, at the same end, is a block",
         caseJoin13,
         cat5,
         cat4,
         {bridge(A, 1, 2, {1, 3}), adj(B, 2, 3), adj(A, 3, 4), end(B, 4, {4})},
         {block(B, {2})}},
        {"caseJoin15: a block gives only its genes; the end edge stays one",
         caseJoin15,
         cat9,
         cat10,
         {end(B, 1, {1}), adj(A, 1, 2), end(B, 2, {2, 5})},
         {}},
        {"caseJoin15: Y turned to start with its end edge, which X's last edge takes",
         caseJoin15,
         cat1,
         cat1Reversed,
         {end(B, 1, {1}), adj(A, 1, 2), bridge(B, 2, 4, {2, 3}), adj(A, 4, 5),
          bridge(B, 5, 6, {4})},
         {lone(3)}},
        {"caseJoin18: Y turned to start with its end edge; the block goes into its last edge",
         caseJoin18,
         cat10,
         cat1Reversed,
         {end(B, 4, {3}), adj(A, 4, 5), bridge(B, 5, 6, {4, 5})},
         {}},
        {"caseJoin19: X's edge takes the end edge of Y, turned to start with it",
         caseJoin19,
         Component{bridge(B, 1, 2, {1})},
         cat1Reversed,
         {bridge(B, 1, 4, {1, 3}), adj(A, 4, 5), bridge(B, 5, 6, {4})},
         {lone(2)}},
        {"caseJoin20: T fused onto Y's last edge",
         caseJoin20,
         cat5,
         cat0,
         {end(A, 5, {3}), adj(B, 5, 6), bridge(A, 6, 1, {4, 1}), end(B, 1, {2})},
         {lone(7)}},
        {"caseJoin7: two blocks", caseJoin7, cat10, {block(B, {6})}, {block(B, {5, 6})}, {}},
        {"caseJoin7: a block goes into the longer component's last edge",
         caseJoin7,
         cat10,
         cat9,
         {end(B, 1, {1}), adj(A, 1, 2), end(B, 2, {2, 5})},
         {}},
        {"caseJoin7: two paths joined into one",
         caseJoin7,
         cat9,
         cat9Other,
         {end(B, 1, {1}), adj(A, 1, 2), bridge(B, 2, 5, {2, 5}), adj(A, 5, 6), end(B, 6, {6})},
         {}},
        {"caseJoin9: a block goes into the last edge unless X starts with an end edge",
         caseJoin9,
         cat7,
         Component{block(A, {7})},
         {bridge(A, 1, 2, {1}), adj(B, 2, 3), adj(A, 3, 4), end(B, 4, {2, 7})},
         {}},
        {"caseJoin9: ... and into the first edge when it does",
         caseJoin9,
         cat7Reversed,
         Component{block(A, {7})},
         {end(B, 4, {2, 7}), adj(A, 4, 3), adj(B, 3, 2), bridge(A, 2, 1, {1})},
         {}},
        {"caseJoin9: X joined to Y", caseJoin9, cat7, cat9Other, joined79, {}},
        {"caseJoin9: X starting with its end edge is turned first",
         caseJoin9,
         cat7Reversed,
         cat9Other,
         joined79,
         {}},
        {"caseJoin11: a block goes into Y's first edge, Y turned to X's side",
         caseJoin11,
         cat10,
         cat4,
         {end(B, 4, {4, 5}), adj(A, 4, 3), adj(B, 3, 2), end(A, 2, {3})},
         {}},
        {"caseJoin11: X's edges in front of Y's bridged first edge",
         caseJoin11,
         cat11,
         Component{end(B, 3, {3}), end(A, 3, {4})},
         {end(A, 1, {1}), adj(B, 1, 2), bridge(A, 2, 3, {4, 2}), end(B, 3, {3})},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const JoinResult r = row.join(row.x, row.y);
        EXPECT_EQ(r.joined, row.r1);
        EXPECT_EQ(r.freed, row.r2);
    }
}

// Weights in file order (DP, SP, J, C, bD, aD), far enough apart that a cost names its events.
constexpr OperationWeights pairingWeights = {0.5, 1.25, 2.5, 4.75, 8.0, 16.0};

// A cycle of category 17 is cut at the first adjacency edge between two gene-carrying edges,
// searched on side A first, then on side B, else at its first edge.
TEST(SplitRows, HandWorkedComponents) {
    struct Row {
        const char* name;
        Component cycle;
        Component remainder;
        Component cut;
    };
    const Row rows[] = {
        {"no search finds a place: cut at 0",
         {adj(A, 11, 12), adj(B, 12, 21), adj(A, 21, 22), adj(B, 22, 11)},
         {adj(A, 21, 22), adj(B, 22, 21)},
         {adj(A, 11, 12), adj(B, 12, 11)}},
        {"side B: the adjacency edge between the two bridging edges",
         {bridge(A, 11, 12, {31}), adj(B, 12, 21), bridge(A, 21, 22, {41}), adj(B, 22, 11)},
         {bridge(A, 11, 22, {31, 41}), adj(B, 22, 11)},
         {adj(B, 12, 21), adj(A, 21, 12)}},
        {"starting on side B: side A's search (its edges only) finds nothing, side B's finds 0",
         {adj(B, 12, 21), bridge(A, 21, 22, {41}), adj(B, 22, 11), bridge(A, 11, 12, {31})},
         {adj(B, 22, 11), bridge(A, 11, 22, {31, 41})},
         {adj(B, 12, 21), adj(A, 21, 12)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ChromosomeSet state;
        state.buckets[Category::closed] = {row.cycle};
        splitCycles(state, pairingWeights);
        EXPECT_EQ(state.log.records(),
                  (std::vector<OperationRecord>{OperationRecord{
                      {ComponentItem{row.cycle, 'C'}},
                      {ComponentItem{row.remainder, 'C'}, ComponentItem{row.cut, 'C'}},
                      {dpEvent},
                      ""}}));
        EXPECT_EQ(state.buckets[Category::other], (std::vector<Component>{row.remainder, row.cut}));
        EXPECT_EQ(state.log.totalCost(), pairingWeights[0]);
    }
}

// DP 0.5, "aD" 1e16 and the others 1: the order of a "bD" and an "aD" shows in the sum, as
// 1e16 + 1 rounds to 1e16: (1 + 1) + 1e16 is 1e16 + 2, (1 + 1e16) + 1 is 1e16.
constexpr OperationWeights deletionOrderWeights = {0.5, 1, 1, 1, 1, 1e16};

// The last closed cycles of two bridging edges are spliced pairwise (two DP each) until one is
// left, which starts on the side the first of them starts on; its genes are deleted front edge
// first. Both solves charge alike.
TEST(SplitRows, LastOfTheClosedCyclesDeletesItsGenesInTheOrderOfTheFirst) {
    const Component startsOnB{bridge(B, 1, 2, {5}), bridge(A, 2, 1, {6})};
    const Component startsOnA{bridge(A, 3, 4, {7}), bridge(B, 4, 3, {8})};
    const Component alsoOnA{bridge(A, 5, 6, {9}), bridge(B, 6, 5, {10})};
    struct Row {
        std::vector<Component> cycles;
        double cost;
    };
    for (const Row& row : {Row{{startsOnB, startsOnA}, 1e16 + 2}, Row{{startsOnA, startsOnB}, 1e16},
                           Row{{startsOnB, startsOnA, alsoOnA}, 1e16 + 4}}) {
        JointGraph graph;
        graph.cycles = row.cycles;
        ChromosomeSet recorded(graph);
        EXPECT_EQ(solve(recorded, deletionOrderWeights), row.cost);
        EXPECT_EQ(solvedCostOnly(graph, deletionOrderWeights), row.cost);
    }
}

// A component that joins `other` on regrouping goes before those `other` holds, so the final
// stripping deletes its genes first; a cost-only solve, which keeps no component of `other`,
// charges in the same order. After a cost of 1, that order gives 1e16, the other 1e16 + 2.
TEST(SplitRows, ComponentsJoiningOtherAreStrippedFirst) {
    const Component held{bridge(B, 1, 2, {5}), adj(A, 2, 1)};
    const Component joining{bridge(A, 3, 4, {6}), adj(B, 4, 3)};
    for (const bool costOnly : {false, true}) {
        SCOPED_TRACE(costOnly ? "cost only" : "recorded");
        ChromosomeSet state;
        if (costOnly) state.log.restartCostOnly();
        state.log.addCost(1);
        fileComponent(state, Component(held), Category::other);
        // Filed under a category it does not have, as a fixed routing may file a component.
        state.buckets[Category::evenEndOnB] = {joining};
        regroupBuckets(state, true);
        stripTwoEdgeCycles(state, deletionOrderWeights);
        EXPECT_EQ(state.log.totalCost(), 1e16);
    }
}

// Step "4.14" joins two category-6 paths when SP is at most DP; step "4.22" takes a quad's
// first alternative only when SP is below DP. No other closing step finds its operands here.
TEST(CaseStepRows, StepsThatDependOnTheWeights) {
    struct Row {
        OperationWeights weights;
        std::size_t records414;
        std::size_t records422;
    };
    for (const Row& row : {Row{{1, 2, 4, 8, 16, 32}, 0, 0}, Row{{2, 1, 4, 8, 16, 32}, 1, 1},
                           Row{{2, 2, 4, 8, 16, 32}, 1, 0}}) {
        ChromosomeSet state;
        state.buckets[Category::evenBridged] = {cat6, cat6};
        joinRemaining(state, row.weights);
        EXPECT_EQ(state.log.records().size(), row.records414);

        ChromosomeSet pending;
        pending.log.openStep([] {
            return OperationRecord{{ComponentItem{cat7, 'L'}}, {}, {spEvent}, "3.1"};
        });
        pending.buckets[Category::evenEndOnA] = {cat0};
        pending.quads = {{cat0, {lone(91)}, cat1, {lone(92)}, 0}};
        joinRemaining(pending, row.weights);
        EXPECT_EQ(pending.log.records().size() - 1, row.records422);
    }
}

auto recordOf(std::string step) {
    return [step] { return OperationRecord{{}, {}, {spEvent}, step}; };
}

// A record reaches the writer as soon as it and every record before it are settled, in order.
// What the records handed over list, the step files of the golden dist cases show.
TEST(StepLog, HandsARecordOverOnceEveryRecordUpToItIsSettled) {
    StepLog log;
    std::vector<std::string> written;
    log.setWriter([&written](const OperationRecord& record) { written.push_back(record.step); });
    log.recordStep(recordOf("first"));
    const uint64_t outer = log.openStep(recordOf("outer"));
    const uint64_t inner = log.openStep(recordOf("inner"));
    log.recordStep(recordOf("after"));
    log.settle(inner);
    log.recordStep(recordOf("next"));
    EXPECT_EQ(written, std::vector<std::string>{"first"});  // the outer step is still open
    log.settle(outer);
    log.recordStep(recordOf("last"));
    EXPECT_EQ(written,
              (std::vector<std::string>{"first", "outer", "inner", "after", "next", "last"}));
}

}  // namespace
}  // namespace varnet
