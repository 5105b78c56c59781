#include "solver/categories.hpp"

namespace varnet {
namespace {

using enum Category;

Category classify(const Component& c, bool refined) {
    const Edge& f = c.front();
    const Edge& l = c.back();
    const std::size_t n = c.size();
    const uint64_t inner = innerEdgeCount(c);
    if (inner != 0 && isClosed(c)) {
        if (n > 2) return closed;
        return n == 2 && kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge ? closed : other;
    }
    if (inner != 0 && inner % 2 == 0) {
        if (kindOf(f) == endEdge && kindOf(l) == endEdge) return evenEndToEnd;
        if (kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge) return evenBridged;
        const Edge& deciding = kindOf(f) == endEdge ? f : l;
        return isSideB(deciding) ? evenEndOnB : evenEndOnA;
    }
    if (inner % 2 == 1) {
        if (n == 1 && kindOf(f) == bridgingEdge) {
            if (!isSideB(f)) return bridgeOnA;
            if (refined) return bridgeOnB;
        }
        if (kindOf(f) == endEdge && kindOf(l) == endEdge)
            return isSideB(f) ? oddEndToEndB : oddEndToEndA;
        if (kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge)
            return isSideB(f) ? oddBridgedB : oddBridgedA;
        const Edge& deciding = kindOf(f) == bridgingEdge ? f : l;
        return isSideB(deciding) ? oddEndOnB : oddEndOnA;
    }
    if (kindOf(f) == blockEdge) return isSideB(f) ? (refined ? blockOnB : oddEndToEndB) : blockOnA;
    if (isLoneVertex(f)) return other;
    if (n == 2) return refined ? twoEndEdges : evenEndToEnd;
    if (kindOf(f) == endEdge) return isSideB(f) ? (refined ? endEdgeOnB : evenEndOnB) : endEdgeOnA;
    return other;
}

}  // namespace

uint64_t innerEdgeCount(const Component& c) {
    const std::size_t n = c.size();
    if (n == 1) {
        const uint8_t kind = kindOf(c.front());
        return kind == bridgingEdge || kind == adjacencyEdge ? 1 : 0;
    }
    uint64_t count = n;
    if (kindOf(c.front()) == endEdge) --count;
    if (kindOf(c.back()) == endEdge) --count;
    return count;
}

bool isClosed(const Component& c) {
    return c.back().second == c.front().first;
}

Category categoryOf(const Component& c) {
    return classify(c, false);
}

Category refinedCategoryOf(const Component& c) {
    return classify(c, true);
}

}  // namespace varnet
