// The solver over generated structure pairs, phase by phase. After every phase each component
// the state holds or a record lists is well formed and the cost equals the weights of the listed
// events; the final graph is finished and holds every shared gene end exactly once. The run is
// deterministic, doubling the weights doubles the cost, and a structure costs nothing against
// itself; the cost-only solve gives the same cost. The seeded pairs run in every build, sanitizers
// included.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "graph/joint_graph.hpp"
#include "solver/bucketing.hpp"
#include "solver/case_analysis.hpp"
#include "solver/final_elimination.hpp"
#include "solver/operation_record.hpp"
#include "solver/path_pairing.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_code.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

// The first fault of the component's form, as a message: empty when it is well formed.
std::string formFault(const Component& component) {
    if (component.empty()) return "empty component";
    for (std::size_t k = 0; k < component.size(); ++k) {
        const Edge& edge = component[k];
        // Adjacency and bridging edges have two endpoints, end edges and lone vertices one.
        const bool twoEnds = edge.kind == EdgeKind::adjacency || edge.kind == EdgeKind::bridging;
        std::string fault;
        if (component.size() > 1 && (edge.kind == EdgeKind::block || isLoneVertex(edge)))
            fault = "block edge or lone vertex inside a longer component";
        if (k > 0 && sameSide(component[k - 1], edge)) fault = "sides do not alternate";
        if (edge.kind != EdgeKind::block && (edge.first == 0 || (twoEnds && edge.second == 0)))
            fault = "an edge touches vertex 0";
        if (!fault.empty()) return fault + " at edge " + std::to_string(k);
    }
    return "";
}

// Every component the state holds (lists, buckets, quads, and the items of the records from
// `firstRecord` on) well formed: non-empty, sides alternating, a block edge or lone vertex only on
// its own, and no endpoint 0 where an edge of its kind has an endpoint.
std::string stateFault(const ChromosomeSet& state, std::size_t firstRecord = 0) {
    std::vector<const Component*> all;
    for (const std::vector<Component>* list : {&state.cycles, &state.paths}) {
        for (const Component& component : *list) all.push_back(&component);
    }
    for (const std::vector<Component>& bucket : state.buckets.lists) {
        for (const Component& component : bucket) all.push_back(&component);
    }
    for (const ComponentQuad& quad : state.quads) {
        for (const Component* c : {&quad.first, &quad.second, &quad.third, &quad.fourth}) {
            if (!c->empty()) all.push_back(c);  // an alternative taken is left empty
        }
    }
    const std::vector<OperationRecord>& records = state.log.records();
    for (std::size_t r = firstRecord; r < records.size(); ++r) {
        const OperationRecord& record = records[r];
        for (const auto* items : {&record.before, &record.after}) {
            for (const ComponentItem& item : *items) {
                // The printer's marker of open alternatives: an empty linear item closing `after`.
                if (items == &record.after && &item == &items->back() && item.tag == 'L' &&
                    item.component.empty())
                    continue;
                const std::string fault = formFault(item.component);
                if (!fault.empty())
                    return "record " + std::to_string(r) + " (step \"" + record.step +
                           "\"): " + fault;
            }
        }
    }
    for (const Component* component : all) {
        const std::string fault = formFault(*component);
        if (!fault.empty()) return fault;
    }
    return "";
}

double listedCost(const ChromosomeSet& state, const OperationWeights& weights) {
    double total = 0.0;
    for (const OperationRecord& record : state.log.records()) {
        for (const int32_t event : record.events)
            total += weightOf(static_cast<EventCode>(event), weights);
    }
    return total;
}

// A finished final graph of `a` into `b`: only lone vertices and two-edge cycles of adjacency
// edges, one per side, and every end of every gene copy both structures hold exactly once.
std::string finalGraphFault(const ChromosomeSet& state, const ChromosomalStructure& a,
                            const ChromosomalStructure& b) {
    std::vector<uint32_t> printed;
    for (const auto* list : {&state.cycles, &state.paths}) {
        for (const Component& c : *list) {
            const bool lone = c.size() == 1 && isLoneVertex(c[0]);
            const bool twoEdgeCycle = c.size() == 2 && c[0].kind == EdgeKind::adjacency &&
                                      c[1].kind == EdgeKind::adjacency && !sameSide(c[0], c[1]) &&
                                      c[0].second == c[1].first && c[1].second == c[0].first;
            if (!lone && !twoEdgeCycle) return "unfinished final component";
            for (const Edge& edge : c) printed.push_back(edge.first);
        }
    }
    // Copies are matched by number, so a code both structures hold is a shared copy.
    std::set<uint32_t> codesOfA;
    for (const Chromosome& chromosome : a.chromosomes) {
        for (const int32_t code : chromosome.genes) codesOfA.insert(absoluteCode(code));
    }
    std::vector<uint32_t> shared;
    for (const Chromosome& chromosome : b.chromosomes) {
        for (const int32_t code : chromosome.genes) {
            if (codesOfA.contains(absoluteCode(code)))
                shared.insert(shared.end(), {enteringEnd(code), leavingEnd(code)});
        }
    }
    std::sort(printed.begin(), printed.end());
    std::sort(shared.begin(), shared.end());
    return printed == shared ? "" : "final vertices differ from the shared gene ends";
}

struct GeneratedCase {
    ChromosomalStructure a;
    ChromosomalStructure b;
    OperationWeights weights{};
};

// Sizes from a handful of genes to a few hundred; duplicated genes (some names in 10 to 40
// copies), genes and whole chromosomes on one side only, or the same genes on both sides. The seed
// sets the order of DP against SP (below, above, equal) and of J against C (below, above); weights
// are multiples of 1/2, so every sum is exact.
GeneratedCase generateCase(uint32_t seed) {
    std::mt19937 random(seed);
    const auto real = [&random](double high) {
        return std::uniform_real_distribution<double>(0.0, high)(random);
    };
    testing::GeneratorOptions options;
    options.geneCount = std::uniform_int_distribution<int>(2, seed % 4 == 3 ? 400 : 40)(random);
    options.maxChromosomes = std::uniform_int_distribution<int>(1, 6)(random);
    options.circularRate = real(0.6);
    options.duplicateRate = real(0.3);
    options.missingRate = real(0.3);
    options.wholeChromosomeRate = real(0.5);
    // Every fifth pair holds the same genes on both sides.
    if (seed % 5 == 2) options.missingRate = options.wholeChromosomeRate = 0;
    options.rearrangements =
        std::uniform_int_distribution<int>(0, 3 + options.geneCount / 4)(random);
    if (seed % 5 == 1) options.manyCopies = std::uniform_int_distribution<int>(1, 3)(random);
    GeneratedCase generated;
    std::tie(generated.a, generated.b) = testing::generatePair(random, options);
    for (double& w : generated.weights) w = std::uniform_int_distribution<int>(1, 6)(random) / 2.0;
    const auto order = [&](std::size_t low, std::size_t high, uint32_t way) {
        double& lower = generated.weights[way == 1 ? high : low];
        double& higher = generated.weights[way == 1 ? low : high];
        if (way == 2) {
            higher = lower;
        } else if (lower >= higher) {
            higher = lower + 0.5;
        }
    };
    order(weightIndexOf(dpEvent), weightIndexOf(spEvent), seed % 3);
    order(weightIndexOf(joinEvent), weightIndexOf(cutEvent), (seed / 3) % 2);
    return generated;
}

ChromosomeSet jointGraph(const ChromosomalStructure& a, const ChromosomalStructure& b) {
    return ChromosomeSet(buildJointGraph(adjacencyOf(a), adjacencyOf(b)));
}

struct Phase {
    const char* name;
    void (*run)(ChromosomeSet&, const OperationWeights&);
};

// The phases in the order `solve` runs them.
const Phase phases[] = {
    {"delete side-A blocks", deleteSideABlocks},
    {"reductions", reduceBeforeBucketing},
    {"bucketing", [](ChromosomeSet& s, const OperationWeights&) { bucketComponents(s); }},
    {"path pairing", pairPaths},
    {"refined regrouping",
     [](ChromosomeSet& s, const OperationWeights&) { regroupBuckets(s, true); }},
    {"case analysis", joinRemaining},
    {"regrouping", [](ChromosomeSet& s, const OperationWeights&) { regroupBuckets(s, false); }},
    {"final elimination", finishSequence},
    {"final graph", [](ChromosomeSet& s, const OperationWeights&) { rebuildFinalGraph(s); }},
};

class Pipeline : public ::testing::TestWithParam<uint32_t> {};

TEST_P(Pipeline, EveryPhaseKeepsTheInvariants) {
    const GeneratedCase c = generateCase(GetParam());
    ChromosomeSet state = jointGraph(c.a, c.b);
    ASSERT_EQ(stateFault(state), "") << "joint graph";
    for (const Phase& phase : phases) {
        const std::size_t firstRecord = state.log.records().size();
        phase.run(state, c.weights);
        ASSERT_EQ(stateFault(state, firstRecord), "") << "after " << phase.name;
        ASSERT_EQ(state.log.totalCost(), listedCost(state, c.weights)) << "after " << phase.name;
    }
    EXPECT_EQ(finalGraphFault(state, c.a, c.b), "");

    // Without records, on the whole graph or on one built for the cost alone, the cost is exactly
    // the same, also with weights whose sums round: every solve adds the same weights in the same
    // order.
    OperationWeights tenths = c.weights;
    for (double& w : tenths) w *= 0.1;
    for (const OperationWeights& weights : {c.weights, tenths}) {
        ChromosomeSet recorded = jointGraph(c.a, c.b);
        const double expected = solve(recorded, weights);
        EXPECT_EQ(solvedCostOnly(adjacencyOf(c.a), adjacencyOf(c.b), weights), expected);
        EXPECT_EQ(solvedCostOnly(jointGraph(c.a, c.b), weights), expected);
    }

    // `solve` runs the same phases; doubled weights double the cost and change no step.
    OperationWeights doubled = c.weights;
    for (double& w : doubled) w *= 2;
    ChromosomeSet again = jointGraph(c.a, c.b);
    EXPECT_EQ(solve(again, doubled), 2 * state.log.totalCost());
    EXPECT_EQ(again.log.records(), state.log.records());
    EXPECT_EQ(again.cycles, state.cycles);
    EXPECT_EQ(again.paths, state.paths);

    for (const ChromosomalStructure* s : {&c.a, &c.b}) {
        ChromosomeSet self = jointGraph(*s, *s);
        EXPECT_EQ(solve(self, c.weights), 0.0);
        EXPECT_TRUE(self.log.records().empty());
        EXPECT_EQ(finalGraphFault(self, *s, *s), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, Pipeline, ::testing::Range(0u, 200u));

// Small pairs with many genes and circular chromosomes only one side holds: cycles of one
// bridging and one adjacency edge among circular blocks and longer cycles that the reduction
// leaves with two edges, which a build for the cost alone leaves out or not.
TEST(PipelineDeletions, LeftOutCyclesKeepTheirPlaceAmongTheFinalDeletions) {
    // "aD" (last) so large that a "bD" charged before it or after it rounds the sum differently.
    constexpr OperationWeights weights = {1, 1, 1, 1, 1, 1e16};
    std::mt19937 random(3407);
    for (int pair = 0; pair < 3000; ++pair) {
        testing::GeneratorOptions options;
        options.geneCount = std::uniform_int_distribution<int>(4, 16)(random);
        options.maxChromosomes = std::uniform_int_distribution<int>(1, 4)(random);
        options.circularRate = 0.7;
        options.duplicateRate = 0.05;
        options.missingRate = 0.3;
        options.wholeChromosomeRate = 0.6;
        options.rearrangements = std::uniform_int_distribution<int>(0, 4)(random);
        const auto [a, b] = testing::generatePair(random, options);
        SCOPED_TRACE(pair);
        ChromosomeSet recorded = jointGraph(a, b);
        EXPECT_EQ(solvedCostOnly(adjacencyOf(a), adjacencyOf(b), weights),
                  solve(recorded, weights));
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace varnet
