#include "solver/categories.hpp"

namespace varnet {

Category categoryOf(const Component& c, bool refined) {
    using enum Category;
    const Edge& f = c.front();
    const Edge& l = c.back();
    const std::size_t n = c.size();
    const uint64_t inner = innerEdgeCount(c);
    if (inner != 0 && isClosed(c)) {
        if (n > 2) return closed;
        return n == 2 && f.kind == EdgeKind::bridging && l.kind == EdgeKind::bridging ? closed
                                                                                      : other;
    }
    if (inner != 0 && inner % 2 == 0) {
        if (f.kind == EdgeKind::end && l.kind == EdgeKind::end) return evenEndToEnd;
        if (f.kind == EdgeKind::bridging && l.kind == EdgeKind::bridging) return evenBridged;
        const Edge& deciding = f.kind == EdgeKind::end ? f : l;
        return isSideB(deciding) ? evenEndOnB : evenEndOnA;
    }
    if (inner % 2 == 1) {
        if (n == 1 && f.kind == EdgeKind::bridging) {
            if (!isSideB(f)) return bridgeOnA;
            if (refined) return bridgeOnB;
        }
        if (f.kind == EdgeKind::end && l.kind == EdgeKind::end)
            return isSideB(f) ? oddEndToEndB : oddEndToEndA;
        if (f.kind == EdgeKind::bridging && l.kind == EdgeKind::bridging)
            return isSideB(f) ? oddBridgedB : oddBridgedA;
        const Edge& deciding = f.kind == EdgeKind::bridging ? f : l;
        return isSideB(deciding) ? oddEndOnB : oddEndOnA;
    }
    if (f.kind == EdgeKind::block)
        return isSideB(f) ? (refined ? blockOnB : oddEndToEndB) : blockOnA;
    if (isLoneVertex(f)) return other;
    if (n == 2) return refined ? twoEndEdges : evenEndToEnd;
    if (f.kind == EdgeKind::end)
        return isSideB(f) ? (refined ? endEdgeOnB : evenEndOnB) : endEdgeOnA;
    return other;
}

uint64_t innerEdgeCount(const Component& c) {
    const std::size_t n = c.size();
    if (n == 1) {
        const EdgeKind kind = c.front().kind;
        return kind == EdgeKind::bridging || kind == EdgeKind::adjacency ? 1 : 0;
    }
    uint64_t count = n;
    if (c.front().kind == EdgeKind::end) --count;
    if (c.back().kind == EdgeKind::end) --count;
    return count;
}

}  // namespace varnet
