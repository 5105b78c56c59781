#include "graph/joint_graph.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <sstream>

#include "graph/graph_printer.hpp"
#include "solver/categories.hpp"
#include "structures/gene_code.hpp"
#include "support/component_builders.hpp"
#include "support/random_structures.hpp"

namespace varnet {

namespace {

using Components = std::deque<Component>;

AdjacencyArray adjacencyOf(const std::vector<Chromosome>& chromosomes) {
    return buildAdjacency(groupChromosomes(ChromosomalStructure{"", chromosomes}));
}

Chromosome linear(std::vector<int32_t> genes) {
    return Chromosome{false, std::move(genes)};
}
Chromosome circular(std::vector<int32_t> genes) {
    return Chromosome{true, std::move(genes)};
}

Edge adjacencyA(uint32_t first, uint32_t second) {
    return makeEdge(adjacencyEdge, false, first, second);
}
Edge adjacencyB(uint32_t first, uint32_t second) {
    return makeEdge(adjacencyEdge, true, first, second);
}

TEST(JointGraph, WorkedExamples) {
    struct Case {
        const char* name;
        std::vector<Chromosome> a;
        std::vector<Chromosome> b;
        Components cycles;
        Components paths;
    };
    // Codes are 10 * gene id + copy; a gene with code g has the ends 10g+1 and 10g+2.
    const Case cases[] = {
        {"the same single gene: two lone vertices, owners in increasing order",
         {linear({11})},
         {linear({11})},
         {},
         {{makeLoneVertex(111)}, {makeLoneVertex(112)}}},
        {"the same circle of two genes: two cycles, sides A then B",
         {circular({11, 21})},
         {circular({11, 21})},
         {{adjacencyA(111, 212), adjacencyB(212, 111)},
          {adjacencyA(112, 211), adjacencyB(211, 112)}},
         {}},
        {"a gene only A holds between two common genes becomes a bridging edge",
         {linear({11, 21, 31})},
         {linear({11, 31})},
         {{makeEdge(bridgingEdge, false, 112, 311), adjacencyB(311, 112)}},
         {{makeLoneVertex(111)}, {makeLoneVertex(312)}}},
        {"a circular chromosome only A holds is one block edge among the cycles",
         {linear({11}), circular({21, -31})},
         {linear({11})},
         {{makeEdge(blockEdge, false, 0)}},
         {{makeLoneVertex(111)}, {makeLoneVertex(112)}}},
        {"a linear chromosome only A holds is a block edge, ordered by its smallest end",
         {circular({21, -31}), linear({11}), linear({41})},
         {circular({21, -31}), linear({11})},
         {{adjacencyA(211, 311), adjacencyB(311, 211)},
          {adjacencyA(212, 312), adjacencyB(312, 212)}},
         {{makeLoneVertex(111)}, {makeLoneVertex(112)}, {makeEdge(blockEdge, false, 0)}}},
        {"a circular chromosome only B holds is a side-B block edge",
         {linear({11})},
         {circular({21}), linear({11})},
         {{makeEdge(blockEdge, true, 0)}},
         {{makeLoneVertex(111)}, {makeLoneVertex(112)}}},
        {"a path is owned by its last common end on the side the walk reached first",
         {linear({11, 21, 31})},
         {linear({21, 11})},
         {},
         {{adjacencyA(211, 112)}, {makeEdge(endEdge, false, 212), adjacencyB(212, 111)}}},
        {"a cycle traced from a gene only A holds starts on side B and closes with a run",
         {circular({11, 21, 31})},
         {circular({21, 31})},
         {{adjacencyB(312, 211), makeEdge(bridgingEdge, false, 211, 312)},
          {adjacencyA(212, 311), adjacencyB(311, 212)}},
         {}},
        {"a run at a telomere ends a path with an end edge",
         {linear({11, 21, 31})},
         {linear({21, 31})},
         {{adjacencyA(212, 311), adjacencyB(311, 212)}},
         {{makeEdge(endEdge, false, 211)}, {makeLoneVertex(312)}}},
        {"genes only B holds: runs at both telomeres and one closing a cycle",
         // A: b c; B: x b y c z, with x, y and z only in B. The end 211 is a telomere of A,
         // so its path is the run x alone; y closes the cycle 212-311.
         {linear({21, 31})},
         {linear({11, 21, 41, 31, 51})},
         {{adjacencyA(212, 311), makeEdge(bridgingEdge, true, 311, 212)}},
         {{makeEdge(endEdge, true, 211)}, {makeEdge(endEdge, true, 312)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::shared_ptr<ChromosomeSet> graph =
            buildJointGraph(adjacencyOf(c.a), adjacencyOf(c.b));
        EXPECT_EQ(graph->cycles, c.cycles);
        EXPECT_EQ(graph->paths, c.paths);
        EXPECT_EQ(graph->totalCost, 0.0);
        EXPECT_TRUE(graph->sequence.empty());
        EXPECT_EQ(graph->buckets.size(), categoryCount);
    }
}

// Counts the chromosomes of `structure` that hold no gene of `other`, circular and linear.
std::pair<int, int> chromosomesOnlyIn(const ChromosomalStructure& structure,
                                      const ChromosomalStructure& other) {
    std::set<uint32_t> otherCodes;
    for (const Chromosome& chromosome : other.chromosomes) {
        for (const int32_t code : chromosome.genes) otherCodes.insert(absoluteCode(code));
    }
    std::pair<int, int> counts{0, 0};
    for (const Chromosome& chromosome : structure.chromosomes) {
        bool only = true;
        for (const int32_t code : chromosome.genes)
            only = only && !otherCodes.contains(absoluteCode(code));
        if (only) ++(chromosome.circular ? counts.first : counts.second);
    }
    return counts;
}

// The vertex where a walk along the component enters edge i, and where it leaves it.
uint32_t entryOf(const Component& c, std::size_t i) {
    return kindOf(c[i]) == endEdge && i == 0 ? 0 : c[i].first;
}
uint32_t exitOf(const Component& c, std::size_t i) {
    return kindOf(c[i]) == endEdge ? (i == 0 ? c[i].first : 0) : c[i].second;
}

void expectWellFormed(const ChromosomeSet& graph, const ChromosomalStructure& sa,
                      const ChromosomalStructure& sb, const AdjacencyArray& a,
                      const AdjacencyArray& b) {
    std::map<uint32_t, int> componentOf;
    int index = 0;
    std::map<std::pair<bool, bool>, int> blocks;  // (side B, in cycles) -> count
    for (const Components* list : {&graph.cycles, &graph.paths}) {
        const bool inCycles = list == &graph.cycles;
        for (const Component& c : *list) {
            ++index;
            ASSERT_FALSE(c.empty());
            const std::size_t n = c.size();
            if (n == 1 && kindOf(c[0]) == blockEdge) {
                EXPECT_EQ(c[0].first, 0u);
                EXPECT_EQ(c[0].second, 0u);
                ++blocks[{isSideB(c[0]), inCycles}];
                continue;
            }
            if (n == 1 && isLoneVertex(c[0])) {
                EXPECT_FALSE(inCycles);
                EXPECT_EQ(a.at(c[0].first), telomere);
                EXPECT_EQ(b.at(c[0].first), telomere);
            }
            if (inCycles) {
                EXPECT_EQ(n % 2, 0u) << "cycle of " << n << " edges";
                EXPECT_TRUE(isClosed(c));
            } else if (n > 1) {
                EXPECT_FALSE(isClosed(c));
            }
            for (std::size_t i = 0; i < n; ++i) {
                const Edge& e = c[i];
                if (n > 1) {
                    EXPECT_FALSE(isLoneVertex(e) || kindOf(e) == blockEdge) << "edge " << i;
                    EXPECT_TRUE(kindOf(e) != endEdge || i == 0 || i == n - 1) << "edge " << i;
                    if (i + 1 < n) {
                        EXPECT_NE(isSideB(e), isSideB(c[i + 1])) << "edges " << i << ", " << i + 1;
                        EXPECT_EQ(exitOf(c, i), entryOf(c, i + 1))
                            << "edges " << i << ", " << i + 1;
                    }
                }
                if (kindOf(e) == adjacencyEdge) {
                    const AdjacencyArray& side = isSideB(e) ? b : a;
                    EXPECT_EQ(side.at(e.first), static_cast<int32_t>(e.second)) << "edge " << i;
                }
                for (const uint32_t end : {e.first, e.second}) {
                    if (end == 0) continue;
                    EXPECT_TRUE(a.at(end) != 0 && b.at(end) != 0) << end << " is not common";
                    const auto [found, inserted] = componentOf.emplace(end, index);
                    EXPECT_TRUE(inserted || found->second == index) << end << " in two components";
                }
            }
        }
    }
    for (uint32_t end = 0; end < std::max(a.partner.size(), b.partner.size()); ++end) {
        EXPECT_TRUE(a.at(end) == 0 || b.at(end) == 0 || componentOf.contains(end)) << end;
    }
    const auto [circularA, linearA] = chromosomesOnlyIn(sa, sb);
    const auto [circularB, linearB] = chromosomesOnlyIn(sb, sa);
    EXPECT_EQ((blocks[{false, true}]), circularA);
    EXPECT_EQ((blocks[{false, false}]), linearA);
    EXPECT_EQ((blocks[{true, true}]), circularB);
    EXPECT_EQ((blocks[{true, false}]), linearB);
}

// The printout names every gene of the pair and has its three lines.
void expectPrintable(const ChromosomeSet& graph, const ChromosomalStructure& sa,
                     const ChromosomalStructure& sb) {
    GeneNameTable names{{0, "0"}};
    for (const ChromosomalStructure* structure : {&sa, &sb}) {
        for (const Chromosome& chromosome : structure->chromosomes) {
            for (const int32_t code : chromosome.genes) {
                const auto id = static_cast<int32_t>(absoluteCode(code) / 10);
                names[id] = std::string("g").append(std::to_string(id));
            }
        }
    }
    std::ostringstream out;
    EXPECT_NO_THROW(printJointGraph(out, graph, names));
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("Cycles (" + std::to_string(graph.cycles.size()) + "): ", 0), 0u);
    EXPECT_NE(text.find("\nPaths (" + std::to_string(graph.paths.size()) + "): "),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

testing::GeneratorOptions optionsFor(uint32_t seed) {
    testing::GeneratorOptions options;
    options.geneCount = 4 + static_cast<int>(seed % 23);
    options.maxChromosomes = 1 + static_cast<int>(seed % 4);
    options.circularRate = (seed % 5) * 0.2;
    options.duplicateRate = (seed % 3) * 0.2;
    options.missingRate = (seed % 4) * 0.15;
    options.wholeChromosomeRate = (seed % 3) * 0.3;
    return options;
}

TEST(JointGraphProperty, GeneratedPairsGiveWellFormedGraphsWithAReusedInput) {
    JointGraphInput reused;  // grows to the largest pair and serves every build
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto [sa, sb] = testing::generatePair(random, optionsFor(seed));
        const AdjacencyArray a = adjacencyOf(sa.chromosomes);
        const AdjacencyArray b = adjacencyOf(sb.chromosomes);
        const std::shared_ptr<ChromosomeSet> fresh = buildJointGraph(a, b);
        expectWellFormed(*fresh, sa, sb, a, b);
        expectPrintable(*fresh, sa, sb);
        if (seed % 2 == 0) {
            reused.load(a, b);
        } else {
            reused.load(a, endsPresent(a), b, endsPresent(b));
        }
        for (int round = 0; round < 2; ++round) {
            const std::shared_ptr<ChromosomeSet> again = buildJointGraph(reused);
            EXPECT_EQ(again->cycles, fresh->cycles) << "round " << round;
            EXPECT_EQ(again->paths, fresh->paths) << "round " << round;
        }
        // The reverse pair is a different graph; the input must forget it before the next seed.
        reused.load(b, a);
        expectWellFormed(*buildJointGraph(reused), sb, sa, b, a);
        if (HasFailure()) return;
    }
}

TEST(JointGraph, InputIsReusableAcrossPairsOfDifferentSizes) {
    const AdjacencyArray small = adjacencyOf({linear({11})});
    const AdjacencyArray large = adjacencyOf({circular({11, 9991})});
    JointGraphInput input(1);
    EXPECT_TRUE(buildJointGraph(input)->paths.empty());
    input.load(large, large);
    EXPECT_GE(input.vertexCount(), large.partner.size());
    EXPECT_EQ(buildJointGraph(input)->cycles.size(), 2u);
    input.load(small, large);
    const std::shared_ptr<ChromosomeSet> mixed = buildJointGraph(input);
    EXPECT_EQ(mixed->cycles, buildJointGraph(small, large)->cycles);
    EXPECT_EQ(mixed->paths, buildJointGraph(small, large)->paths);
    input.load(small, small);
    EXPECT_EQ(buildJointGraph(input)->paths,
              (Components{{makeLoneVertex(111)}, {makeLoneVertex(112)}}));
}

}  // namespace
}  // namespace varnet
