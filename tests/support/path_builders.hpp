#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "graph/component.hpp"

// Short builders for hand-worked edges and components, by side; edges print through the shared
// `PrintTo` of component_builders.hpp.
namespace varnet {

// Defined with the other builders in component_builders.cpp.
void PrintTo(const Edge& edge, std::ostream* out);

namespace testing {

constexpr bool sideA = false;
constexpr bool sideB = true;

inline Edge adj(bool side, uint32_t first, uint32_t second) {
    return makeEdge(adjacencyEdge, side, first, second);
}

inline Edge end(bool side, uint32_t first, std::vector<int32_t> genes) {
    Edge edge = makeEdge(endEdge, side, first);
    edge.genes = std::move(genes);
    return edge;
}

inline Edge bridge(bool side, uint32_t first, uint32_t second, std::vector<int32_t> genes) {
    Edge edge = makeEdge(bridgingEdge, side, first, second);
    edge.genes = std::move(genes);
    return edge;
}

inline Edge block(bool side, std::vector<int32_t> genes) {
    Edge edge = makeEdge(blockEdge, side, 0);
    edge.genes = std::move(genes);
    return edge;
}

// The lone vertex a join frees keeps the genes of the edge it came from.
inline Component lone(uint32_t end, std::vector<int32_t> genes = {}) {
    Edge edge = makeLoneVertex(end);
    edge.genes = std::move(genes);
    return Component{edge};
}

// Non-empty, sides alternating, and a lone vertex only as a component of its own.
inline bool isWellFormed(const Component& component) {
    if (component.empty()) return false;
    if (component.size() == 1) return true;
    for (std::size_t i = 0; i < component.size(); ++i) {
        if (isLoneVertex(component[i])) return false;
        if (i > 0 && sameSide(component[i - 1], component[i])) return false;
    }
    return true;
}

}  // namespace testing
}  // namespace varnet
