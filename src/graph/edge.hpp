#pragma once

#include <cstdint>
#include <vector>

namespace varnet {

// Kinds of joint-graph edges, held in bits 0 to 2 of `Edge::flags`.
enum EdgeKind : uint8_t {
    adjacencyEdge = 0,  // two common ends adjacent in one structure
    endEdge = 1,        // a run of special genes between `first` and a telomere
    bridgingEdge = 2,   // a run of special genes between `first` and `second`
    blockEdge = 3,      // a whole chromosome of special genes; no endpoint
    loneVertexKind = 7,
};

constexpr uint8_t sideBBit = 8;
// The whole flags byte of a lone vertex: a common end that is a telomere in both structures.
constexpr uint8_t loneVertexFlags = 15;

// One edge of a component. Bit 3 of `flags` is the side (clear: structure A, set: B).
struct Edge {
    uint8_t flags = 0;
    uint32_t first = 0;
    uint32_t second = 0;
    std::vector<int32_t> genes;

    bool operator==(const Edge&) const = default;
};

inline uint8_t kindOf(const Edge& edge) {
    return edge.flags & 7;
}
inline bool isSideB(const Edge& edge) {
    return (edge.flags & sideBBit) != 0;
}
inline bool isLoneVertex(const Edge& edge) {
    return edge.flags == loneVertexFlags;
}
inline bool sameSide(const Edge& a, const Edge& b) {
    return isSideB(a) == isSideB(b);
}

// Changes the kind and keeps the side bit; a lone vertex stays as it is.
inline void setKind(Edge& edge, uint8_t kind) {
    if (!isLoneVertex(edge)) edge.flags = static_cast<uint8_t>((edge.flags & sideBBit) | kind);
}

inline Edge makeEdge(uint8_t kind, bool sideB, uint32_t first, uint32_t second = 0) {
    return Edge{static_cast<uint8_t>(kind | (sideB ? sideBBit : 0)), first, second, {}};
}

inline Edge makeLoneVertex(uint32_t end) {
    return Edge{loneVertexFlags, end, 0, {}};
}

}  // namespace varnet
