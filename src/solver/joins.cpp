#include "solver/joins.hpp"

#include <optional>
#include <utility>

#include "solver/primitives.hpp"

namespace varnet {
namespace {

// Reversed when it has more than one edge and the side of its named edge (first or last)
// differs from that of `against`, or, with `reverseWhenEqual`, is the same.
Component orientedBySide(const Component& c, bool namedIsLast, const Edge& against,
                         bool reverseWhenEqual = false) {
    Component t = c;
    const Edge& named = namedIsLast ? t.back() : t.front();
    if (t.size() > 1 && sameSide(named, against) == reverseWhenEqual) reverseComponent(t);
    return t;
}

// `edge` now ends at `end` and carries `source`'s genes after its own; with a kind given, it
// becomes that kind (keeping its side).
void extendEdge(Edge& edge, uint32_t end, const Edge& source,
                std::optional<EdgeKind> kind = std::nullopt) {
    edge.second = end;
    appendGenes(source, edge);
    if (kind) setKind(edge, *kind);
}

// `edge` takes `head`'s first endpoint as its second endpoint and `head`'s genes after its own,
// keeping every gene end in exactly one place. A head without an endpoint (a block) gives only
// its genes; the stated kind then applies only to an edge with two endpoints. An end edge that
// gains a second endpoint becomes a bridging edge. Otherwise the edge becomes the stated kind
// and its old second endpoint is freed. Returns the freed endpoint, 0 when none is.
uint32_t takeHead(Edge& edge, const Edge& head, std::optional<EdgeKind> kind = std::nullopt) {
    appendGenes(head, edge);
    if (head.first == 0) {
        if (kind && edge.first != 0 && edge.second != 0) setKind(edge, *kind);
        return 0;
    }
    if (edge.kind == EdgeKind::end) {
        edge.second = head.first;
        setKind(edge, EdgeKind::bridging);
        return 0;
    }
    const uint32_t freed = edge.second;
    edge.second = head.first;
    if (kind) setKind(edge, *kind);
    return freed;
}

// Appends copies of u's edges from position `from` on.
void appendEdgesFrom(Component& t, const Component& u, std::size_t from) {
    t.insert(t.end(), u.begin() + static_cast<std::ptrdiff_t>(from), u.end());
}

Component loneVertexAt(uint32_t end) {
    return Component{makeLoneVertex(end)};
}

// The lone vertex a join frees, or no component when it frees nothing.
Component freedVertex(uint32_t end) {
    return end == 0 ? Component{} : loneVertexAt(end);
}

// Two adjacency edges without genes: the first on the side opposite to `sideB` from u to v,
// the second on that side from v back to u.
Component twoEdgeCycle(uint32_t u, uint32_t v, bool sideB) {
    return Component{makeEdge(EdgeKind::adjacency, sideOf(!sideB), u, v),
                     makeEdge(EdgeKind::adjacency, sideOf(sideB), v, u)};
}

// The common tail of `caseJoin15` and `caseJoin22`: T's last edge is fused with U's first edge.
JoinResult fuseOrientedByKind(const Component& x, const Component& y,
                              std::optional<EdgeKind> kind) {
    Component t = orientedByKind(x);
    const Component u = orientedByKind(y);
    const uint32_t freed = takeHead(t.back(), u[0], kind);
    appendEdgesFrom(t, u, 1);
    return {std::move(t), freedVertex(freed)};
}

}  // namespace

JoinResult joinInto(const Component& x, const Component& y) {
    Component r = x;
    extendEdge(r.back(), y[1].second, y[1], EdgeKind::bridging);
    appendEdgesFrom(r, y, 2);
    return {std::move(r), Component{y[0]}};
}

JoinResult caseJoin4(const Component& x, const Component& y) {
    Component r = x;
    const std::size_t joined = r.size();
    appendEdgesFrom(r, y, 0);
    r[joined].first = x.back().second;
    Edge freed = y[0];
    freed.second = 0;
    turnIntoLoneVertex(freed);
    return {std::move(r), Component{std::move(freed)}};
}

JoinResult caseJoin7(const Component& x, const Component& y) {
    if (x.size() == 1 && y.size() == 1) {
        Component r = x;
        appendGenes(y[0], r[0]);
        return {std::move(r), {}};
    }
    const bool exchanged = x.size() == 1;
    const Component& u = exchanged ? x : y;
    Component r = exchanged ? y : x;
    if (u.size() == 1) {
        appendGenes(u[0], r.back());
    } else {
        extendEdge(r.back(), u[0].first, u[0], EdgeKind::bridging);
        appendEdgesFrom(r, u, 1);
    }
    return {std::move(r), {}};
}

JoinResult caseJoin8(const Component& x, const Component& y) {
    Component r = x;
    const uint32_t freed = r.back().second;
    extendEdge(r.back(), y[0].second, y[0], EdgeKind::bridging);
    appendEdgesFrom(r, y, 1);
    return {std::move(r), twoEdgeCycle(freed, y[0].first, isSideB(x.back()))};
}

JoinResult caseJoin9(const Component& x, const Component& y) {
    Component r = x;
    if (y.size() == 1) {
        appendGenes(y[0], x.front().kind == EdgeKind::end ? r.front() : r.back());
        return {std::move(r), {}};
    }
    if (r.front().kind == EdgeKind::end && r.size() > 1) reverseComponent(r);
    extendEdge(r.back(), y[0].first, y[0], EdgeKind::bridging);
    appendEdgesFrom(r, y, 1);
    return {std::move(r), {}};
}

JoinResult caseJoin10(const Component& x, const Component& y) {
    Component r = orientedByKind(x);
    const uint32_t freed = r.back().second;
    extendEdge(r.back(), y[0].second, y[0], EdgeKind::bridging);
    appendEdgesFrom(r, y, 1);
    return {std::move(r), twoEdgeCycle(freed, y[0].first, isSideB(y[0]))};
}

JoinResult caseJoin11(const Component& x, const Component& y) {
    Component r = orientedBySide(y, false, x.back());
    Edge& head = r.front();
    if (x.size() == 1) {
        appendGenes(x[0], head);
        return {std::move(r), {}};
    }
    head.second = head.first;
    head.first = x.back().first;
    appendGenes(x.back(), head);
    setKind(head, EdgeKind::bridging);
    r.insert(r.begin(), x.begin(), x.end() - 1);
    return {std::move(r), {}};
}

JoinResult caseJoin12(const Component& x, const Component& y) {
    Component r = orientedBySide(y, true, x[0]);
    const uint32_t freed = r.back().second;
    const bool fusedSideB = isSideB(r.back());
    extendEdge(r.back(), x[0].second, x[0]);
    appendEdgesFrom(r, x, 1);
    return {std::move(r), twoEdgeCycle(freed, x[0].first, fusedSideB)};
}

JoinResult caseJoin13(const Component& x, const Component& y) {
    Component r = orientedBySide(x, true, y[0], true);
    Edge removed = std::move(r.back());
    r.pop_back();
    // The end vertex stays with the kept edge when both were end edges at it.
    const bool sharesEnd = removed.kind == EdgeKind::end && removed.first == r.back().first;
    takeHead(r.back(), y[0]);
    appendEdgesFrom(r, y, 1);
    if (sharesEnd) {
        if (removed.genes.empty()) return {std::move(r), {}};
        removed.first = 0;
        removed.second = 0;
        setKind(removed, EdgeKind::block);
    }
    return {std::move(r), Component{std::move(removed)}};
}

JoinResult caseJoin14(const Component& x, const Component& y) {
    Component r = orientedBySide(x, true, y[0], true);
    const std::size_t joined = r.size();
    const uint32_t joinEnd = r.back().second;
    appendEdgesFrom(r, y, 0);
    r[joined].first = joinEnd;
    return {std::move(r), loneVertexAt(y[0].first)};
}

JoinResult caseJoin15(const Component& x, const Component& y) {
    if (x.size() == 1 && y.size() == 1) {
        Component r = x;
        appendGenes(y[0], r[0]);
        Edge freed = y[0];
        turnIntoLoneVertex(freed);
        return {std::move(r), Component{std::move(freed)}};
    }
    return fuseOrientedByKind(x, y, EdgeKind::bridging);
}

JoinResult caseJoin16(const Component& x, const Component& y) {
    const Component t = orientedByKind(x);
    Component r = orientedByKind(y);
    const uint32_t freed = takeHead(r.back(), t[0]);
    appendEdgesFrom(r, t, 1);
    return {std::move(r), freedVertex(freed)};
}

JoinResult caseJoin18(const Component& x, const Component& y) {
    Component r = orientedByKind(y);
    const uint32_t freed = takeHead(r.back(), x[0]);
    appendEdgesFrom(r, x, 1);
    return {std::move(r), freedVertex(freed)};
}

JoinResult caseJoin19(const Component& x, const Component& y) {
    const Component u = orientedByKind(y);
    Component r = x;
    const uint32_t freed = takeHead(r.back(), u[0]);
    appendEdgesFrom(r, u, 1);
    return {std::move(r), freedVertex(freed)};
}

JoinResult caseJoin20(const Component& x, const Component& y) {
    Component r = orientedByKind(y);
    Component t = orientedBySide(x, false, r.back());
    if (y.size() == 1) {
        appendGenes(y[0], t.front());
        return {std::move(t), loneVertexAt(y[0].first)};
    }
    const uint32_t freed = takeHead(r.back(), t[0]);
    appendEdgesFrom(r, t, 1);
    return {std::move(r), freedVertex(freed)};
}

JoinResult caseJoin21(const Component& x, const Component& y) {
    const Component u = orientedByKind(y);
    Component r = orientedBySide(x, true, u[0]);
    const uint32_t freed = takeHead(r.back(), u[0]);
    appendEdgesFrom(r, u, 1);
    return {std::move(r), freedVertex(freed)};
}

JoinResult caseJoin22(const Component& x, const Component& y) {
    return fuseOrientedByKind(x, y, std::nullopt);
}

}  // namespace varnet
