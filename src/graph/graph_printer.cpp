#include "graph/graph_printer.hpp"

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

const std::string& geneName(int32_t code, const GeneNameIndex& names) {
    return names.ofCode(absoluteCode(code));
}

void printGenes(std::ostream& out, const Edge& edge, const GeneNameIndex& names) {
    for (const int32_t code : edge.genes) out << geneName(code, names);
}

char sideLetter(const Edge& edge) {
    return isSideB(edge) ? 'b' : 'a';
}

}  // namespace

void printVertex(std::ostream& out, uint32_t end, const GeneNameIndex& names) {
    out << names.ofCode(end / 10) << (end % 10 == 1 ? ".1" : ".2");
}

void printEdge(std::ostream& out, const Edge& edge, const GeneNameIndex& names,
               bool firstInComponent) {
    if (isLoneVertex(edge)) {
        printVertex(out, edge.first, names);
        return;
    }
    switch (edge.kind) {
        case EdgeKind::block:
            printGenes(out, edge, names);
            out << sideLetter(edge);
            return;
        case EdgeKind::end:
            if (firstInComponent) {
                printGenes(out, edge, names);
                out << sideLetter(edge) << '_';
                printVertex(out, edge.first, names);
            } else {
                out << '_';
                printGenes(out, edge, names);
                out << sideLetter(edge);
            }
            return;
        case EdgeKind::bridging:
            if (firstInComponent) printVertex(out, edge.first, names);
            out << '_';
            printGenes(out, edge, names);
            out << sideLetter(edge) << '_';
            printVertex(out, edge.second, names);
            return;
        default:
            if (firstInComponent) printVertex(out, edge.first, names);
            out << '_' << sideLetter(edge);
            printVertex(out, edge.second, names);
            return;
    }
}

void printComponent(std::ostream& out, const Component& component, const GeneNameIndex& names) {
    bool first = true;
    for (const Edge& edge : component) {
        printEdge(out, edge, names, first);
        first = false;
    }
}

void printJointGraph(std::ostream& out, const JointGraph& graph, const GeneNameIndex& names) {
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
                if (isSpecialGeneEdge(edge)) ++(isSideB(edge) ? countB : countA);
            }
        }
    }
    out << "\na-spnodes: " << countA << ", b-spnodes: " << countB << "\n";
}

}  // namespace varnet
