#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "solver/categories.hpp"
#include "solver/operation_record.hpp"

namespace varnet {

// The solver's working state and result on top of the joint graph it transforms: the stages
// before bucketing work on `cycles` and `paths`, the phases after it on `buckets`.
struct ChromosomeSet : JointGraph {
    ChromosomeSet() = default;
    explicit ChromosomeSet(JointGraph graph) : JointGraph(std::move(graph)) {}
    ChromosomeSet(std::vector<Component> closed, std::vector<Component> open)
        : JointGraph{std::move(closed), std::move(open)} {}

    std::vector<OperationRecord> sequence;
    Buckets buckets;
    std::vector<ComponentQuad> quads;
    double totalCost = 0.0;

    // Off, the phases make no records and no copies for them: only the cost is computed.
    bool recording = true;
    // When set, each record is handed to it, in sequence order, as soon as no later step can
    // add to it, and its entry in `sequence` is left empty; `recordsWritten` counts them.
    std::function<void(const OperationRecord&)> writeRecord;
    std::size_t recordsWritten = 0;
};

// Appends a record to `sequence` and hands over the records that are complete.
void addRecord(ChromosomeSet& state, OperationRecord record);
// Adds the record `make()` returns when records are kept; with recording off nothing is built.
template <typename MakeRecord>
void recordStep(ChromosomeSet& state, MakeRecord make) {
    if (state.recording) addRecord(state, make());
}
// Hands over every record not yet written (no step may add to one afterwards).
void writeRemainingRecords(ChromosomeSet& state);

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
