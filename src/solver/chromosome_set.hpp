#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "solver/operation_record.hpp"

namespace varnet {

constexpr std::size_t categoryCount = 21;
using Buckets = std::vector<std::vector<Component>>;

// What a cycle cut keeps of the state it left: the sizes of both lists, the event code and the
// cost so far. (A full copy per cut would grow with the square of a long cycle.)
struct StateSnapshot {
    std::size_t cycleCount = 0;
    std::size_t pathCount = 0;
    int32_t eventCode = noEvent;
    double totalCost = 0.0;
    bool operator==(const StateSnapshot&) const = default;
};

// The joint graph of two structures together with the solver's working state and result.
struct ChromosomeSet {
    ChromosomeSet() = default;
    ChromosomeSet(std::deque<Component> cycles, std::deque<Component> paths);

    std::deque<Component> cycles;
    std::deque<Component> paths;
    int32_t eventCode = noEvent;
    std::vector<StateSnapshot> snapshots;
    std::vector<OperationRecord> sequence;
    std::vector<EdgePair> edgeChanges;
    Buckets buckets = Buckets(categoryCount);
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
