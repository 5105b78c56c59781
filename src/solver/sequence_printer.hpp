#pragma once

#include <ostream>
#include <string>

#include "solver/chromosome_set.hpp"
#include "solver/operation_record.hpp"
#include "structures/gene_name_table.hpp"

namespace varnet {

// The result file `path`: the number of events and the total cost, then one line per step.
void writeShortestSequence(const ChromosomeSet& state, const std::string& path,
                           const GeneNameTable& names);

// One line: consumed items, events, produced items (two alternative pairs when the last
// produced item is an empty linear component), then ", step: " and the label.
void printOperationRecord(std::ostream& out, const OperationRecord& record,
                          const GeneNameTable& names);

}  // namespace varnet
