#include "solver/sequence_printer.hpp"

#include <numeric>
#include <utility>

#include "graph/graph_printer.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

// Items [from, to) of `items`, separated by ", ".
void printItems(std::ostream& out, const std::vector<ComponentItem>& items, std::size_t from,
                std::size_t to, const GeneTable& names) {
    for (std::size_t i = from; i < to; ++i) {
        if (i != from) out << ", ";
        printComponentItem(out, items[i], names);
    }
}

bool endsWithAlternativesMarker(const std::vector<ComponentItem>& after) {
    return !after.empty() && after.back().tag == 'L' && after.back().component.empty();
}

}  // namespace

void printComponentItem(std::ostream& out, const ComponentItem& item, const GeneTable& names) {
    printComponent(out, item.component, names);
    out << '(' << item.tag << ')';
}

std::size_t listedProducedCount(const OperationRecord& record) {
    return record.after.size() - (endsWithAlternativesMarker(record.after) ? 1 : 0);
}

bool listsAlternatives(const OperationRecord& record) {
    return endsWithAlternativesMarker(record.after) && listedProducedCount(record) >= 4;
}

void printSequenceHeading(std::ostream& out, std::size_t eventCount, double totalCost) {
    out << eventCount << "; " << totalCost << ";\n";
}

void printOperationRecord(std::ostream& out, const OperationRecord& record,
                          const GeneTable& names) {
    out << '[';
    printItems(out, record.before, 0, record.before.size(), names);
    out << "] ";
    for (std::size_t i = 0; i < record.events.size(); ++i) {
        if (i != 0) out << ", ";
        out << eventName(record.events[i]);
    }
    out << " [";
    const std::vector<ComponentItem>& after = record.after;
    const std::size_t listed = listedProducedCount(record);
    if (listsAlternatives(record)) {
        out << '(';
        printItems(out, after, 0, 2, names);
        out << ") or (";
        printItems(out, after, 2, 4, names);
        out << ')';
        printItems(out, after, 4, listed, names);
    } else {
        printItems(out, after, 0, listed, names);
    }
    out << "] , step: " << record.step << "\n";
}

SequenceFileWriter::SequenceFileWriter(std::string path, const GeneTable& names)
    : path_(std::move(path)), names_(names), records_(path_) {}

void SequenceFileWriter::write(const OperationRecord& record) {
    countEvents(record, eventCounts_);
    printOperationRecord(records_.out(), record, names_);
}

void SequenceFileWriter::finish(double totalCost) {
    writeResultFile(path_, [&](std::ostream& out) {
        printSequenceHeading(
            out, std::accumulate(eventCounts_.begin(), eventCounts_.end(), std::size_t{0}),
            totalCost);
        records_.copyTo(out);
    });
}

}  // namespace varnet
