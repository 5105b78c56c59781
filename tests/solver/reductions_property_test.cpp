#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

#include "graph/joint_graph.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "support/component_builders.hpp"
#include "support/random_components.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

using namespace varnet::testing;

#if defined(__SANITIZE_ADDRESS__)
constexpr int seedCount = 80;  // a smaller corpus keeps the sanitizer build fast
#else
constexpr int seedCount = 400;
#endif

std::string formFaultIn(const ChromosomeSet& state) {
    for (const bool cycles : {true, false}) {
        const std::deque<Component>& list = cycles ? state.cycles : state.paths;
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (std::string fault = formFault(list[k], cycles); !fault.empty()) {
                return (cycles ? "cycle " : "path ") + std::to_string(k) + ": " + fault;
            }
        }
    }
    return "";
}

bool isAdjacency(const Edge& edge) {
    return kindOf(edge) == adjacencyEdge;
}

// Why the components left by both reduction stages break their post-conditions, or empty.
std::string reductionFault(const ChromosomeSet& state) {
    if (std::string fault = formFaultIn(state); !fault.empty()) return fault;
    for (std::size_t k = 0; k < state.cycles.size(); ++k) {
        const Component& cycle = state.cycles[k];
        if (cycle.size() >= 4 && std::any_of(cycle.begin(), cycle.end(), isAdjacency)) {
            return "cycle " + std::to_string(k) + ": adjacency edge in a cycle of 4 or more edges";
        }
    }
    for (std::size_t k = 0; k < state.paths.size(); ++k) {
        const Component& path = state.paths[k];
        if (std::any_of(path.begin(), path.end(), isAdjacency)) {
            return "path " + std::to_string(k) + ": adjacency edge in a path";
        }
    }
    return "";
}

std::vector<int32_t> allGenes(const ChromosomeSet& state) {
    std::vector<int32_t> genes;
    for (const auto* list : {&state.cycles, &state.paths}) {
        for (const Component& component : *list) {
            for (const Edge& edge : component) {
                genes.insert(genes.end(), edge.genes.begin(), edge.genes.end());
            }
        }
    }
    std::sort(genes.begin(), genes.end());
    return genes;
}

// Every vertex lies in exactly one component; the result is sorted.
std::vector<uint32_t> verticesOnce(const ChromosomeSet& state, std::string& fault) {
    std::map<uint32_t, int> owners;
    int index = 0;
    for (const auto* list : {&state.cycles, &state.paths}) {
        for (const Component& component : *list) {
            std::set<uint32_t> vertices;
            for (const Edge& edge : component) {
                for (const uint32_t end : {edge.first, edge.second}) {
                    if (end != 0) vertices.insert(end);
                }
            }
            for (const uint32_t vertex : vertices) {
                if (!owners.emplace(vertex, index).second && fault.empty()) {
                    fault = "vertex " + std::to_string(vertex) + " in two components";
                }
            }
            ++index;
        }
    }
    std::vector<uint32_t> result;
    for (const auto& [vertex, owner] : owners) result.push_back(vertex);
    return result;
}

// Both weight orders, with the join weight below, equal to and above the cut weight.
OperationWeights weightsFor(int seed, bool adjacencyFirst) {
    const double joins[] = {0.5, 1, 2};
    return {adjacencyFirst ? 1.0 : 2.0, 1.5, joins[seed % 3], 1, 3, 4};
}

// Runs both stages on `state` and checks what must hold afterwards: the stages' post-conditions,
// well-formed components, every vertex still in exactly one component, no gene lost or added,
// and one unlabelled record per step, whose weights sum to the cost.
void expectSoundReductions(ChromosomeSet state, const OperationWeights& weights) {
    ASSERT_EQ(formFaultIn(state), "");
    std::string fault;
    const std::vector<uint32_t> vertices = verticesOnce(state, fault);
    ASSERT_EQ(fault, "");
    const std::vector<int32_t> genes = allGenes(state);
    const std::size_t earlierSteps = state.sequence.size();
    double cost = state.totalCost;

    reduceBeforeBucketing(state, weights);
    EXPECT_EQ(reductionFault(state), "");
    EXPECT_EQ(verticesOnce(state, fault), vertices);
    EXPECT_EQ(fault, "");
    EXPECT_EQ(allGenes(state), genes);
    std::size_t cycleCuts = 0;
    for (std::size_t k = earlierSteps; k < state.sequence.size(); ++k) {
        const OperationRecord& record = state.sequence[k];
        ASSERT_EQ(record.events.size(), 1u);
        EXPECT_EQ(record.step, "");
        cost += weightOf(static_cast<EventCode>(record.events[0]), weights);
        if (record.before[0].tag == 'C') ++cycleCuts;
    }
    EXPECT_EQ(state.totalCost, cost);
    EXPECT_EQ(state.snapshots.size(), cycleCuts);
    EXPECT_EQ(state.edgeChanges.size(), cycleCuts);
}

TEST(ReductionStages, PostConditionsHoldOnGeneratedComponents) {
    for (int seed = 1; seed <= seedCount; ++seed) {
        for (const bool adjacencyFirst : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) +
                         (adjacencyFirst ? ", SP >= DP" : ", SP < DP"));
            std::mt19937 random(static_cast<uint32_t>(seed));
            ComponentLists lists = generateComponents(random, 10);
            expectSoundReductions(ChromosomeSet(std::move(lists.cycles), std::move(lists.paths)),
                                  weightsFor(seed, adjacencyFirst));
            if (HasFailure()) return;
        }
    }
}

TEST(ReductionStages, PostConditionsHoldOnJointGraphsOfGeneratedPairs) {
    for (int seed = 1; seed <= seedCount; ++seed) {
        std::mt19937 random(static_cast<uint32_t>(seed));
        GeneratorOptions options;
        options.geneCount = 4 + seed % 20;
        options.circularRate = (seed % 4) * 0.25;
        const auto [a, b] = generatePair(random, options);
        const AdjacencyArray adjacencyA = buildAdjacency(groupChromosomes(a));
        const AdjacencyArray adjacencyB = buildAdjacency(groupChromosomes(b));
        for (const bool adjacencyFirst : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) +
                         (adjacencyFirst ? ", SP >= DP" : ", SP < DP"));
            const OperationWeights weights = weightsFor(seed, adjacencyFirst);
            ChromosomeSet graph = *buildJointGraph(adjacencyA, adjacencyB);
            deleteSideABlocks(graph, weights);
            expectSoundReductions(std::move(graph), weights);
            if (HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace varnet
