#include "solver/joins.hpp"

#include <optional>
#include <utility>

#include "solver/categories.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

void appendEdgesFrom(Component& t, const Component& u, std::size_t from) {
    t.insert(t.end(), u.begin() + static_cast<std::ptrdiff_t>(from), u.end());
}

// R's last edge now ends at `end` and carries u[k]'s genes after its own (with a kind given, it
// becomes that kind, keeping its side); u's edges after k follow.
void extendInto(Component& r, uint32_t end, const Component& u, std::size_t k,
                std::optional<EdgeKind> kind = std::nullopt) {
    Edge& edge = r.back();
    edge.second = end;
    appendGenes(u[k], edge);
    if (kind) setKind(edge, *kind);
    appendEdgesFrom(r, u, k + 1);
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

// T's last edge takes U's first edge (`takeHead`), then U's other edges follow; frees the lone
// vertex `takeHead` frees, if any.
JoinResult fuse(Component t, const Component& u, std::optional<EdgeKind> kind = std::nullopt) {
    const uint32_t freed = takeHead(t.back(), u[0], kind);
    appendEdgesFrom(t, u, 1);
    return {std::move(t), freed == 0 ? Component{} : Component{makeLoneVertex(freed)}};
}

// Two adjacency edges without genes: the first on the side opposite to `sideB` from u to v,
// the second on that side from v back to u.
Component twoEdgeCycle(uint32_t u, uint32_t v, bool sideB) {
    return Component{makeEdge(EdgeKind::adjacency, sideOf(!sideB), u, v),
                     makeEdge(EdgeKind::adjacency, sideOf(sideB), v, u)};
}

// R, then all of Y, Y[0] starting at R's end.
Component appendAfterEnd(Component r, const Component& y) {
    const std::size_t joined = r.size();
    const uint32_t joinEnd = r.back().second;
    appendEdgesFrom(r, y, 0);
    r[joined].first = joinEnd;
    return r;
}

}  // namespace

JoinResult joinInto(const Component& x, const Component& y) {
    Component r = x;
    extendInto(r, y[1].second, y, 1, EdgeKind::bridging);
    return {std::move(r), Component{y[0]}};
}

JoinResult caseJoin4(const Component& x, const Component& y) {
    Edge freed = y[0];
    freed.second = 0;
    turnIntoLoneVertex(freed);
    return {appendAfterEnd(x, y), Component{std::move(freed)}};
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
        extendInto(r, u[0].first, u, 0, EdgeKind::bridging);
    }
    return {std::move(r), {}};
}

JoinResult caseJoin8(const Component& x, const Component& y) {
    Component r = x;
    const uint32_t freed = r.back().second;
    extendInto(r, y[0].second, y, 0, EdgeKind::bridging);
    return {std::move(r), twoEdgeCycle(freed, y[0].first, isSideB(x.back()))};
}

JoinResult caseJoin9(const Component& x, const Component& y) {
    Component r = x;
    if (y.size() == 1) {
        appendGenes(y[0], x.front().kind == EdgeKind::end ? r.front() : r.back());
        return {std::move(r), {}};
    }
    if (r.front().kind == EdgeKind::end && r.size() > 1) reverseComponent(r);
    extendInto(r, y[0].first, y, 0, EdgeKind::bridging);
    return {std::move(r), {}};
}

JoinResult caseJoin10(const Component& x, const Component& y) {
    Component r = orientedByKind(x);
    const uint32_t freed = r.back().second;
    extendInto(r, y[0].second, y, 0, EdgeKind::bridging);
    return {std::move(r), twoEdgeCycle(freed, y[0].first, isSideB(y[0]))};
}

JoinResult caseJoin11(const Component& x, const Component& y) {
    Component r = turnedTo(y, true, x.back().side);
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
    Component r = turnedTo(y, false, x[0].side);
    const uint32_t freed = r.back().second;
    const bool fusedSideB = isSideB(r.back());
    extendInto(r, x[0].second, x, 0);
    return {std::move(r), twoEdgeCycle(freed, x[0].first, fusedSideB)};
}

JoinResult caseJoin13(const Component& x, const Component& y) {
    Component r = turnedTo(x, false, otherSide(y[0].side));
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
    return {appendAfterEnd(turnedTo(x, false, otherSide(y[0].side)), y),
            Component{makeLoneVertex(y[0].first)}};
}

JoinResult caseJoin15(const Component& x, const Component& y) {
    if (x.size() == 1 && y.size() == 1) {
        Component r = x;
        appendGenes(y[0], r[0]);
        Edge freed = y[0];
        turnIntoLoneVertex(freed);
        return {std::move(r), Component{std::move(freed)}};
    }
    return fuse(orientedByKind(x), orientedByKind(y), EdgeKind::bridging);
}

JoinResult caseJoin16(const Component& x, const Component& y) {
    return fuse(orientedByKind(y), orientedByKind(x));
}

JoinResult caseJoin18(const Component& x, const Component& y) {
    return fuse(orientedByKind(y), x);
}

JoinResult caseJoin19(const Component& x, const Component& y) {
    return fuse(x, orientedByKind(y));
}

JoinResult caseJoin20(const Component& x, const Component& y) {
    Component r = orientedByKind(y);
    Component t = turnedTo(x, true, r.back().side);
    if (y.size() == 1) {
        appendGenes(y[0], t.front());
        return {std::move(t), Component{makeLoneVertex(y[0].first)}};
    }
    return fuse(std::move(r), t);
}

JoinResult caseJoin21(const Component& x, const Component& y) {
    const Component u = orientedByKind(y);
    return fuse(turnedTo(x, false, u[0].side), u);
}

JoinResult caseJoin22(const Component& x, const Component& y) {
    return fuse(orientedByKind(x), orientedByKind(y));
}

JoinResult orientJoin(const Component& p, const Component& q) {
    const Component a = orientedByKind(p);
    return joinComponents(turnedTo(q, false, a.front().side), a);
}

JoinResult orientJoinGeneEdge(const Component& p, const Component& q) {
    Component a = p;
    if (a.front().kind == EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    return joinComponents(a, turnedTo(q, true, a.back().side));
}

JoinResult headJoin(const Component& p, const Component& q) {
    return joinComponents(orientedByKind(p), q);
}

JoinResult sideJoinBefore(const Component& p, const Component& q) {
    return joinComponents(turnedTo(q, false, p.front().side), p);
}

JoinResult sideJoinAfter(const Component& p, const Component& q) {
    return joinComponents(p, turnedTo(q, true, p.back().side));
}

Component mergePaths(const Component& p, const Component& q) {
    Component a = p;
    if (a.front().kind != EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    const Component b = orientedByKind(q);
    extendInto(a, b.front().first, b, 0, EdgeKind::bridging);
    return a;
}

ComponentQuad joinBothWays(const Component& p, const Component& q) {
    Component a = p;
    Component b = turnedTo(q, true, p.back().side);
    JoinResult once = joinComponents(b, a);

    if (a.size() > 1) reverseComponent(a);
    if (b.size() > 1) reverseComponent(b);
    JoinResult twice = joinComponents(b, a);

    const bool onceToOne = categoryOf(once.joined) == Category::evenEndOnA;
    const bool twiceToOne = categoryOf(twice.joined) == Category::evenEndOnA;
    if (onceToOne == twiceToOne)
        return {twice.joined, twice.freed, std::move(twice.joined), std::move(twice.freed)};
    JoinResult& one = onceToOne ? once : twice;
    JoinResult& two = onceToOne ? twice : once;
    return {std::move(one.joined), std::move(one.freed), std::move(two.joined),
            std::move(two.freed)};
}

ComponentQuad joinEitherOrder(const Component& p, const Component& q) {
    // Before each join the back operand is made to start with its end edge and the front one is
    // turned to end on that edge's side; the second join exchanges the operands as the first
    // left them.
    Component b = orientedByKind(q);
    Component a = turnedTo(p, false, b.front().side);
    JoinResult two = joinComponents(a, b);
    a = orientedByKind(std::move(a));
    b = turnedTo(std::move(b), false, a.front().side);
    JoinResult one = joinComponents(b, a);
    return {std::move(one.joined), std::move(one.freed), std::move(two.joined),
            std::move(two.freed)};
}

}  // namespace varnet
