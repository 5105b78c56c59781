#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "graph/component.hpp"

namespace varnet {

// Readable test output: "adjacency A 11-21 [5 -6]".
void PrintTo(const Edge& edge, std::ostream* out);

}  // namespace varnet

namespace varnet::testing {

// Short edge builders for components worked out by hand.
inline Edge adjA(uint32_t first, uint32_t second) {
    return makeEdge(adjacencyEdge, false, first, second);
}
inline Edge adjB(uint32_t first, uint32_t second) {
    return makeEdge(adjacencyEdge, true, first, second);
}
inline Edge withGenes(Edge edge, std::vector<int32_t> genes) {
    edge.genes = std::move(genes);
    return edge;
}
inline Edge bridgeA(uint32_t first, uint32_t second, std::vector<int32_t> genes) {
    return withGenes(makeEdge(bridgingEdge, false, first, second), std::move(genes));
}
inline Edge bridgeB(uint32_t first, uint32_t second, std::vector<int32_t> genes) {
    return withGenes(makeEdge(bridgingEdge, true, first, second), std::move(genes));
}
inline Edge endA(uint32_t first, std::vector<int32_t> genes) {
    return withGenes(makeEdge(endEdge, false, first), std::move(genes));
}
inline Edge endB(uint32_t first, std::vector<int32_t> genes) {
    return withGenes(makeEdge(endEdge, true, first), std::move(genes));
}
inline Edge blockA(std::vector<int32_t> genes) {
    return withGenes(makeEdge(blockEdge, false, 0), std::move(genes));
}
inline Edge blockB(std::vector<int32_t> genes) {
    return withGenes(makeEdge(blockEdge, true, 0), std::move(genes));
}
// Any edge by kind and side.
inline Edge edge(uint8_t kind, bool sideB, uint32_t first, uint32_t second = 0,
                 std::vector<int32_t> genes = {}) {
    return withGenes(makeEdge(kind, sideB, first, second), std::move(genes));
}
// A lone vertex; `second` and genes are set only where a step leaves them on one.
inline Edge lone(uint32_t end, uint32_t second = 0, std::vector<int32_t> genes = {}) {
    return Edge{loneVertexFlags, end, second, std::move(genes)};
}

// Why `component` is not well formed, or empty when it is: it must be non-empty, hold block
// edges and lone vertices only alone and end edges only at the ends of a path, alternate sides,
// and consecutive edges (the last and the first too, in a cycle) must meet at the same vertex
// where both have an endpoint there.
std::string formFault(const Component& component, bool cycle);

}  // namespace varnet::testing
