// Properties of the whole solver over generated structure pairs: it terminates, is
// deterministic and scale-invariant, keeps every component it files well formed, leaves a
// final graph of gene-free two-edge cycles and lone vertices holding every end of every shared
// gene copy exactly once, and charges exactly the events its sequence lists.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <string>

#include "graph/joint_graph.hpp"
#include "solver/categories.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_code.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

// Sanitizer builds run a smaller corpus of smaller pairs to keep the suite fast.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr int pairCount = 60;
constexpr int largestGeneCount = 120;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
constexpr int pairCount = 60;
constexpr int largestGeneCount = 120;
#else
constexpr int pairCount = 300;
constexpr int largestGeneCount = 1000;
#endif
#else
constexpr int pairCount = 300;
constexpr int largestGeneCount = 1000;
#endif

struct GeneratedCase {
    ChromosomalStructure a;
    ChromosomalStructure b;
    OperationWeights weights{};
};

// Pair sizes spread from a handful of genes to `largestGeneCount`, with duplicated genes, genes
// of one structure only and whole chromosomes of such genes. The seed sets the orders of DP
// against SP (below, above, equal) and of J against C (below, above); weights are multiples of
// 1/2, so every sum is exact.
GeneratedCase generateCase(uint32_t seed) {
    std::mt19937 random(seed);
    testing::GeneratorOptions options;
    const int sizeClass = static_cast<int>(seed % 4);
    const int upper = sizeClass == 3 ? largestGeneCount : std::min(largestGeneCount, 40);
    options.geneCount = std::uniform_int_distribution<int>(2, upper)(random);
    options.maxChromosomes = std::uniform_int_distribution<int>(1, 6)(random);
    options.circularRate = std::uniform_real_distribution<double>(0.0, 0.6)(random);
    options.duplicateRate = std::uniform_real_distribution<double>(0.0, 0.3)(random);
    options.missingRate = std::uniform_real_distribution<double>(0.0, 0.3)(random);
    options.wholeChromosomeRate = std::uniform_real_distribution<double>(0.0, 0.5)(random);
    options.rearrangements =
        std::uniform_int_distribution<int>(0, 3 + options.geneCount / 4)(random);
    GeneratedCase generated;
    std::tie(generated.a, generated.b) = testing::generatePair(random, options);
    std::uniform_int_distribution<int> halves(1, 6);
    for (double& w : generated.weights) w = halves(random) / 2.0;
    const auto order = [&](std::size_t low, std::size_t high, uint32_t way) {
        double& lower = generated.weights[way == 1 ? high : low];
        double& higher = generated.weights[way == 1 ? low : high];
        if (way == 2) {
            higher = lower;
        } else if (lower >= higher) {
            higher = lower + 0.5;
        }
    };
    order(dpWeight, spWeight, seed % 3);
    order(joinWeight, cutWeight, (seed / 3) % 2);
    return generated;
}

struct Outcome {
    std::shared_ptr<ChromosomeSet> graph;
    double cost = 0.0;
};

Outcome solvePair(const ChromosomalStructure& a, const ChromosomalStructure& b,
                  const OperationWeights& weights) {
    const AdjacencyArray adjacencyA = buildAdjacency(groupChromosomes(a));
    const AdjacencyArray adjacencyB = buildAdjacency(groupChromosomes(b));
    Outcome outcome;
    outcome.graph = buildJointGraph(adjacencyA, adjacencyB);
    outcome.cost = solve(*outcome.graph, weights);
    return outcome;
}

std::string describe(const Component& component) {
    std::ostringstream out;
    for (const Edge& e : component) {
        out << "{" << int{e.flags} << "," << e.first << "," << e.second << "}";
    }
    return out.str();
}

// Empty when the component is well formed: non-empty, sides alternating, no lone vertex
// inside a longer component.
std::string malformation(const Component& component) {
    if (component.empty()) return "empty component";
    for (std::size_t k = 0; k < component.size(); ++k) {
        if (component.size() > 1 && isLoneVertex(component[k])) {
            return "lone vertex inside " + describe(component);
        }
        if (k > 0 && sameSide(component[k - 1], component[k])) {
            return "sides do not alternate in " + describe(component);
        }
    }
    return "";
}

// Empty when the component may stay in the final graph: a lone vertex, or a closed two-edge
// cycle of adjacency edges, one per side, with no endpoint 0.
std::string finalShapeFault(const Component& component) {
    if (component.size() == 1 && isLoneVertex(component.front())) return "";
    const bool twoEdgeCycle = component.size() == 2 && kindOf(component[0]) == adjacencyEdge &&
                              kindOf(component[1]) == adjacencyEdge &&
                              !sameSide(component[0], component[1]) && isClosed(component) &&
                              component[0].second == component[1].first &&
                              component[0].first != 0 && component[0].second != 0;
    return twoEdgeCycle ? "" : "unfinished final component " + describe(component);
}

// Both ends of every gene copy (absolute code) that both structures hold.
std::multiset<uint32_t> sharedGeneEnds(const ChromosomalStructure& a,
                                       const ChromosomalStructure& b) {
    std::set<uint32_t> codesOfA;
    for (const Chromosome& chromosome : a.chromosomes) {
        for (const int32_t code : chromosome.genes) codesOfA.insert(absoluteCode(code));
    }
    std::multiset<uint32_t> ends;
    for (const Chromosome& chromosome : b.chromosomes) {
        for (const int32_t code : chromosome.genes) {
            if (!codesOfA.contains(absoluteCode(code))) continue;
            ends.insert(leavingEnd(code));
            ends.insert(enteringEnd(code));
        }
    }
    return ends;
}

// The sum of the weights of the events the sequence lists, one weight per event.
double listedCost(const ChromosomeSet& graph, const OperationWeights& weights) {
    double sum = 0.0;
    for (const OperationRecord& record : graph.sequence) {
        for (const int32_t event : record.events) {
            sum += weightOf(static_cast<EventCode>(event), weights);
        }
    }
    return sum;
}

void expectWellFormedRun(const ChromosomeSet& graph, const std::multiset<uint32_t>& sharedEnds) {
    for (std::size_t r = 0; r < graph.sequence.size(); ++r) {
        const OperationRecord& record = graph.sequence[r];
        for (const std::vector<ComponentItem>* items : {&record.before, &record.after}) {
            for (std::size_t k = 0; k < items->size(); ++k) {
                const ComponentItem& item = (*items)[k];
                // The printer's alternatives marker: an empty linear item closing `after`.
                if (items == &record.after && k + 1 == items->size() && item.component.empty() &&
                    item.tag == 'L') {
                    continue;
                }
                const std::string fault = malformation(item.component);
                ASSERT_EQ(fault, "") << "record " << r << " (step \"" << record.step << "\")";
            }
        }
    }
    std::size_t spNodes = 0;
    // Every final component is a lone vertex or a closed cycle, so each vertex it prints is the
    // first endpoint of exactly one of its edges.
    std::multiset<uint32_t> vertices;
    for (const std::deque<Component>* list : {&graph.cycles, &graph.paths}) {
        for (const Component& component : *list) {
            ASSERT_EQ(malformation(component), "");
            ASSERT_EQ(finalShapeFault(component), "");
            for (const Edge& e : component) {
                vertices.insert(e.first);
                const uint8_t kind = kindOf(e);
                if (!isLoneVertex(e) && kind >= endEdge && kind <= blockEdge) ++spNodes;
            }
        }
    }
    EXPECT_EQ(spNodes, 0u);
    EXPECT_EQ(vertices, sharedEnds);
}

TEST(SolveProperties, GeneratedPairs) {
    for (int index = 0; index < pairCount; ++index) {
        const auto seed = static_cast<uint32_t>(index);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const GeneratedCase generated = generateCase(seed);

        const Outcome first = solvePair(generated.a, generated.b, generated.weights);
        expectWellFormedRun(*first.graph, sharedGeneEnds(generated.a, generated.b));
        EXPECT_EQ(first.cost, listedCost(*first.graph, generated.weights));

        const Outcome again = solvePair(generated.a, generated.b, generated.weights);
        EXPECT_EQ(again.cost, first.cost);
        EXPECT_EQ(again.graph->sequence, first.graph->sequence);
        EXPECT_EQ(again.graph->cycles, first.graph->cycles);
        EXPECT_EQ(again.graph->paths, first.graph->paths);

        OperationWeights doubled = generated.weights;
        for (double& w : doubled) w *= 2;
        const Outcome scaled = solvePair(generated.a, generated.b, doubled);
        EXPECT_EQ(scaled.cost, 2 * first.cost);
        EXPECT_EQ(scaled.graph->sequence, first.graph->sequence);

        const Outcome identical = solvePair(generated.a, generated.a, generated.weights);
        EXPECT_EQ(identical.cost, 0.0);
        EXPECT_TRUE(identical.graph->sequence.empty());
        expectWellFormedRun(*identical.graph, sharedGeneEnds(generated.a, generated.a));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace varnet
