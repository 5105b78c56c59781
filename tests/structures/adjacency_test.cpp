#include "structures/adjacency.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

AdjacencyArray adjacencyOf(const ChromosomalStructure& structure) {
    return buildAdjacency(groupChromosomes(structure));
}

// Every non-zero entry of the array, end to partner.
std::map<uint32_t, int32_t> entriesOf(const AdjacencyArray& adjacency) {
    std::map<uint32_t, int32_t> entries;
    for (uint32_t end = 0; end < adjacency.partner.size(); ++end) {
        if (adjacency.partner[end] != 0) entries[end] = adjacency.partner[end];
    }
    return entries;
}

TEST(Adjacency, JoinsEndsOfLinearAndCircularChromosomes) {
    struct Case {
        const char* name;
        std::vector<Chromosome> chromosomes;
        std::map<uint32_t, int32_t> expected;
    };
    const Case cases[] = {
        {"linear +a", {{false, {11}}}, {{111, -1}, {112, -1}}},
        {"circular -a", {{true, {-11}}}, {{111, 112}, {112, 111}}},
        {"linear +a -b", {{false, {11, -21}}}, {{111, -1}, {112, 212}, {212, 112}, {211, -1}}},
        {"circular +a -b closes the last gene onto the first",
         {{true, {11, -21}}},
         {{112, 212}, {212, 112}, {211, 111}, {111, 211}}},
        {"a second copy has ends of its own",
         {{false, {11, 12}}},
         {{111, -1}, {112, 121}, {121, 112}, {122, -1}}},
        {"linear and circular chromosomes side by side",
         {{false, {-31}}, {true, {11, 21}}},
         {{311, -1}, {312, -1}, {112, 211}, {211, 112}, {212, 111}, {111, 212}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(entriesOf(adjacencyOf({"A", c.chromosomes})), c.expected);
    }
}

TEST(Adjacency, FirstCopiesShareEndsAcrossStructuresAndMissingGenesStayZero) {
    std::istringstream in("2\nA 1 L3 +a+b+a\nB 1 C2 +a+c\n");
    std::vector<ChromosomalStructure> structures;
    GeneNameTable table;
    readStructures(in, structures, table);
    const AdjacencyArray a = adjacencyOf(structures[0]);
    const AdjacencyArray b = adjacencyOf(structures[1]);
    EXPECT_EQ(entriesOf(a),
              (std::map<uint32_t, int32_t>{
                  {111, -1}, {112, 211}, {211, 112}, {212, 121}, {121, 212}, {122, -1}}));
    EXPECT_EQ(entriesOf(b),
              (std::map<uint32_t, int32_t>{{112, 311}, {311, 112}, {312, 111}, {111, 312}}));
    EXPECT_EQ(a.at(311), 0) << "c is missing from A";
    EXPECT_EQ(b.at(211), 0) << "b is missing from B";
    EXPECT_EQ(b.at(121), 0) << "the second copy of a is missing from B";
    EXPECT_EQ(b.at(1000000), 0) << "ends beyond the array read as absent";
}

// For every generated structure: the array is symmetric, every gene's two ends are present,
// and it is sized to the largest end.
TEST(Adjacency, GeneratedStructuresGiveSymmetricArrays) {
    const unsigned seed = 20261206;
    std::mt19937 random(seed);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        const auto [first, second] = testing::generatePair(random, {});
        for (const ChromosomalStructure& structure : {first, second}) {
            const AdjacencyArray adjacency = adjacencyOf(structure);
            uint32_t largest = 0;
            std::size_t genes = 0;
            for (const Chromosome& chromosome : structure.chromosomes) {
                for (const int32_t code : chromosome.genes) {
                    ++genes;
                    const uint32_t end = 10 * static_cast<uint32_t>(std::abs(code)) + 1;
                    largest = std::max(largest, end + 1);
                    ASSERT_NE(adjacency.at(end), 0);
                    ASSERT_NE(adjacency.at(end + 1), 0);
                }
            }
            ASSERT_EQ(adjacency.partner.size(), largest + 1);
            std::size_t present = 0;
            for (uint32_t end = 0; end < adjacency.partner.size(); ++end) {
                const int32_t partner = adjacency.partner[end];
                if (partner == 0) continue;
                ++present;
                if (partner != telomere) {
                    ASSERT_EQ(adjacency.at(static_cast<uint32_t>(partner)),
                              static_cast<int32_t>(end))
                        << "end " << end;
                }
            }
            ASSERT_EQ(present, 2 * genes) << "an end outside the structure was written";

            // Filling a larger table in place gives the same partners and nothing beyond them.
            AdjacencyArray filled;
            filled.partner.assign(adjacency.partner.size() + 7, 0);
            fillAdjacency(structure, filled);
            filled.partner.resize(adjacency.partner.size());
            ASSERT_EQ(filled.partner, adjacency.partner);
        }
    }
}

TEST(Adjacency, TwoThousandDistinctNamesAreReadAndBuilt) {
    std::ostringstream text;
    text << "2\nA 2 L1000 ";
    for (int id = 1; id <= 1000; ++id) text << "+g" << id;
    text << " C1000 ";
    for (int id = 1001; id <= 2000; ++id) text << "-g" << id;
    text << "\nB 1 L2000 ";
    for (int id = 2000; id >= 1; --id) text << "+g" << id;
    text << "\n";

    std::istringstream in(text.str());
    std::vector<ChromosomalStructure> structures;
    GeneNameTable table;
    readStructures(in, structures, table);
    ASSERT_EQ(structures.size(), 2u);
    EXPECT_EQ(table.size(), 2001u);
    EXPECT_EQ(table.at(2000), "g2000");
    for (const ChromosomalStructure& structure : structures) validateForGraph(structure, table);

    // g<k> has the code 10k+1 and the ends 100k+11 and 100k+12.
    const AdjacencyArray a = adjacencyOf(structures[0]);
    const AdjacencyArray b = adjacencyOf(structures[1]);
    EXPECT_EQ(a.partner.size(), 200013u);
    EXPECT_EQ(a.at(100011), 99912) << "g999 leads into g1000";
    EXPECT_EQ(a.at(100012), -1) << "g1000 ends the linear chromosome of A";
    EXPECT_EQ(a.at(100111), 100212) << "reversed g1001 leads into reversed g1002";
    EXPECT_EQ(a.at(200011), 100112) << "the circular chromosome closes g2000 onto g1001";
    EXPECT_EQ(b.at(200011), -1) << "B starts with g2000";
    EXPECT_EQ(b.at(200012), 199911) << "B reads g2000, then g1999";
    EXPECT_EQ(b.at(112), -1) << "B ends with g1";
}

}  // namespace
}  // namespace varnet
