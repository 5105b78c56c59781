#include "solver/cycle_splice.hpp"

#include <optional>
#include <utility>

#include "solver/categories.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// Closed results are cut as cycles, open ones as paths.
SplitResult cutAt(Component&& w, std::size_t position) {
    if (categoryOf(w) == Category::closed) return splitCycleAt(std::move(w), position);
    return splitPathAt(std::move(w), position);
}

// The two cases of `splitJoin`. In the first, T is read rotated by `shift` edges (T[k] is edge
// k + shift, modulo its size); in the second it is already rotated and oriented.
SplitResult mergeAtBridgingEdge(const Component& t, std::size_t shift, const Component& b,
                                std::size_t p) {
    const std::size_t n = t.size();
    const auto rotated = [&](std::size_t k) -> const Edge& { return t[(k + shift) % n]; };
    const Edge& bridge = b[p];
    Component w;
    w.reserve(b.size() + n);
    w.insert(w.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(p));
    w.push_back(makeEdge(EdgeKind::adjacency, Side::b, bridge.first, rotated(0).first));
    for (std::size_t k = n - 1; k >= 1; --k) {
        Edge copy = rotated(k);
        reverseEdgeGenes(copy);
        std::swap(copy.first, copy.second);
        w.push_back(std::move(copy));
    }
    Edge joined = makeEdge(EdgeKind::bridging, Side::b, rotated(0).second, bridge.second);
    joined.genes = rotated(0).genes;
    reverseEdgeGenes(joined);
    appendGenes(bridge, joined);
    w.push_back(std::move(joined));
    w.insert(w.end(), b.begin() + static_cast<std::ptrdiff_t>(p) + 1, b.end());
    return cutAt(std::move(w), p);
}

SplitResult mergeAtEndEdge(const Component& t, const Component& b) {
    Edge end = makeEdge(EdgeKind::end, Side::b, t[0].second);
    end.genes = b[0].genes;
    appendGenes(t[0], end);
    Component w{std::move(end)};
    w.insert(w.end(), t.begin() + 1, t.end());
    w.push_back(makeEdge(EdgeKind::adjacency, Side::b, t.back().second, b[1].first));
    w.insert(w.end(), b.begin() + 1, b.end());
    return cutAt(std::move(w), 2);
}

}  // namespace

SplitResult splitJoin(const Component& t, const Component& b) {
    // T is read from its first side-B edge: rotated by one edge where it starts on side A.
    const std::size_t shift = isSideB(t.front()) ? 0 : 1;
    std::optional<std::size_t> bridging;
    std::optional<std::size_t> end;
    for (std::size_t k = 0; k < b.size(); ++k) {
        if (!isSideB(b[k]) || isLoneVertex(b[k])) continue;
        if (b[k].kind == EdgeKind::bridging && !bridging) bridging = k;
        if (b[k].kind == EdgeKind::end && !end) end = k;
    }
    if (bridging) return mergeAtBridgingEdge(t, shift, b, *bridging);
    if (end && b.size() >= 2) {
        Component rotated = t;
        if (shift == 1) {
            rotated.push_back(std::move(rotated.front()));
            rotated.pop_front();
        }
        // The end-edge case extends B's first edge and rejoins at B's second one; a one-edge B
        // offers no place to rejoin, so nothing is produced. When the side-B end edge is B's
        // last edge, B is read from that end: extending a side-A first edge instead would put
        // two side-B edges next to each other.
        if (!isSideB(rotated.front()) && rotated.size() >= 2) reverseComponent(rotated);
        if (*end == 0) return mergeAtEndEdge(rotated, b);
        Component turned = b;
        reverseComponent(turned);
        return mergeAtEndEdge(rotated, turned);
    }
    return {};
}

}  // namespace varnet
