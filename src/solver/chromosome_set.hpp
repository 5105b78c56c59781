#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "solver/categories.hpp"
#include "solver/operation_record.hpp"

namespace varnet {

// What a cycle cut keeps of the state it left: the sizes of both lists, the event code and the
// cost so far. (A full copy per cut would grow with the square of a long cycle.)
struct StateSnapshot {
    std::size_t cycleCount = 0;
    std::size_t pathCount = 0;
    int32_t eventCode = noEvent;
    double totalCost = 0.0;
    bool operator==(const StateSnapshot&) const = default;
};

// The solver's working state and result on top of the joint graph it transforms: the stages
// before bucketing work on `cycles` and `paths`, the phases after it on `buckets`.
struct ChromosomeSet : JointGraph {
    ChromosomeSet() = default;
    explicit ChromosomeSet(JointGraph graph) : JointGraph(std::move(graph)) {}
    ChromosomeSet(std::deque<Component> closed, std::deque<Component> open)
        : JointGraph{std::move(closed), std::move(open)} {}

    int32_t eventCode = noEvent;
    std::vector<StateSnapshot> snapshots;
    std::vector<OperationRecord> sequence;
    std::vector<EdgePair> edgeChanges;
    Buckets buckets;
    std::vector<ComponentQuad> quads;
    double totalCost = 0.0;

    StateSnapshot snapshot() const;
};

inline void addCost(ChromosomeSet& state, double weight) {
    state.totalCost += weight;
}

// Removes the last component of a bucket and hands it over.
inline Component popLast(std::vector<Component>& bucket) {
    Component last = std::move(bucket.back());
    bucket.pop_back();
    return last;
}

}  // namespace varnet
