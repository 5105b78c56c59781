#include "solver/sequence_printer.hpp"

#include <utility>

#include "graph/graph_printer.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

void printItem(std::ostream& out, const ComponentItem& item, const GeneNameIndex& names) {
    printComponent(out, item.component, names);
    out << '(' << item.tag << ')';
}

// Items [from, to) of `items`, separated by ", ".
void printItems(std::ostream& out, const std::vector<ComponentItem>& items, std::size_t from,
                std::size_t to, const GeneNameIndex& names) {
    for (std::size_t i = from; i < to; ++i) {
        if (i != from) out << ", ";
        printItem(out, items[i], names);
    }
}

bool endsWithAlternativesMarker(const std::vector<ComponentItem>& after) {
    return !after.empty() && after.back().tag == 'L' && after.back().component.empty();
}

}  // namespace

void printOperationRecord(std::ostream& out, const OperationRecord& record,
                          const GeneNameIndex& names) {
    out << '[';
    printItems(out, record.before, 0, record.before.size(), names);
    out << "] ";
    for (std::size_t i = 0; i < record.events.size(); ++i) {
        if (i != 0) out << ", ";
        out << eventName(record.events[i]);
    }
    out << " [";
    const std::vector<ComponentItem>& after = record.after;
    if (endsWithAlternativesMarker(after)) {
        const std::size_t marker = after.size() - 1;
        if (marker >= 4) {
            out << '(';
            printItem(out, after[0], names);
            out << ", ";
            printItem(out, after[1], names);
            out << ") or (";
            printItem(out, after[2], names);
            out << ", ";
            printItem(out, after[3], names);
            out << ')';
            printItems(out, after, 4, marker, names);
        } else {
            // Too few items for two alternatives: they are listed plainly, without the marker.
            printItems(out, after, 0, marker, names);
        }
    } else {
        printItems(out, after, 0, after.size(), names);
    }
    out << "] , step: " << record.step << "\n";
}

SequenceFileWriter::SequenceFileWriter(std::string path, const GeneNameIndex& names)
    : path_(std::move(path)), names_(names), records_(path_) {}

void SequenceFileWriter::write(const OperationRecord& record) {
    eventCount_ += record.events.size();
    printOperationRecord(records_.out(), record, names_);
}

void SequenceFileWriter::finish(double totalCost) {
    writeResultFile(path_, [&](std::ostream& out) {
        out << eventCount_ << "; " << totalCost << ";\n";
        records_.copyTo(out);
    });
}

}  // namespace varnet
