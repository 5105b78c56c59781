#include "solver/categories.hpp"

namespace varnet {
namespace {

int32_t classify(const Component& c, bool refined) {
    const Edge& f = c.front();
    const Edge& l = c.back();
    const std::size_t n = c.size();
    const uint64_t inner = innerEdgeCount(c);
    if (inner != 0 && isClosed(c)) {
        if (n > 2) return 17;
        return n == 2 && kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge ? 17 : 20;
    }
    if (inner != 0 && inner % 2 == 0) {
        if (kindOf(f) == endEdge && kindOf(l) == endEdge) return 4;
        if (kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge) return 6;
        const Edge& deciding = kindOf(f) == endEdge ? f : l;
        return isSideB(deciding) ? 1 : 0;
    }
    if (inner % 2 == 1) {
        if (n == 1 && kindOf(f) == bridgingEdge) {
            if (!isSideB(f)) return 14;
            if (refined) return 16;
        }
        if (kindOf(f) == endEdge && kindOf(l) == endEdge) return isSideB(f) ? 9 : 11;
        if (kindOf(f) == bridgingEdge && kindOf(l) == bridgingEdge) return isSideB(f) ? 15 : 13;
        const Edge& deciding = kindOf(f) == bridgingEdge ? f : l;
        return isSideB(deciding) ? 8 : 7;
    }
    if (kindOf(f) == blockEdge) return isSideB(f) ? (refined ? 10 : 9) : 12;
    if (isLoneVertex(f)) return 20;
    if (n == 2) return refined ? 5 : 4;
    if (kindOf(f) == endEdge) return isSideB(f) ? (refined ? 3 : 1) : 2;
    return 20;
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

int32_t categoryOf(const Component& c) {
    return classify(c, false);
}

int32_t refinedCategoryOf(const Component& c) {
    return classify(c, true);
}

}  // namespace varnet
