#include "graph/graph_printer.hpp"

#include <stdexcept>

#include "structures/gene_code.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

const std::string& geneName(int32_t code, const GeneNameTable& names) {
    return geneNameOf(names, static_cast<int32_t>(absoluteCode(code) / 10));
}

void printGenes(std::ostream& out, const Edge& edge, const GeneNameTable& names) {
    for (const int32_t code : edge.genes) out << geneName(code, names);
}

char sideLetter(const Edge& edge) {
    return isSideB(edge) ? 'b' : 'a';
}

void printItem(std::ostream& out, const ComponentItem& item, const GeneNameTable& names) {
    printComponent(out, item.component, names);
    out << '(' << item.tag << ')';
}

// Items [from, to) of `items`, separated by ", ".
void printItems(std::ostream& out, const std::vector<ComponentItem>& items, std::size_t from,
                std::size_t to, const GeneNameTable& names) {
    for (std::size_t i = from; i < to; ++i) {
        if (i != from) out << ", ";
        printItem(out, items[i], names);
    }
}

bool endsWithAlternativesMarker(const std::vector<ComponentItem>& after) {
    return !after.empty() && after.back().tag == 'L' && after.back().component.empty();
}

}  // namespace

std::string vertexName(uint32_t end, const GeneNameTable& names) {
    return geneNameOf(names, static_cast<int32_t>(end / 100)) + (end % 10 == 1 ? ".1" : ".2");
}

void printEdge(std::ostream& out, const Edge& edge, const GeneNameTable& names,
               bool firstInComponent) {
    if (isLoneVertex(edge)) {
        out << vertexName(edge.first, names);
        return;
    }
    switch (kindOf(edge)) {
        case blockEdge:
            printGenes(out, edge, names);
            out << sideLetter(edge);
            return;
        case endEdge:
            if (firstInComponent) {
                printGenes(out, edge, names);
                out << sideLetter(edge) << '_' << vertexName(edge.first, names);
            } else {
                out << '_';
                printGenes(out, edge, names);
                out << sideLetter(edge);
            }
            return;
        case bridgingEdge:
            if (firstInComponent) out << vertexName(edge.first, names);
            out << '_';
            printGenes(out, edge, names);
            out << sideLetter(edge) << '_' << vertexName(edge.second, names);
            return;
        default:
            if (firstInComponent) out << vertexName(edge.first, names);
            out << '_' << sideLetter(edge) << vertexName(edge.second, names);
            return;
    }
}

void printComponent(std::ostream& out, const Component& component, const GeneNameTable& names) {
    bool first = true;
    for (const Edge& edge : component) {
        printEdge(out, edge, names, first);
        first = false;
    }
}

void printJointGraph(std::ostream& out, const ChromosomeSet& graph, const GeneNameTable& names) {
    std::size_t countA = 0;
    std::size_t countB = 0;
    out << "Cycles (" << graph.cycles.size() << "): ";
    for (const Component& component : graph.cycles) {
        printComponent(out, component, names);
        out << "; ";
    }
    out << "\nPaths (" << graph.paths.size() << "): ";
    for (const Component& component : graph.paths) {
        printComponent(out, component, names);
        out << "; ";
    }
    for (const auto* list : {&graph.cycles, &graph.paths}) {
        for (const Component& component : *list) {
            for (const Edge& edge : component) {
                const uint8_t kind = kindOf(edge);
                if (isLoneVertex(edge) || kind < endEdge || kind > blockEdge) continue;
                ++(isSideB(edge) ? countB : countA);
            }
        }
    }
    out << "\na-spnodes: " << countA << ", b-spnodes: " << countB << "\n";
}

void printOperationRecord(std::ostream& out, const OperationRecord& record,
                          const GeneNameTable& names) {
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

void writeShortestSequence(const ChromosomeSet& graph, const std::string& path,
                           const GeneNameTable& names) {
    writeResultFile(path, [&](std::ostream& out) {
        std::size_t eventCount = 0;
        for (const OperationRecord& record : graph.sequence) eventCount += record.events.size();
        out << eventCount << "; " << graph.totalCost << ";\n";
        for (const OperationRecord& record : graph.sequence)
            printOperationRecord(out, record, names);
    });
}

}  // namespace varnet
