#include "solver/step_log.hpp"

#include <algorithm>

namespace varnet {

namespace {

// Appends the deletions the final stripping charges for a component of `other`, in its order.
void appendFinalDeletions(const Component& component, std::vector<EventCode>& deletions) {
    if (component.size() != 2) return;
    if (component.front().kind == EdgeKind::bridging)
        deletions.push_back(deletionOn(component.front().side));
    if (component.back().kind == EdgeKind::bridging)
        deletions.push_back(deletionOn(component.back().side));
}

}  // namespace

void StepLog::restartCostOnly() {
    recording_ = false;
    totalCost_ = 0.0;
    notedDeletions_.clear();
    leftOut_.clear();
    nextOneBridge_ = 0;
}

void StepLog::addOutcome(uint64_t step, const Component& component) {
    if (recording_) records_.at(step).after.push_back({component, 'L'});
}

void StepLog::settle(uint64_t step) {
    std::erase(open_, step);
}

void StepLog::fileOther(std::vector<Component>& other, Component&& component,
                        std::vector<Component>& spare) {
    if (recording_) {
        other.push_back(std::move(component));
        return;
    }
    appendFinalDeletions(component, notedDeletions_);
    recycleComponent(std::move(component), spare);
}

void StepLog::fileOthersFirst(std::vector<Component>& other, std::vector<Component>& joining,
                              std::vector<Component>& spare) {
    if (recording_) {
        other.insert(other.begin(), std::make_move_iterator(joining.begin()),
                     std::make_move_iterator(joining.end()));
        joining.clear();
        return;
    }
    joiningDeletions_.clear();
    for (Component& component : joining) {
        appendFinalDeletions(component, joiningDeletions_);
        recycleComponent(std::move(component), spare);
    }
    joining.clear();
    notedDeletions_.insert(notedDeletions_.begin(), joiningDeletions_.begin(),
                           joiningDeletions_.end());
}

void StepLog::chargeLeftOutCuts(const OperationWeights& weights) {
    const uint64_t cuts = leftOut_.geneFreeEdges / 2 - leftOut_.geneFree;
    for (uint64_t k = 0; k < cuts; ++k) addCost(weightOf(dpEvent, weights));
    leftOut_.geneFree = 0;
    leftOut_.geneFreeEdges = 0;
}

void StepLog::noteLeftOutBefore(std::size_t position) {
    const std::vector<OneBridgeCycle>& oneBridge = leftOut_.oneBridge;
    for (; nextOneBridge_ < oneBridge.size() && oneBridge[nextOneBridge_].position <= position;
         ++nextOneBridge_)
        notedDeletions_.push_back(deletionOn(oneBridge[nextOneBridge_].bridgeSide));
}

void StepLog::chargeNotedDeletions(const OperationWeights& weights) {
    for (const EventCode deletion : notedDeletions_) addCost(weightOf(deletion, weights));
    notedDeletions_.clear();
}

void StepLog::writeRemaining() {
    if (write_) writeBefore(records_.size());
}

void StepLog::add(OperationRecord record) {
    records_.push_back(std::move(record));
    // The first open step holds the earliest record that may still change.
    if (write_) writeBefore(open_.empty() ? records_.size() : open_.front());
}

void StepLog::addOne(ComponentItem&& before, std::initializer_list<Listed> after, EventCode event,
                     const char* step) {
    OperationRecord record{{}, {}, {event}, step};
    record.before.push_back(std::move(before));
    for (const Listed& item : after) record.after.push_back({item.component, item.tag});
    add(std::move(record));
}

void StepLog::writeBefore(std::size_t end) {
    for (; written_ < end; ++written_) {
        OperationRecord& record = records_[written_];
        write_(record);
        record = OperationRecord{};
    }
}

}  // namespace varnet
