#include "solver/path_pairing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graph/joint_graph.hpp"
#include "solver/bucketing.hpp"
#include "solver/categories.hpp"
#include "solver/join_steps.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "support/path_builders.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

using namespace testing;

// Every weight a power of two apart, so that each sum of weights is exact and tells its terms.
constexpr OperationWeights testWeights = {0.5, 1.25, 2.5, 4.75, 8.0, 16.0};

// A small well-formed path of the given category; `base` keeps the vertices and genes of
// different paths apart.
Component pathOf(int32_t category, uint32_t base) {
    const auto v = [base](uint32_t k) { return base + 10 * k + 1; };
    const auto g = [base](int32_t k) { return static_cast<int32_t>(base / 10) + k; };
    Component path;
    switch (category) {
        case 4:
            path = {end(sideA, v(1), {g(1)}), adj(sideB, v(1), v(2)), adj(sideA, v(2), v(3)),
                    end(sideB, v(3), {g(2)})};
            break;
        case 6:
            path = {bridge(sideA, v(0), v(1), {g(1)}), bridge(sideB, v(1), v(2), {g(2)})};
            break;
        case 7:
            path = {end(sideB, v(1), {g(1)}), bridge(sideA, v(1), v(2), {g(2)})};
            break;
        case 8:
            path = {end(sideA, v(1), {g(1)}), bridge(sideB, v(1), v(2), {g(2)})};
            break;
        case 9:
            path = {end(sideB, v(1), {g(1)}), adj(sideA, v(1), v(2)), end(sideB, v(2), {g(2)})};
            break;
        case 11:
            path = {end(sideA, v(1), {g(1)}), adj(sideB, v(1), v(2)), end(sideA, v(2), {g(2)})};
            break;
        case 12:
            path = {block(sideA, {g(1), g(2)})};
            break;
        case 13:
            path = {bridge(sideA, v(0), v(1), {g(1)}), adj(sideB, v(1), v(2)),
                    bridge(sideA, v(2), v(3), {g(2)})};
            break;
        case 14:
            path = {bridge(sideA, v(0), v(1), {g(1)})};
            break;
        case 15:
            path = {bridge(sideB, v(0), v(1), {g(1)}), adj(sideA, v(1), v(2)),
                    bridge(sideB, v(2), v(3), {g(2)})};
            break;
        default:
            ADD_FAILURE() << "no sample path of category " << category;
            return path;
    }
    EXPECT_EQ(categoryOf(path), category);
    return path;
}

std::size_t componentCount(const ChromosomeSet& state) {
    std::size_t count = 0;
    for (const std::vector<Component>& bucket : state.buckets) count += bucket.size();
    return count;
}

std::vector<ComponentItem> linearItems(const std::vector<Component>& components) {
    std::vector<ComponentItem> items;
    for (const Component& component : components) items.push_back(makeLinearItem(component));
    return items;
}

TEST(PathPairing, EmptyCategoriesChangeNothing) {
    ChromosomeSet state;
    state.buckets[0].push_back(
        Component{end(sideA, 11, {1}), adj(sideB, 11, 21), adj(sideA, 21, 31)});
    state.buckets[20].push_back(lone(41));
    state.sequence.push_back(makeOperationRecord({}, {}, {dpEvent}, ""));
    state.totalCost = 3.0;
    const Buckets buckets = state.buckets;

    pairPaths(state, testWeights);

    EXPECT_EQ(state.sequence.size(), 1u);
    EXPECT_TRUE(state.quads.empty());
    EXPECT_EQ(state.totalCost, 3.0);
    EXPECT_EQ(state.buckets, buckets);
}

// Rows 18 and 19 need two c7 paths; the single one waits for row 31 ("3.12" with c12).
TEST(PathPairing, SingleOddPathSkipsTheRowsThatNeedTwo) {
    ChromosomeSet state;
    const Component x = pathOf(7, 100);
    const Component y = pathOf(12, 200);
    state.buckets[7] = {x};
    state.buckets[12] = {y};
    state.buckets[15] = {pathOf(15, 300)};

    pairPaths(state, testWeights);

    ASSERT_EQ(state.sequence.size(), 1u);
    EXPECT_EQ(state.sequence[0].step, "3.12");
    EXPECT_EQ(state.sequence[0].before, linearItems({x, y}));
    EXPECT_TRUE(state.quads.empty());
    EXPECT_EQ(state.buckets[15].size(), 1u);
}

// Row 3 pairs c11 with c13 from the backs until c13 is empty; the c11 path left over is paired
// with c14 by row 5. Every R1 goes to c0, every freed lone vertex to its category (20).
TEST(PathPairing, PairsFromTheBacksUntilAPartnerRunsOut) {
    ChromosomeSet state;
    const Component a1 = pathOf(11, 100);
    const Component a2 = pathOf(11, 200);
    const Component a3 = pathOf(11, 300);
    const Component b1 = pathOf(13, 400);
    const Component b2 = pathOf(13, 500);
    const Component d1 = pathOf(14, 600);
    state.buckets[11] = {a1, a2, a3};
    state.buckets[13] = {b1, b2};
    state.buckets[14] = {d1};

    pairPaths(state, testWeights);

    ASSERT_EQ(state.sequence.size(), 3u);
    const std::vector<std::vector<Component>> operands = {{a3, b2}, {a2, b1}, {a1, d1}};
    for (std::size_t i = 0; i < operands.size(); ++i) {
        SCOPED_TRACE(i);
        const OperationRecord& record = state.sequence[i];
        EXPECT_EQ(record.step, "3.2");
        EXPECT_EQ(record.before, linearItems(operands[i]));
        EXPECT_EQ(record.events, std::vector<int32_t>{spEvent});
        ASSERT_EQ(record.after.size(), 2u);
        EXPECT_EQ(state.buckets[0][i], record.after[0].component);
        EXPECT_EQ(state.buckets[20][i], record.after[1].component);
    }
    EXPECT_TRUE(state.buckets[11].empty());
    EXPECT_TRUE(state.buckets[13].empty());
    EXPECT_TRUE(state.buckets[14].empty());
    EXPECT_EQ(state.totalCost, 1.25 + 1.25 + 1.25);
}

// Row 8: X = c8, Y = c9, Z = c6. headJoin (X, Y) gives T and R; joinBothWays (T, Z) the quad.
TEST(PathPairing, StepThreeFourKeepsRAndLeavesAQuadOnItsRecord) {
    const Component x{end(sideA, 11, {1}), bridge(sideB, 11, 21, {2})};
    const Component y{end(sideB, 31, {3}), adj(sideA, 31, 41), end(sideB, 41, {4})};
    const Component z{bridge(sideA, 51, 61, {5}), bridge(sideB, 61, 71, {6})};
    ChromosomeSet state;
    state.sequence.resize(2);
    state.totalCost = 1.0;
    state.buckets[8] = {x};
    state.buckets[9] = {y};
    state.buckets[6] = {z};

    pairPaths(state, testWeights);

    ASSERT_EQ(state.sequence.size(), 3u);
    const OperationRecord& record = state.sequence[2];
    EXPECT_EQ(record.step, "3.4");
    EXPECT_EQ(record.before, linearItems({x, y, z}));
    EXPECT_EQ(record.events, (std::vector<int32_t>{spEvent, spEvent}));
    const Component r = lone(21, {2});
    EXPECT_EQ(record.after, linearItems({r}));
    EXPECT_EQ(state.buckets[20], std::vector<Component>{r});
    EXPECT_EQ(state.totalCost, 1.0 + 2.0 * 1.25);

    // T = [end(A) 11, bridge(B) 11-31, adj(A) 31-41, end(B) 41]. Z is turned to T's last side
    // for the first join (category 1: alternative two); both are reversed for the second
    // (category 0: alternative one).
    ASSERT_EQ(state.quads.size(), 1u);
    const ComponentQuad& quad = state.quads[0];
    EXPECT_EQ(quad.recordIndex, 2u);
    EXPECT_EQ(quad.first,
              (Component{bridge(sideA, 51, 61, {5}), bridge(sideB, 61, 41, {6, 4}),
                         adj(sideA, 41, 31), bridge(sideB, 31, 11, {2, 3}), end(sideA, 11, {1})}));
    EXPECT_EQ(quad.second, lone(71, {6}));
    EXPECT_EQ(quad.third,
              (Component{bridge(sideB, 71, 61, {6}), bridge(sideA, 61, 11, {5, 1}),
                         bridge(sideB, 11, 31, {2, 3}), adj(sideA, 31, 41), end(sideB, 41, {4})}));
    EXPECT_EQ(quad.fourth, lone(51, {5}));
    for (const int32_t category : {6, 8, 9}) {
        EXPECT_TRUE(state.buckets[static_cast<std::size_t>(category)].empty()) << category;
    }
}

TEST(PathPairing, StepThreeNineCutsOddAPathsAndJoinsOddBPaths) {
    {
        SCOPED_TRACE("two c8 paths and a c9 path: row 24");
        const Component x1{end(sideA, 11, {1}), bridge(sideB, 11, 21, {2})};
        const Component x2{end(sideA, 31, {3}), bridge(sideB, 31, 41, {4})};
        const Component y{end(sideB, 51, {5}), adj(sideA, 51, 61), end(sideB, 61, {6})};
        ChromosomeSet state;
        state.buckets[8] = {x2, x1};
        state.buckets[9] = {y};

        pairPaths(state, testWeights);

        ASSERT_EQ(state.sequence.size(), 1u);
        const OperationRecord& record = state.sequence[0];
        EXPECT_EQ(record.step, "3.9");
        EXPECT_EQ(record.before, linearItems({x1, x2, y}));
        EXPECT_EQ(record.events, (std::vector<int32_t>{joinEvent, spEvent}));
        EXPECT_EQ(state.totalCost, 2.5 + 1.25);
        // mergePaths (X1, X2) = [bridge(B) 21-11, bridge(A) 11-31, bridge(B) 31-41], then Y is
        // joined after it.
        const Component r1{bridge(sideB, 21, 11, {2}), bridge(sideA, 11, 31, {1, 3}),
                           bridge(sideB, 31, 51, {4, 5}), adj(sideA, 51, 61), end(sideB, 61, {6})};
        const Component r2 = lone(41, {4});
        EXPECT_EQ(record.after, linearItems({r1, r2}));
        EXPECT_EQ(state.buckets[1], std::vector<Component>{r1});
        EXPECT_EQ(state.buckets[20], std::vector<Component>{r2});
    }
    {
        SCOPED_TRACE("two c7 paths and a c11 path: row 22");
        ChromosomeSet state;
        state.buckets[7] = {pathOf(7, 100), pathOf(7, 200)};
        state.buckets[11] = {pathOf(11, 300)};

        pairPaths(state, testWeights);

        ASSERT_EQ(state.sequence.size(), 1u);
        const OperationRecord& record = state.sequence[0];
        EXPECT_EQ(record.step, "3.9");
        EXPECT_EQ(record.events, (std::vector<int32_t>{cutEvent, spEvent}));
        EXPECT_EQ(state.totalCost, 4.75 + 1.25);
        ASSERT_EQ(record.after.size(), 2u);
        EXPECT_EQ(state.buckets[0], std::vector<Component>{record.after[0].component});
    }
}

TEST(PathPairing, StepThreeElevenRunsOnceOnThreePaths) {
    ChromosomeSet state;
    const Component a = pathOf(7, 100);
    const Component b = pathOf(7, 200);
    const Component c = pathOf(7, 300);
    state.buckets[7] = {a, b, c};

    pairPaths(state, testWeights);

    ASSERT_EQ(state.sequence.size(), 1u);
    const OperationRecord& record = state.sequence[0];
    EXPECT_EQ(record.step, "3.11");
    EXPECT_EQ(record.before, linearItems({c, b}));
    EXPECT_EQ(record.events, std::vector<int32_t>{cutEvent});
    EXPECT_EQ(state.totalCost, 4.75);
    EXPECT_EQ(state.buckets[7], std::vector<Component>{a});
    ASSERT_EQ(record.after.size(), 1u);
    const Component& r = record.after[0].component;
    EXPECT_EQ(state.buckets[static_cast<std::size_t>(categoryOf(r))], std::vector<Component>{r});
}

// Each row on the smallest set of operands it takes; no earlier row can run on them. The
// expected values are written out independently of the code's table, row by row.
TEST(PathPairing, EachRowRecordsItsStep) {
    const double sp = testWeights[1];
    const double cut = testWeights[3];
    const double join = testWeights[2];
    constexpr int32_t any = -1;
    struct Row {
        int number;
        const char* step;
        int32_t driver;
        bool two;
        std::vector<int32_t> partners;
        std::vector<int32_t> events;
        double cost;
        std::vector<int32_t> routing;  // fixed category per product, `any` for categoryOf
        bool quad;
    };
    const std::vector<int32_t> s1 = {spEvent};
    const std::vector<int32_t> s2 = {spEvent, spEvent};
    const std::vector<int32_t> s3 = {spEvent, spEvent, spEvent};
    const Row rows[] = {
        {1, "3.1", 7, false, {8}, s1, sp, {}, true},
        {2, "3.2", 9, false, {15}, s1, sp, {1, any}, false},
        {3, "3.2", 11, false, {13}, s1, sp, {0, any}, false},
        {4, "3.2", 12, false, {13}, s1, sp, {0, any}, false},
        {5, "3.2", 11, false, {14}, s1, sp, {0, any}, false},
        {6, "3.2", 12, false, {14}, s1, sp, {2, any}, false},
        {7, "3.3", 4, false, {6}, s1, sp, {}, true},
        {8, "3.4", 8, false, {9, 6}, s2, 2 * sp, {any}, true},
        {9, "3.4", 7, false, {11, 6}, s2, 2 * sp, {any}, true},
        {10, "3.4", 7, false, {12, 6}, s2, 2 * sp, {any}, true},
        {11, "3.5", 7, false, {15, 4}, s2, 2 * sp, {any}, true},
        {12, "3.5", 8, false, {13, 4}, s2, 2 * sp, {any}, true},
        {13, "3.5", 8, false, {14, 4}, s2, 2 * sp, {any}, true},
        {14, "3.6", 7, false, {4}, s1, sp, {any, any}, false},
        {15, "3.6", 8, false, {4}, s1, sp, {any, any}, false},
        {16, "3.7", 7, false, {6}, s1, sp, {any, any}, false},
        {17, "3.7", 8, false, {6}, s1, sp, {any, any}, false},
        {18, "3.8", 7, true, {12, 15}, s3, 3 * sp, {any, any}, true},
        {19, "3.8", 7, true, {11, 15}, s3, 3 * sp, {any, any}, true},
        {20, "3.8", 8, true, {9, 13}, s3, 3 * sp, {any, any}, true},
        {21, "3.8", 8, true, {9, 14}, s3, 3 * sp, {any, any}, true},
        {22, "3.9", 7, true, {11}, {cutEvent, spEvent}, cut + sp, {0, any}, false},
        {23, "3.9", 7, true, {12}, {cutEvent, spEvent}, cut + sp, {0, any}, false},
        {24, "3.9", 8, true, {9}, {joinEvent, spEvent}, join + sp, {1, any}, false},
        {25, "3.10", 7, true, {15}, s2, 2 * sp, {13, any, any}, false},
        {26, "3.10", 8, true, {13}, s2, 2 * sp, {15, any, any}, false},
        {27, "3.10", 8, true, {14}, s2, 2 * sp, {15, any, any}, false},
        {28, "3.11", 7, true, {}, {cutEvent}, cut, {any}, false},
        {29, "3.11", 8, true, {}, {joinEvent}, join, {any}, false},
        {30, "3.12", 7, false, {11}, s1, sp, {any, any}, false},
        {31, "3.12", 7, false, {12}, s1, sp, {any, any}, false},
        {32, "3.12", 8, false, {9}, s1, sp, {any, any}, false},
        {33, "3.13", 7, false, {15}, s1, sp, {any, any}, false},
        {34, "3.13", 8, false, {13}, s1, sp, {any, any}, false},
        {35, "3.13", 8, false, {14}, s1, sp, {any, any}, false},
        {36, "3.14", 6, true, {9, 11}, s3, 3 * sp, {any, any}, true},
        {37, "3.14", 6, true, {9, 12}, s3, 3 * sp, {any, any}, true},
        {38, "3.15", 4, true, {13, 15}, s3, 3 * sp, {any, any}, true},
        {39, "3.15", 4, true, {14, 15}, s3, 3 * sp, {any, any}, true},
        {40, "3.16", 6, true, {9}, s2, 2 * sp, {any, any, any}, false},
        {41, "3.16", 6, true, {11}, s2, 2 * sp, {any, any, any}, false},
        {42, "3.16", 6, true, {12}, s2, 2 * sp, {any, any, any}, false},
        {43, "3.17", 4, true, {15}, s2, 2 * sp, {any, any, any}, false},
        {44, "3.17", 4, true, {13}, s2, 2 * sp, {any, any, any}, false},
        {45, "3.17", 4, true, {14}, s2, 2 * sp, {any, any, any}, false},
        {46, "3.18", 9, false, {11, 6}, s2, 2 * sp, {any, any, any}, false},
        {47, "3.18", 9, false, {12, 6}, s2, 2 * sp, {any, any, any}, false},
        {48, "3.19", 13, false, {15, 4}, s2, 2 * sp, {any, any, any}, false},
        {49, "3.19", 14, false, {15, 4}, s2, 2 * sp, {any, any, any}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.number));
        ChromosomeSet state;
        std::vector<Component> operands;
        uint32_t base = 1000;
        const auto add = [&](int32_t category) {
            Component path = pathOf(category, base += 1000);
            state.buckets[static_cast<std::size_t>(category)].push_back(path);
            return path;
        };
        if (row.two) {
            const Component x2 = add(row.driver);
            operands.push_back(add(row.driver));
            operands.push_back(x2);
        } else {
            operands.push_back(add(row.driver));
        }
        for (const int32_t partner : row.partners) operands.push_back(add(partner));

        pairPaths(state, testWeights);

        ASSERT_FALSE(state.sequence.empty());
        const OperationRecord& record = state.sequence[0];
        EXPECT_EQ(record.step, row.step);
        EXPECT_EQ(record.before, linearItems(operands));
        EXPECT_EQ(record.events, row.events);
        ASSERT_EQ(record.after.size(), row.routing.size());
        for (std::size_t i = 0; i < row.routing.size(); ++i) {
            const Component& product = record.after[i].component;
            const int32_t category = row.routing[i] == any ? categoryOf(product) : row.routing[i];
            const std::vector<Component>& bucket =
                state.buckets[static_cast<std::size_t>(category)];
            EXPECT_NE(std::find(bucket.begin(), bucket.end(), product), bucket.end())
                << "product " << i << " is not in category " << category;
        }
        if (row.quad) {
            ASSERT_FALSE(state.quads.empty());
            EXPECT_EQ(state.quads[0].recordIndex, 0u);
        } else {
            EXPECT_TRUE(state.quads.empty());
        }
        if (state.sequence.size() == 1) {
            EXPECT_EQ(state.totalCost, row.cost);
        }
    }
}

// A random path as the reductions leave them: end edges only at the ends, inner edges of kind 0
// or 2, or one of the one-edge shapes; now and then a two-edge cycle or a lone vertex.
Component randomComponent(std::mt19937& random, uint32_t& nextVertex, int32_t& nextGene) {
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto genes = [&]() {
        std::vector<int32_t> list(static_cast<std::size_t>(pick(1, 2)));
        for (int32_t& gene : list) gene = (pick(0, 1) == 0 ? 1 : -1) * (nextGene++);
        return list;
    };
    const auto vertex = [&nextVertex]() { return nextVertex += 10; };
    bool side = pick(0, 1) == 1;
    switch (pick(0, 11)) {
        case 0:
            return Component{block(side, genes())};
        case 1:
            return Component{bridge(side, vertex(), vertex(), genes())};
        case 2:
            return Component{end(side, vertex(), genes())};
        case 3:
            return lone(vertex());
        case 4: {
            const uint32_t a = vertex();
            const uint32_t b = vertex();
            return Component{bridge(side, a, b, genes()), bridge(!side, b, a, genes())};
        }
        default:
            break;
    }
    const int n = pick(2, 7);
    const bool frontEnd = pick(0, 1) == 1;
    const bool backEnd = pick(0, 1) == 1;
    Component path;
    uint32_t at = vertex();
    for (int i = 0; i < n; ++i, side = !side) {
        if (i == 0 && frontEnd) {
            at = vertex();
            path.push_back(end(side, at, genes()));
        } else if (i == n - 1 && backEnd) {
            path.push_back(end(side, at, genes()));
        } else {
            const uint32_t next = vertex();
            const bool special = i == 0 || i == n - 1 || pick(0, 1) == 1;
            path.push_back(special ? bridge(side, at, next, genes()) : adj(side, at, next));
            at = next;
        }
    }
    return path;
}

// The steps that leave a quad, with the number of paths their record lists meanwhile.
const std::map<std::string, std::size_t> quadAfterCounts = {
    {"3.1", 0}, {"3.3", 0}, {"3.4", 1}, {"3.5", 1}, {"3.8", 2}, {"3.14", 2}, {"3.15", 2}};

int stepNumber(const std::string& step) {
    return std::stoi(step.substr(2));
}

// The events of a pairing record by step; "3.9" and "3.11" cut ("C")
// two c7 paths and join ("J") two c8 paths.
std::vector<int32_t> expectedEvents(const OperationRecord& record) {
    const int32_t cutOrJoin = record.events.at(0) == cutEvent ? cutEvent : joinEvent;
    switch (stepNumber(record.step)) {
        case 9:
            return {cutOrJoin, spEvent};
        case 11:
            return {cutOrJoin};
        case 8:
        case 14:
        case 15:
            return {spEvent, spEvent, spEvent};
        case 4:
        case 5:
        case 10:
        case 16:
        case 17:
        case 18:
        case 19:
            return {spEvent, spEvent};
        default:
            return {spEvent};
    }
}

// The cost of a pairing record by step, written as a sum of weights.
double expectedCost(const OperationRecord& record, const OperationWeights& w) {
    const double cutOrJoin = record.events.at(0) == cutEvent ? w[3] : w[2];
    switch (stepNumber(record.step)) {
        case 9:
            return cutOrJoin + w[1];
        case 11:
            return cutOrJoin;
        case 8:
        case 14:
        case 15:
            return 3.0 * w[1];
        case 4:
        case 5:
        case 10:
        case 16:
        case 17:
        case 18:
        case 19:
            return 2.0 * w[1];
        default:
            return w[1];
    }
}

// What the state held when the phase started.
struct PhaseStart {
    std::size_t recordCount = 0;
    std::size_t componentCount = 0;
    double totalCost = 0.0;
};

// Checks what every run of the phase must leave: the records of its steps in table order with
// the events and the cost of their rows, the bucket contents changed by exactly the consumed
// and produced paths, one quad per quad step pointing at its record, and only well-formed
// components in the buckets and quads.
void expectPairingResult(const ChromosomeSet& state, const PhaseStart& start,
                         const OperationWeights& weights, std::map<std::string, int>& stepsSeen) {
    std::size_t consumed = 0;
    std::size_t produced = 0;
    double cost = start.totalCost;
    int previousStep = 0;
    std::vector<std::size_t> quadRecords;
    for (std::size_t i = start.recordCount; i < state.sequence.size(); ++i) {
        const OperationRecord& record = state.sequence[i];
        SCOPED_TRACE("record " + std::to_string(i) + ", step " + record.step);
        ++stepsSeen[record.step];
        ASSERT_EQ(record.step.rfind("3.", 0), 0u);
        EXPECT_GE(stepNumber(record.step), previousStep) << "steps run in table order";
        previousStep = stepNumber(record.step);
        EXPECT_EQ(record.events, expectedEvents(record));
        cost += expectedCost(record, weights);
        consumed += record.before.size();
        produced += record.after.size();
        for (const ComponentItem& item : record.before) {
            EXPECT_EQ(item.tag, 'L');
            EXPECT_TRUE(isWellFormed(item.component));
        }
        if (quadAfterCounts.count(record.step) != 0) {
            quadRecords.push_back(i);
            EXPECT_EQ(record.after.size(), quadAfterCounts.at(record.step));
        }
    }
    EXPECT_EQ(state.totalCost, cost);
    EXPECT_EQ(componentCount(state), start.componentCount - consumed + produced);

    ASSERT_EQ(state.quads.size(), quadRecords.size());
    for (std::size_t q = 0; q < state.quads.size(); ++q) {
        const ComponentQuad& quad = state.quads[q];
        EXPECT_EQ(quad.recordIndex, quadRecords[q]);
        for (const Component* component : {&quad.first, &quad.second, &quad.third, &quad.fourth}) {
            EXPECT_TRUE(isWellFormed(*component)) << "quad " << q;
        }
    }
    for (std::size_t k = 0; k < categoryCount; ++k) {
        for (const Component& component : state.buckets[k]) {
            EXPECT_TRUE(isWellFormed(component)) << "category " << k;
        }
    }
}

// Weights with DP at most SP, with DP above SP, and all equal.
const OperationWeights weightRegimes[] = {
    {0.5, 1.25, 2.5, 4.75, 8.0, 16.0}, {3.0, 1.0, 0.1, 0.7, 1.3, 2.9}, {1, 1, 1, 1, 1, 1}};

TEST(PathPairing, GeneratedBucketsPairIntoWellFormedPathsAtTheStatedCost) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int stateCount = 150;  // smaller corpus under the sanitizers
#else
    constexpr int stateCount = 1500;
#endif
    std::map<std::string, int> stepsSeen;
    for (int seed = 1; seed <= stateCount; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
        const OperationWeights& weights = weightRegimes[seed % 3];
        ChromosomeSet state;
        uint32_t nextVertex = 1;
        int32_t nextGene = 1;
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < count; ++i) {
            Component component = randomComponent(random, nextVertex, nextGene);
            state.buckets[static_cast<std::size_t>(categoryOf(component))].push_back(
                std::move(component));
        }
        const PhaseStart start{0, componentCount(state), 0.0};

        pairPaths(state, weights);

        expectPairingResult(state, start, weights, stepsSeen);
        if (::testing::Test::HasFailure()) break;
    }
    // The generated corpus reaches every step (the smaller one the common steps).
    for (int step = 1; step <= 19; ++step) {
        const bool common = step <= 7 || step == 12 || step == 13;
        if (stateCount >= 1000 || common) {
            EXPECT_GT(stepsSeen["3." + std::to_string(step)], 0) << "3." << step;
        }
    }
}

// The phase on the graphs it meets in the solver: generated structure pairs, their joint graph,
// the "delete block" loop, the reductions and the bucketing.
TEST(PathPairing, GeneratedStructurePairsPairIntoWellFormedPathsAtTheStatedCost) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr uint32_t pairCount = 60;  // smaller corpus under the sanitizers
#else
    constexpr uint32_t pairCount = 2000;
#endif
    std::map<std::string, int> stepsSeen;
    for (uint32_t seed = 1; seed <= pairCount; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        GeneratorOptions options;
        options.geneCount = 8 + static_cast<int>(seed % 40);
        options.maxChromosomes = 1 + static_cast<int>(seed % 6);
        options.circularRate = (seed % 4) * 0.15;
        options.duplicateRate = (seed % 3) * 0.1;
        options.missingRate = 0.2 + (seed % 4) * 0.1;
        options.wholeChromosomeRate = (seed % 3) * 0.2;
        options.rearrangements = 2 + static_cast<int>(seed % 10);
        const auto [sa, sb] = generatePair(random, options);
        const AdjacencyArray a = buildAdjacency(groupChromosomes(sa));
        const AdjacencyArray b = buildAdjacency(groupChromosomes(sb));
        for (const OperationWeights& weights : weightRegimes) {
            const std::shared_ptr<ChromosomeSet> state = buildJointGraph(a, b);
            deleteSideABlocks(*state, weights);
            reduceBeforeBucketing(*state, weights);
            bucketComponents(*state);
            const PhaseStart start{state->sequence.size(), componentCount(*state),
                                   state->totalCost};

            pairPaths(*state, weights);

            expectPairingResult(*state, start, weights, stepsSeen);
        }
        if (::testing::Test::HasFailure()) break;
    }
    // Real graphs reach the common steps; the rare composite ones need the generated buckets.
    for (const char* step : {"3.1", "3.2", "3.3", "3.6", "3.11", "3.12"}) {
        if (pairCount >= 1000) {
            EXPECT_GT(stepsSeen[step], 0) << step;
        }
    }
}

}  // namespace
}  // namespace varnet
