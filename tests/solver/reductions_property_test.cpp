#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

#include "solver/adjacency_reduction.hpp"
#include "solver/path_end_reduction.hpp"
#include "solver/solve.hpp"
#include "support/component_builders.hpp"
#include "support/random_components.hpp"

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

TEST(ReductionStages, PostConditionsHoldOnGeneratedComponents) {
    const OperationWeights joinCutPairs[] = {
        {0, 0, 0.5, 1, 0, 0}, {0, 0, 1, 1, 0, 0}, {0, 0, 2, 1, 0, 0}};
    for (int seed = 1; seed <= seedCount; ++seed) {
        for (const bool adjacencyFirst : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) +
                         (adjacencyFirst ? ", SP >= DP" : ", SP < DP"));
            std::mt19937 random(static_cast<uint32_t>(seed));
            ComponentLists lists = generateComponents(random, 10);
            OperationWeights weights = joinCutPairs[seed % 3];
            weights[dpWeight] = adjacencyFirst ? 1.0 : 2.0;
            weights[spWeight] = 1.5;
            weights[bDeletionWeight] = 3;
            weights[aDeletionWeight] = 4;

            ChromosomeSet state(lists.cycles, lists.paths);
            const ChromosomeSet original(lists.cycles, lists.paths);
            ASSERT_EQ(formFaultIn(original), "");
            reduceBeforeBucketing(state, weights);

            EXPECT_EQ(reductionFault(state), "");
            std::string fault;
            std::string originalFault;
            EXPECT_EQ(verticesOnce(state, fault), verticesOnce(original, originalFault));
            EXPECT_EQ(fault, "");
            EXPECT_EQ(allGenes(state), allGenes(original));

            double cost = 0;
            std::size_t cycleCuts = 0;
            for (const OperationRecord& record : state.sequence) {
                ASSERT_EQ(record.events.size(), 1u);
                EXPECT_EQ(record.step, "");
                cost += weightOf(static_cast<EventCode>(record.events[0]), weights);
                if (record.before[0].tag == 'C') ++cycleCuts;
            }
            EXPECT_EQ(state.totalCost, cost);
            EXPECT_EQ(state.snapshots.size(), cycleCuts);
            EXPECT_EQ(state.edgeChanges.size(), cycleCuts);
        }
    }
}

}  // namespace
}  // namespace varnet
