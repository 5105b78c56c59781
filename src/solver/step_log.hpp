#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "solver/operation_record.hpp"

namespace varnet {

// The steps of a solution: their total cost and, unless the log keeps the cost only, their
// records. A step whose outcome stays open between two alternatives is an open step: its
// record's after list grows as the outcome is settled. With a writer set, each record is handed
// to it, in order, as soon as it and every record before it are settled, and is not kept.
class StepLog {
public:
    StepLog() = default;
    // A log that only adds up the cost: it builds no records and copies no components.
    static StepLog costOnly();

    // False for a cost-only log: then the steps may leave out what only the records and the
    // final graph would show (see `reduceAdjacencyEdges`).
    bool keepsRecords() const { return recording_; }

    void addCost(double weight) { totalCost_ += weight; }
    double totalCost() const { return totalCost_; }

    // Adds the record `make()` returns; nothing is built when the log keeps the cost only.
    template <typename MakeRecord>
    void recordStep(MakeRecord make) {
        if (recording_) add(make());
    }
    // As `recordStep`, for a step left open; returns the number to settle it by.
    template <typename MakeRecord>
    uint64_t openStep(MakeRecord make) {
        if (!recording_) return 0;
        open_.push_back(records_.size());
        add(make());
        return open_.back();
    }
    // Lists `component` among the outcomes of the open step `step`.
    void addOutcome(uint64_t step, const Component& component);
    // The open step `step` has its whole outcome listed.
    void settle(uint64_t step);

    // A copy of the component as it is now, for a record to list; empty in a cost-only log.
    ComponentItem copyLinear(const Component& component) const;
    ComponentItem copyCycle(const Component& component) const;

    // Every record from here on goes to `write` as soon as it is settled.
    void setWriter(std::function<void(const OperationRecord&)> write) { write_ = std::move(write); }
    // Hands over every record not yet written.
    void writeRemaining();
    // The records in order; those already handed to the writer are left empty.
    const std::vector<OperationRecord>& records() const { return records_; }

private:
    void add(OperationRecord record);
    void writeBefore(std::size_t end);

    bool recording_ = true;
    double totalCost_ = 0.0;
    std::vector<OperationRecord> records_;
    std::vector<uint64_t> open_;  // the open steps, in increasing order
    std::function<void(const OperationRecord&)> write_;
    std::size_t written_ = 0;
};

}  // namespace varnet
