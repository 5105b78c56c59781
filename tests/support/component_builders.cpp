#include "support/component_builders.hpp"

namespace varnet {

void PrintTo(const Edge& edge, std::ostream* out) {
    static const char* const kindNames[] = {"adjacency", "end",   "bridging", "block",
                                            "kind4",     "kind5", "kind6",    "kind7"};
    if (isLoneVertex(edge)) {
        *out << "lone";
    } else {
        *out << kindNames[kindOf(edge)] << (isSideB(edge) ? " B" : " A");
    }
    *out << ' ' << edge.first << '-' << edge.second << " [";
    for (std::size_t k = 0; k < edge.genes.size(); ++k) *out << (k ? " " : "") << edge.genes[k];
    *out << ']';
}

}  // namespace varnet

namespace varnet::testing {
namespace {

// The endpoint an edge shares with the edge before it (left) or after it (right); an end edge
// at the front of a path has its one endpoint on the right, one at the back on the left.
uint32_t leftEnd(const Edge& edge, std::size_t position) {
    if (kindOf(edge) == adjacencyEdge || kindOf(edge) == bridgingEdge) return edge.first;
    return kindOf(edge) == endEdge && position > 0 ? edge.first : 0;
}
uint32_t rightEnd(const Edge& edge, std::size_t position) {
    if (kindOf(edge) == adjacencyEdge || kindOf(edge) == bridgingEdge) return edge.second;
    return kindOf(edge) == endEdge && position == 0 ? edge.first : 0;
}

}  // namespace

std::string formFault(const Component& component, bool cycle) {
    if (component.empty()) return "empty component";
    const std::size_t n = component.size();
    for (std::size_t k = 0; k < n; ++k) {
        const Edge& edge = component[k];
        const std::string at = " at position " + std::to_string(k);
        const uint8_t kind = kindOf(edge);
        if (kind > blockEdge && !isLoneVertex(edge)) return "unknown edge kind" + at;
        if (n > 1 && (kind == blockEdge || isLoneVertex(edge))) {
            return "block edge or lone vertex inside a longer component" + at;
        }
        if (kind == endEdge && n > 1 && (cycle || (k != 0 && k != n - 1))) {
            return "end edge away from a path end" + at;
        }
        if (n == 1 || (!cycle && k + 1 == n)) continue;
        const std::size_t next = (k + 1) % n;
        if (sameSide(edge, component[next])) return "sides do not alternate" + at;
        const uint32_t here = rightEnd(edge, k);
        const uint32_t there = leftEnd(component[next], next);
        if (here != 0 && there != 0 && here != there) return "edges do not meet" + at;
    }
    return "";
}

}  // namespace varnet::testing
