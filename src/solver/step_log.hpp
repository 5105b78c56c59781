#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "solver/operation_record.hpp"

namespace varnet {

// A component a record lists as it is when the step is recorded, as a cycle or as linear.
struct Listed {
    const Component& component;
    char tag;
};
inline Listed asCycle(const Component& component) {
    return {component, 'C'};
}
inline Listed asLinear(const Component& component) {
    return {component, 'L'};
}

// The steps of a solution: their total cost and, unless the log keeps the cost only, their
// records. The phases of the solver hand every step to the log, and the log decides what a step
// leaves behind: a recording log keeps each record and every component a record shows; a
// cost-only log adds up the weights and keeps only what a later step charges.
//
// A step whose outcome stays open between two alternatives is an open step: its record's after
// list grows as the outcome is settled. With a writer set, each record is handed to it, in
// order, as soon as it and every record before it are settled, and is not kept.
class StepLog {
public:
    // Makes this log a cost-only one with nothing charged, keeping its storage: it builds no
    // records and copies no components, and a worker that solves pair after pair reuses one log.
    void restartCostOnly();

    void addCost(double weight) { totalCost_ += weight; }
    double totalCost() const { return totalCost_; }

    // Adds the record `make()` returns; nothing is built when the log keeps the cost only.
    template <typename MakeRecord>
    void recordStep(MakeRecord make) {
        if (recording_) add(make());
    }
    // Records a step of the one event `event` that took the component copied into `before` (see
    // `copy`) and gave the components `after`; nothing is built in a cost-only log.
    void recordOne(ComponentItem&& before, std::initializer_list<Listed> after, EventCode event,
                   const char* step = "") {
        if (recording_) addOne(std::move(before), after, event, step);
    }
    // As `recordOne`, and charges the weight of `event`.
    void chargeOne(ComponentItem&& before, std::initializer_list<Listed> after, EventCode event,
                   const OperationWeights& weights, const char* step = "") {
        recordOne(std::move(before), after, event, step);
        addCost(weightOf(event, weights));
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
    ComponentItem copy(Listed item) const {
        return recording_ ? ComponentItem{item.component, item.tag} : ComponentItem{};
    }

    // A component that no later step takes or charges (two lone vertices or a cycle of
    // adjacency edges, without genes, cut out of another): only the records and the final graph
    // show it. `shown` makes it, and `keepShown` appends it to `list`, in a recording log; a
    // cost-only log makes and keeps nothing.
    template <typename MakeComponent>
    Component shown(MakeComponent make) const {
        return recording_ ? make() : Component{};
    }
    // Of two outcomes of a step that differ only in what the records show (endpoints and genes,
    // not kinds or sides), `shown()` in a recording log and the cheaper `standIn()` otherwise.
    template <typename MakeShown, typename MakeStandIn>
    auto shownOr(MakeShown shown, MakeStandIn standIn) const {
        return recording_ ? shown() : standIn();
    }
    void keepShown(std::vector<Component>& list, Component&& component) {
        if (recording_) list.push_back(std::move(component));
    }

    // Files `component` at the end of `other`, the bucket of components no step takes or changes
    // before the final stripping of two-edge cycles, which charges the deletion of each of their
    // bridging edges and reads nothing else. A cost-only log notes those deletions instead, in
    // order, and hands the component's storage to `spare`.
    void fileOther(std::vector<Component>& other, Component&& component,
                   std::vector<Component>& spare);
    // As `fileOther` for several components, filed before those `other` holds, in their order;
    // `joining` is left empty.
    void fileOthersFirst(std::vector<Component>& other, std::vector<Component>& joining,
                         std::vector<Component>& spare);

    // What a build of the joint graph for the cost alone left out (see `LeftOutCycles`); the
    // builder fills it, and the log charges it: `chargeLeftOutCuts` where the adjacency-edge
    // reduction begins, `noteLeftOutBefore` as the cycles are bucketed.
    LeftOutCycles& leftOut() { return leftOut_; }
    // Charges the cuts the adjacency-edge reduction would make in the left-out gene-free cycles:
    // a cycle of 2k edges loses k - 1 of them, one "DP" each, into k cycles of two adjacency
    // edges that no later step takes or charges.
    void chargeLeftOutCuts(const OperationWeights& weights);
    // Notes the deletion of the bridging edge of each left-out cycle of one bridging edge that
    // lay before the cycle at `position`, as `fileOther` would have for the cycle.
    void noteLeftOutBefore(std::size_t position);
    // Charges the deletions noted in place of the components of `other`, in order, and forgets
    // them.
    void chargeNotedDeletions(const OperationWeights& weights);

    // Every record from here on goes to `write` as soon as it is settled.
    void setWriter(std::function<void(const OperationRecord&)> write) { write_ = std::move(write); }
    // Hands over every record not yet written.
    void writeRemaining();
    // The records in order; those already handed to the writer are left empty.
    const std::vector<OperationRecord>& records() const { return records_; }

private:
    void add(OperationRecord record);
    void addOne(ComponentItem&& before, std::initializer_list<Listed> after, EventCode event,
                const char* step);
    void writeBefore(std::size_t end);

    bool recording_ = true;
    double totalCost_ = 0.0;
    std::vector<OperationRecord> records_;
    std::vector<uint64_t> open_;  // the open steps, in increasing order
    std::function<void(const OperationRecord&)> write_;
    std::size_t written_ = 0;
    // Of a cost-only log: the deletions noted for `other`, in the order the final stripping
    // charges them, and the cycles the build left out, with the first one-bridge cycle not yet
    // noted.
    std::vector<EventCode> notedDeletions_;
    std::vector<EventCode> joiningDeletions_;
    LeftOutCycles leftOut_;
    std::size_t nextOneBridge_ = 0;
};

// The deletion of the genes of a bridging edge: "bD" on side B, "aD" on side A.
inline EventCode deletionOn(Side side) {
    return side == Side::b ? bDeletionEvent : aDeletionEvent;
}

}  // namespace varnet
