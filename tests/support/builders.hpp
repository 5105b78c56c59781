#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "graph/component.hpp"

namespace varnet {

// Readable test output: "bridging B 11-21 [5 -6]".
inline void PrintTo(const Edge& edge, std::ostream* out) {
    static const char* const kindNames[] = {"adjacency", "end", "bridging", "block", "lone"};
    *out << kindNames[static_cast<std::size_t>(edge.kind)] << (isSideB(edge) ? " B " : " A ")
         << edge.first << '-' << edge.second << " [";
    for (std::size_t k = 0; k < edge.genes.size(); ++k) *out << (k ? " " : "") << edge.genes[k];
    *out << ']';
}

}  // namespace varnet

// Short builders for components worked out by hand, by side.
namespace varnet::testing {

constexpr Side A = Side::a;
constexpr Side B = Side::b;

inline Edge adj(Side side, uint32_t first, uint32_t second) {
    return makeEdge(EdgeKind::adjacency, side, first, second);
}
inline Edge end(Side side, uint32_t first, std::vector<int32_t> genes) {
    return Edge{EdgeKind::end, side, first, 0, std::move(genes)};
}
inline Edge bridge(Side side, uint32_t first, uint32_t second, std::vector<int32_t> genes) {
    return Edge{EdgeKind::bridging, side, first, second, std::move(genes)};
}
inline Edge block(Side side, std::vector<int32_t> genes) {
    return Edge{EdgeKind::block, side, 0, 0, std::move(genes)};
}
// A lone vertex; `second` and genes are set only where a join leaves them on one.
inline Edge lone(uint32_t end, uint32_t second = 0, std::vector<int32_t> genes = {}) {
    return Edge{EdgeKind::loneVertex, Side::b, end, second, std::move(genes)};
}

}  // namespace varnet::testing
