// One joint graph input and one graph object serving pair after pair, as tree mode uses them:
// every build gives what a one-off build of the same pair gives, whatever was built before.
#include "graph/joint_graph.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

// What a solver leaves in the graph: components with genes on their edges, some handed back.
void useGraph(JointGraph& graph) {
    for (std::vector<Component>* list : {&graph.cycles, &graph.paths}) {
        for (Component& component : *list) {
            for (Edge& edge : component) edge.genes.assign(3, 7);
        }
    }
    recycleComponents(graph, graph.paths);
}

TEST(JointGraphInput, ServesPairAfterPairLikeOneOffBuilds) {
    std::mt19937 random(20261207);
    // Starts with no tables, so that larger pairs grow them and smaller ones follow larger.
    JointGraphInput input;
    JointGraph graph;
    for (int pair = 0; pair <= 120; ++pair) {
        SCOPED_TRACE(pair);
        testing::GeneratorOptions options;
        options.geneCount = std::uniform_int_distribution<int>(1, pair % 7 == 3 ? 200 : 30)(random);
        options.maxChromosomes = std::uniform_int_distribution<int>(1, 5)(random);
        options.circularRate = 0.4;
        options.duplicateRate = 0.2;
        const bool sameGenes = pair % 4 == 1;
        options.missingRate = sameGenes ? 0 : 0.25;
        options.wholeChromosomeRate = sameGenes ? 0 : 0.3;
        options.rearrangements = std::uniform_int_distribution<int>(0, 8)(random);
        if (pair % 9 == 5) options.manyCopies = 1;
        auto [first, second] = testing::generatePair(random, options);
        if (pair == 120) {
            // Last, two paths, each walked from its smallest end (of genes 1 and 2), at one end in
            // a run of genes only A holds (4, 5): exchanged, their other ends (of genes 9 and 3),
            // in the other order, own them.
            first = {"A", {{false, {1, 4}}, {false, {2, 5}}, {false, {9}}, {false, {3}}}};
            second = {"B", {{false, {1, 9}}, {false, {2, 3}}}};
        }
        const AdjacencyArray a = adjacencyOf(first);
        const AdjacencyArray b = adjacencyOf(second);

        // The two ways of loading a pair: ends found by the input, or given.
        std::vector<uint32_t> ends;
        bool same = true;
        for (uint32_t end = 0; end < std::max(a.partner.size(), b.partner.size()); ++end) {
            if (a.at(end) != 0 || b.at(end) != 0) ends.push_back(end);
            same = same && (a.at(end) != 0) == (b.at(end) != 0);
        }
        if (pair % 2 == 0) {
            input.load(a, b);
        } else {
            input.load(a, b, ends, same);
        }

        // Builds that walk the graph, and builds that reuse the walk before them, in the same
        // direction or after an exchange: one kind, the other twice and once exchanged, the
        // first (walked again), exchanged back, again, and exchanged once more: (exchange first,
        // of the other kind) each, the first kind building for the cost alone in even pairs.
        constexpr std::pair<bool, bool> builds[] = {{false, false}, {false, true},  {false, true},
                                                    {true, true},   {false, false}, {true, false},
                                                    {false, false}, {true, false}};
        bool exchanged = false;
        for (const auto& [exchange, otherKind] : builds) {
            const bool forCost = (pair % 2 == 0) != otherKind;
            if (exchange) {
                input.exchangeStructures();
                exchanged = !exchanged;
            }
            SCOPED_TRACE(exchanged ? "B to A" : "A to B");
            const AdjacencyArray& from = exchanged ? b : a;
            const AdjacencyArray& to = exchanged ? a : b;
            LeftOutCycles leftOut;
            leftOut.oneBridge.push_back({});  // whatever a build before left
            buildJointGraph(input, graph, forCost ? &leftOut : nullptr);
            // A one-off build of the same pair through an input of its own.
            JointGraphInput alone;
            alone.load(from, to);
            JointGraph expected;
            LeftOutCycles expectedLeftOut;
            buildJointGraph(alone, expected, forCost ? &expectedLeftOut : nullptr);
            EXPECT_EQ(graph.cycles, expected.cycles);
            EXPECT_EQ(graph.paths, expected.paths);
            if (forCost) {
                EXPECT_EQ(leftOut, expectedLeftOut);
            }
            useGraph(graph);
        }
    }
}

// Tables that contradict each other (a fault of the caller, never of an input) make a walk stop
// with an error naming where it started, instead of running on: here A's gene 2 claims gene 1 as
// its neighbour at both ends, so the walk from the shared gene 3 circles through genes 1 and 2.
// Built again from the same input, it stops again: the stopped build left no trace to reuse.
TEST(JointGraphInput, AWalkLongerThanTheGraphStops) {
    AdjacencyArray a{{0, 0, 7, 4, 3, 2, telomere, 2}};
    AdjacencyArray b{{0, 0, 0, 0, 0, 0, telomere, telomere}};
    JointGraphInput input;
    input.load(a, b);
    JointGraph graph;
    for (int build = 0; build < 2; ++build) {
        testing::expectThrowsWith([&] { buildJointGraph(input, graph); },
                                  "The joint graph walk from gene end 2 takes more steps than the "
                                  "graph has edges");
    }
}

}  // namespace
}  // namespace varnet
