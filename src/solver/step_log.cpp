#include "solver/step_log.hpp"

#include <algorithm>

namespace varnet {

StepLog StepLog::costOnly() {
    StepLog log;
    log.recording_ = false;
    return log;
}

void StepLog::addOutcome(uint64_t step, const Component& component) {
    if (recording_) records_.at(step).after.push_back(makeLinearItem(component));
}

void StepLog::settle(uint64_t step) {
    std::erase(open_, step);
}

ComponentItem StepLog::copyLinear(const Component& component) const {
    return recording_ ? makeLinearItem(component) : ComponentItem{};
}

ComponentItem StepLog::copyCycle(const Component& component) const {
    return recording_ ? makeCycleItem(component) : ComponentItem{};
}

void StepLog::writeRemaining() {
    if (write_) writeBefore(records_.size());
}

void StepLog::add(OperationRecord record) {
    records_.push_back(std::move(record));
    // The first open step holds the earliest record that may still change.
    if (write_) writeBefore(open_.empty() ? records_.size() : open_.front());
}

void StepLog::writeBefore(std::size_t end) {
    for (; written_ < end; ++written_) {
        OperationRecord& record = records_[written_];
        write_(record);
        record = OperationRecord{};
    }
}

}  // namespace varnet
