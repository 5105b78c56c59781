#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "solver/chromosome_set.hpp"
#include "solver/operation_record.hpp"
#include "structures/gene_table.hpp"
#include "structures/text_files.hpp"

namespace varnet {

// The result file `path`: the number of events and the total cost, then one line per step,
// written while the solver runs. Each record is printed to a scratch file beside `path` as it
// is handed over (`StepLog::setWriter`), so no record needs to be kept; `finish` then
// writes the first line and the records into `path` whole. Until then, and when `finish` fails,
// `path` is left as it was.
class SequenceFileWriter {
public:
    SequenceFileWriter(std::string path, const GeneTable& names);
    void write(const OperationRecord& record);
    void finish(double totalCost);
    // The events of the records written so far, by code.
    const EventCounts& eventCounts() const { return eventCounts_; }

private:
    std::string path_;
    const GeneTable& names_;  // must outlive the writer
    ScratchFile records_;
    EventCounts eventCounts_{};
};

// The first line of the file: the number of events and the total cost.
void printSequenceHeading(std::ostream& out, std::size_t eventCount, double totalCost);

// One component as a record lists it: the component, then its tag in parentheses ("(C)" closed,
// "(L)" open).
void printComponentItem(std::ostream& out, const ComponentItem& item, const GeneTable& names);

// The produced items a record lists: all but an empty linear item at the end, which marks that
// the first two and the next two items are alternatives when at least four precede it.
std::size_t listedProducedCount(const OperationRecord& record);
bool listsAlternatives(const OperationRecord& record);

// One line: consumed items, events, produced items (two alternative pairs when the last
// produced item is an empty linear component), then ", step: " and the label.
void printOperationRecord(std::ostream& out, const OperationRecord& record, const GeneTable& names);

}  // namespace varnet
