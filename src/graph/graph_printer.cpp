#include "graph/graph_printer.hpp"

namespace varnet {
namespace {

void printGenes(std::ostream& out, const Edge& edge, const GeneTable& genes) {
    for (const int32_t code : edge.genes) out << genes.nameOf(code);
}

char sideLetter(const Edge& edge) {
    return isSideB(edge) ? 'b' : 'a';
}

void printVertex(std::ostream& out, uint32_t end, const GeneTable& genes) {
    genes.printEnd(out, end);
}

void printEdge(std::ostream& out, const Edge& edge, const GeneTable& genes, bool firstInComponent) {
    if (isLoneVertex(edge)) {
        printVertex(out, edge.first, genes);
        return;
    }
    switch (edge.kind) {
        case EdgeKind::block:
            printGenes(out, edge, genes);
            out << sideLetter(edge);
            return;
        case EdgeKind::end:
            if (firstInComponent) {
                printGenes(out, edge, genes);
                out << sideLetter(edge) << '_';
                printVertex(out, edge.first, genes);
            } else {
                out << '_';
                printGenes(out, edge, genes);
                out << sideLetter(edge);
            }
            return;
        case EdgeKind::bridging:
            if (firstInComponent) printVertex(out, edge.first, genes);
            out << '_';
            printGenes(out, edge, genes);
            out << sideLetter(edge) << '_';
            printVertex(out, edge.second, genes);
            return;
        default:
            if (firstInComponent) printVertex(out, edge.first, genes);
            out << '_' << sideLetter(edge);
            printVertex(out, edge.second, genes);
            return;
    }
}

}  // namespace

void printComponent(std::ostream& out, const Component& component, const GeneTable& genes) {
    bool first = true;
    for (const Edge& edge : component) {
        printEdge(out, edge, genes, first);
        first = false;
    }
}

void printJointGraph(std::ostream& out, const JointGraph& graph, const GeneTable& genes) {
    std::size_t countA = 0;
    std::size_t countB = 0;
    out << "Cycles (" << graph.cycles.size() << "): ";
    for (const Component& component : graph.cycles) {
        printComponent(out, component, genes);
        out << "; ";
    }
    out << "\nPaths (" << graph.paths.size() << "): ";
    for (const Component& component : graph.paths) {
        printComponent(out, component, genes);
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
