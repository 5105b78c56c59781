#include "solver/cycle_splice.hpp"

#include <optional>
#include <utility>

#include "solver/categories.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// Closed results are cut as cycles, open ones as paths.
void cutAt(const Component& w, std::size_t position, Component& r, Component& s) {
    if (categoryOf(w) == Category::closed) {
        splitCycleAt(w, position, r, s);
    } else {
        splitPathAt(w, position, r, s);
    }
}

}  // namespace

void mergeAtBridgingEdge(const Component& t, const Component& b, std::size_t p, Component& r,
                         Component& s) {
    const Edge& bridge = b[p];
    Component w(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(p));
    w.push_back(makeEdge(EdgeKind::adjacency, Side::b, bridge.first, t[0].first));
    for (std::size_t k = t.size() - 1; k >= 1; --k) {
        Edge copy = t[k];
        reverseEdgeGenes(copy);
        std::swap(copy.first, copy.second);
        w.push_back(std::move(copy));
    }
    Edge joined = makeEdge(EdgeKind::bridging, Side::b, t[0].second, bridge.second);
    gatherGenes({reversedEdge(t[0]), bridge}, joined);
    w.push_back(std::move(joined));
    w.insert(w.end(), b.begin() + static_cast<std::ptrdiff_t>(p) + 1, b.end());
    cutAt(w, p, r, s);
}

void mergeAtEndEdge(const Component& t, const Component& b, Component& r, Component& s) {
    Edge end = makeEdge(EdgeKind::end, Side::b, 0, t[0].second);
    gatherGenes({b[0], t[0]}, end);
    Component w{std::move(end)};
    w.insert(w.end(), t.begin() + 1, t.end());
    w.push_back(makeEdge(EdgeKind::adjacency, Side::b, t.back().second, b[1].first));
    w.insert(w.end(), b.begin() + 1, b.end());
    if (w.front().kind == EdgeKind::end && w.front().first == 0) {
        std::swap(w.front().first, w.front().second);
    }
    cutAt(w, 2, r, s);
}

void splitJoin(const Component& t, const Component& b, Component& r, Component& s) {
    Component rotated = t;
    if (!isSideB(rotated.front())) {
        rotated.push_back(std::move(rotated.front()));
        rotated.pop_front();
    }
    std::optional<std::size_t> bridging;
    std::optional<std::size_t> end;
    for (std::size_t k = 0; k < b.size(); ++k) {
        if (!isSideB(b[k]) || isLoneVertex(b[k])) continue;
        if (b[k].kind == EdgeKind::bridging && !bridging) bridging = k;
        if (b[k].kind == EdgeKind::end && !end) end = k;
    }
    if (bridging) {
        mergeAtBridgingEdge(rotated, b, *bridging, r, s);
    } else if (end && b.size() >= 2) {
        // The end-edge case extends B's first edge and rejoins at B's second one; a one-edge B
        // offers no place to rejoin, so nothing is produced. When the side-B end edge is B's
        // last edge, B is read from that end: extending a side-A first edge instead would put
        // two side-B edges next to each other.
        if (!isSideB(rotated.front()) && rotated.size() >= 2) reverseComponent(rotated);
        if (*end == 0) {
            mergeAtEndEdge(rotated, b, r, s);
        } else {
            Component turned = b;
            reverseComponent(turned);
            mergeAtEndEdge(rotated, turned, r, s);
        }
    }
}

}  // namespace varnet
