#include "graph/graph_printer.hpp"

#include <array>
#include <utility>

namespace varnet {
namespace {

char sideLetter(const Edge& edge) {
    return isSideB(edge) ? 'b' : 'a';
}

// The genes of a run, then the letter of its side.
void printRun(std::ostream& out, const Edge& edge, const GeneTable& genes) {
    for (const int32_t code : edge.genes) out << genes.nameOf(code);
    out << sideLetter(edge);
}

void printEdge(std::ostream& out, const Edge& edge, const GeneTable& genes, bool firstInComponent) {
    if (isLoneVertex(edge)) {
        genes.printEnd(out, edge.first);
        return;
    }
    switch (edge.kind) {
        case EdgeKind::block:
            printRun(out, edge, genes);
            return;
        case EdgeKind::end:
            if (firstInComponent) {
                printRun(out, edge, genes);
                out << '_';
                genes.printEnd(out, edge.first);
            } else {
                out << '_';
                printRun(out, edge, genes);
            }
            return;
        case EdgeKind::bridging:
            if (firstInComponent) genes.printEnd(out, edge.first);
            out << '_';
            printRun(out, edge, genes);
            out << '_';
            genes.printEnd(out, edge.second);
            return;
        default:
            if (firstInComponent) genes.printEnd(out, edge.first);
            out << '_' << sideLetter(edge);
            genes.printEnd(out, edge.second);
            return;
    }
}

}  // namespace

void printComponent(std::ostream& out, const Component& component, const GeneTable& genes) {
    for (const Edge& edge : component) printEdge(out, edge, genes, &edge == component.begin());
}

void printJointGraph(std::ostream& out, const JointGraph& graph, const GeneTable& genes) {
    // Special-gene edges of side A and of side B.
    std::array<std::size_t, 2> counts{};
    for (const auto& [heading, list] :
         {std::pair{"Cycles (", &graph.cycles}, std::pair{"\nPaths (", &graph.paths}}) {
        out << heading << list->size() << "): ";
        for (const Component& component : *list) {
            printComponent(out, component, genes);
            out << "; ";
            for (const Edge& edge : component) {
                if (isSpecialGeneEdge(edge)) ++counts[isSideB(edge) ? 1 : 0];
            }
        }
    }
    out << "\na-spnodes: " << counts[0] << ", b-spnodes: " << counts[1] << "\n";
}

}  // namespace varnet
