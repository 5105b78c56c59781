#pragma once

#include <cstdint>
#include <vector>

namespace varnet {

enum class EdgeKind : uint8_t {
    adjacency,   // two common ends adjacent in one structure
    end,         // a run of special genes between `first` and a telomere
    bridging,    // a run of special genes between `first` and `second`
    block,       // a whole chromosome of special genes; no endpoint
    loneVertex,  // a common end (`first`) that is a telomere in both structures
};

// The structure an edge belongs to. A lone vertex belongs to neither; its side is always `b`,
// which is what side comparisons against it see.
enum class Side : uint8_t { a, b };

constexpr Side otherSide(Side side) {
    return side == Side::a ? Side::b : Side::a;
}
constexpr Side sideOf(bool sideB) {
    return sideB ? Side::b : Side::a;
}

// One edge of a component.
struct Edge {
    EdgeKind kind = EdgeKind::adjacency;
    Side side = Side::a;
    uint32_t first = 0;
    uint32_t second = 0;
    std::vector<int32_t> genes;

    bool operator==(const Edge&) const = default;
};

inline bool isSideB(const Edge& edge) {
    return edge.side == Side::b;
}
inline bool isLoneVertex(const Edge& edge) {
    return edge.kind == EdgeKind::loneVertex;
}
inline bool sameSide(const Edge& a, const Edge& b) {
    return a.side == b.side;
}
// An end, bridging or block edge: one that stands for a run of special genes.
inline bool isSpecialGeneEdge(const Edge& edge) {
    return edge.kind == EdgeKind::end || edge.kind == EdgeKind::bridging ||
           edge.kind == EdgeKind::block;
}

// Changes the kind and keeps the side; a lone vertex stays as it is.
inline void setKind(Edge& edge, EdgeKind kind) {
    if (!isLoneVertex(edge)) edge.kind = kind;
}
// Turns an edge into a lone vertex at its `first`, keeping `second` and the genes.
inline void turnIntoLoneVertex(Edge& edge) {
    edge.kind = EdgeKind::loneVertex;
    edge.side = Side::b;
}

inline Edge makeEdge(EdgeKind kind, Side side, uint32_t first, uint32_t second = 0) {
    return Edge{kind, side, first, second, {}};
}

inline Edge makeLoneVertex(uint32_t end) {
    return Edge{EdgeKind::loneVertex, Side::b, end, 0, {}};
}

}  // namespace varnet
