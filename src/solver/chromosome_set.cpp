#include "solver/chromosome_set.hpp"

#include <utility>

namespace varnet {
namespace {

// Writes the records before index `end` that are not written yet.
void writeRecordsBefore(ChromosomeSet& state, std::size_t end) {
    for (; state.recordsWritten < end; ++state.recordsWritten) {
        OperationRecord& record = state.sequence[state.recordsWritten];
        state.writeRecord(record);
        record = OperationRecord{};
    }
}

}  // namespace

void addRecord(ChromosomeSet& state, OperationRecord record) {
    state.sequence.push_back(std::move(record));
    if (!state.writeRecord) return;
    // A pending quad's record still waits for the outcome the quad settles on; the quads are
    // settled last first, so the first one holds the earliest record that may still change.
    writeRecordsBefore(
        state, state.quads.empty() ? state.sequence.size() : state.quads.front().recordIndex);
}

void writeRemainingRecords(ChromosomeSet& state) {
    if (state.writeRecord) writeRecordsBefore(state, state.sequence.size());
}

}  // namespace varnet
