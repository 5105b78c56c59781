#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "graph/component.hpp"

namespace varnet {

// Readable test output: "bridging B 11-21 [5 -6]".
void PrintTo(const Edge& edge, std::ostream* out);

}  // namespace varnet

// Short builders for components worked out by hand, by side.
namespace varnet::testing {

constexpr bool A = false;
constexpr bool B = true;

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
// A lone vertex; `second` and genes are set only where a join leaves them on one.
inline Edge lone(uint32_t end, uint32_t second = 0, std::vector<int32_t> genes = {}) {
    return Edge{loneVertexFlags, end, second, std::move(genes)};
}

}  // namespace varnet::testing
