#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "solver/chromosome_set.hpp"
#include "solver/operation_record.hpp"
#include "structures/gene_name_table.hpp"
#include "structures/text_files.hpp"

namespace varnet {

// The result file `path`: the number of events and the total cost, then one line per step,
// written while the solver runs. Each record is printed to a scratch file beside `path` as it
// is handed over (`ChromosomeSet::writeRecord`), so no record needs to be kept; `finish` then
// writes the first line and the records into `path` whole. Until then, and when `finish` fails,
// `path` is left as it was.
class SequenceFileWriter {
public:
    SequenceFileWriter(std::string path, const GeneNameIndex& names);
    void write(const OperationRecord& record);
    void finish(double totalCost);

private:
    std::string path_;
    GeneNameIndex names_;
    ScratchFile records_;
    std::size_t eventCount_ = 0;
};

// One line: consumed items, events, produced items (two alternative pairs when the last
// produced item is an empty linear component), then ", step: " and the label.
void printOperationRecord(std::ostream& out, const OperationRecord& record,
                          const GeneNameIndex& names);

}  // namespace varnet
