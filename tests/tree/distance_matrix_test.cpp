#include "tree/distance_matrix.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/expect_throws.hpp"

namespace varnet {
namespace {

ChromosomalStructure structureOf(const std::string& name, std::vector<Chromosome> chromosomes) {
    return ChromosomalStructure{name, std::move(chromosomes)};
}

Chromosome linear(std::vector<int32_t> genes) {
    return Chromosome{false, std::move(genes)};
}

Chromosome circular(std::vector<int32_t> genes) {
    return Chromosome{true, std::move(genes)};
}

TEST(AdjacencyKeys, NameTheSameTwoGeneEndsFromEitherSide) {
    struct Case {
        const char* name;
        std::pair<int32_t, int32_t> first;
        std::pair<int32_t, int32_t> second;
        bool same;
    };
    for (const Case& c : {
             Case{"3 -5 read backwards is 5 -3 (ends 3.2, 5.2)", {3, -5}, {5, -3}, true},
             Case{"3 -5 and 3 5 leave 3 alike but enter 5 at other ends", {3, -5}, {3, 5}, false},
             Case{"3 -5 and -3 -5 leave 3 at other ends", {3, -5}, {-3, -5}, false},
             Case{"one-gene circle 7 read either way (7.2, 7.1)", {7, 7}, {-7, -7}, true},
             Case{"5 -5 (5.2 twice) is not 5 5 (5.2, 5.1)", {5, -5}, {5, 5}, false},
             Case{"gene code 0 enters at .2 like a negative code", {4, 0}, {4, -0}, true},
             Case{"gene code 0 leaves at .2 like a positive code", {0, 4}, {1, 4}, false},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(adjacencyKey(c.first.first, c.first.second) ==
                      adjacencyKey(c.second.first, c.second.second),
                  c.same);
    }
    EXPECT_EQ(geneKey(-21), 21u);
}

TEST(AdjacencyProfiles, TakeNeighboursOfEveryChromosome) {
    const std::vector<ChromosomalStructure> structures = {
        structureOf("linear", {linear({3, -5})}),
        structureOf("one gene", {linear({7}), linear({})}),
        structureOf("circle", {circular({7})}),
        structureOf("circle of three, one adjacency twice", {circular({11, -21, 31, 21, -11})}),
    };
    const std::vector<AdjacencyProfile> profiles = buildAdjacencyProfiles(structures);
    ASSERT_EQ(profiles.size(), 4u);
    EXPECT_EQ(profiles[0].name, "linear");
    EXPECT_EQ(profiles[0].adjacencies, (std::vector<uint64_t>{adjacencyKey(3, -5)}));
    EXPECT_EQ(profiles[0].genes, (std::vector<uint32_t>{3, 5}));
    EXPECT_TRUE(profiles[1].adjacencies.empty());
    EXPECT_TRUE(profiles[1].genes.empty()) << "a lone linear gene is in no adjacency";
    EXPECT_EQ(profiles[2].adjacencies, (std::vector<uint64_t>{adjacencyKey(7, 7)}));
    EXPECT_EQ(profiles[2].genes, (std::vector<uint32_t>{7}));
    // 11 -21, -21 31, 31 21, 21 -11 (the first read backwards), -11 11: four distinct keys.
    EXPECT_EQ(profiles[3].adjacencies.size(), 4u);
    EXPECT_TRUE(std::is_sorted(profiles[3].adjacencies.begin(), profiles[3].adjacencies.end()));
    EXPECT_EQ(profiles[3].genes, (std::vector<uint32_t>{11, 21, 31}));
}

TEST(BreakpointDistance, CountsKeysOfEitherSideMissingFromTheOther) {
    const ChromosomalStructure line = structureOf("L", {linear({11, 21, 31})});
    struct Case {
        const char* name;
        ChromosomalStructure other;
        int32_t expected;
    };
    for (const Case& c : {
             Case{"identical", line, 0},
             Case{"a lone linear gene more", structureOf("X", {linear({11, 21, 31}), linear({41})}),
                  0},
             Case{"the circle has the closing adjacency",
                  structureOf("C", {circular({11, 21, 31})}), 1},
             Case{"one gene inverted", structureOf("I", {linear({11, -21, 31})}), 4},
             Case{"empty structure: every key of the other", structureOf("E", {}), 5},
         }) {
        SCOPED_TRACE(c.name);
        const std::vector<AdjacencyProfile> profiles = buildAdjacencyProfiles({line, c.other});
        EXPECT_EQ(breakpointDistance(profiles[0], profiles[1]), c.expected);
        EXPECT_EQ(breakpointDistance(profiles[1], profiles[0]), c.expected);
    }
}

TEST(BreakpointMatrix, IsSymmetricWithZeroDiagonal) {
    const std::vector<AdjacencyProfile> profiles =
        buildAdjacencyProfiles({structureOf("A", {linear({11, 21})}),
                                structureOf("B", {linear({11, -21})}), structureOf("C", {})});
    // A: 11.2@21.1, genes 11 21; B: 11.2@21.2, genes 11 21; C: nothing.
    const DistanceMatrix expected = {{0, 2, 3}, {2, 0, 3}, {3, 3, 0}};
    EXPECT_EQ(computeBreakpointMatrix(profiles), expected);
}

TEST(CombineMatrices, WeighsBothMatricesAndKeepsTheDiagonal) {
    const DistanceMatrix special = {{0, 1e6}, {1e6, 0}};
    const DistanceMatrix breakpoint = {{0, 2}, {2, 0}};
    struct Case {
        const char* name;
        double specialWeight;
        double breakpointWeight;
        double expected;
    };
    for (const Case& c :
         {Case{"special only", 1, 0, 1e6}, Case{"breakpoint only", 0, 1, 2},
          Case{"both", 0.5, 3, 500006}, Case{"negative weights", -1, -1, -1000002}}) {
        SCOPED_TRACE(c.name);
        const DistanceMatrix combined =
            combineMatrices(special, c.specialWeight, breakpoint, c.breakpointWeight);
        EXPECT_EQ(combined, (DistanceMatrix{{0, c.expected}, {c.expected, 0}}));
        EXPECT_FALSE(std::signbit(combined[0][0])) << "no negative zero on the diagonal";
    }
    // A weight of 0 needs no breakpoint matrix, and the cells keep the sign of zero they would get
    // with one: -1 * 0 + 0 * 2 is +0, -1 * 0 + -0 * 2 is -0.
    const DistanceMatrix zeros = {{0, 0}, {0, 0}};
    for (const DistanceMatrix& counts : {breakpoint, DistanceMatrix()}) {
        EXPECT_FALSE(std::signbit(combineMatrices(zeros, -1, counts, 0.0)[0][1]));
        EXPECT_TRUE(std::signbit(combineMatrices(zeros, -1, counts, -0.0)[0][1]));
    }
}

TEST(DistanceMatrixAllocation, ReportsAMatrixThatCannotBeHeld) {
    EXPECT_EQ(makeDistanceMatrix(3), DistanceMatrix(3, std::vector<double>(3, 0.0)));
    testing::expectThrowsWith([] { makeDistanceMatrix(std::size_t{1} << 31); },
                              "Not enough memory for the distance matrix of 2147483648 structures");
    // Compared with physical memory before any allocation is tried (which a system that
    // over-commits would grant, and a sanitizer's allocator would abort on).
    testing::expectThrowsWith([] { makeDistanceMatrix(std::size_t{1} << 27); },
                              "Not enough memory for the distance matrix");
}

}  // namespace
}  // namespace varnet
