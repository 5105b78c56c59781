#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/component.hpp"

namespace varnet {

// What a component is, as far as the phases care. "Inner count" is `innerEdgeCount`; "the
// deciding end" is the edge whose side tells two categories apart (see `categoryOf`). The
// refined-only categories split the smallest shapes off four basic ones.
enum class Category : uint8_t {
    evenEndOnA,      // open, inner count even and nonzero, deciding end edge on side A
    evenEndOnB,      // as above on side B; basic classifier also: a lone end edge on side B
    endEdgeOnA,      // inner count 0, first edge an end edge on side A
    endEdgeOnB,      // refined only: inner count 0, first edge an end edge on side B
    evenEndToEnd,    // open, inner count even and nonzero, both ends end edges; basic also: two
                     // edges and inner count 0
    twoEndEdges,     // refined only: two edges, inner count 0
    evenBridged,     // open, inner count even and nonzero, both ends bridging edges
    oddEndOnA,       // open, inner count odd, mixed ends, deciding end edge on side A
    oddEndOnB,       // as above on side B
    oddEndToEndB,    // open, inner count odd, both ends end edges, first on side B; basic also: a
                     // block on side B
    blockOnB,        // refined only: a block edge on side B
    oddEndToEndA,    // open, inner count odd, both ends end edges, first on side A
    blockOnA,        // a block edge on side A
    oddBridgedA,     // open, inner count odd, both ends bridging edges, first on side A
    bridgeOnA,       // open, a single bridging edge on side A
    oddBridgedB,     // as oddBridgedA with the first edge on side B; basic also: bridgeOnB
    bridgeOnB,       // refined only: open, a single bridging edge on side B
    closed,          // closed with more than two edges, or two bridging edges
    circularBlockB,  // never classified: side-B circular blocks waiting for their merge
    other,           // lone vertices, short closed components and the remaining shapes
};
constexpr std::size_t categoryCount = static_cast<std::size_t>(Category::other) + 1;

constexpr std::size_t indexOf(Category category) {
    return static_cast<std::size_t>(category);
}
constexpr Category categoryAt(std::size_t index) {
    return static_cast<Category>(index);
}

// A set of categories, one bit each.
using CategorySet = uint32_t;
static_assert(categoryCount < 32, "a category set has a bit to spare");

constexpr CategorySet bitOf(Category category) {
    return CategorySet{1} << indexOf(category);
}

constexpr CategorySet allCategories = (CategorySet{1} << categoryCount) - 1;

// One list of components per category: the working set of the phases.
struct Buckets {
    // Filled only through the non-const `operator[]`; emptied either way.
    std::array<std::vector<Component>, categoryCount> lists;
    // The categories whose buckets were handed out for changing since `markEmpty`, or all of
    // them: every bucket that holds a component is among them, so that the passes over the
    // buckets look at these alone. After the first few steps of a solve they are few.
    CategorySet touched = allCategories;

    std::vector<Component>& operator[](Category c) {
        touched |= bitOf(c);
        return lists[indexOf(c)];
    }
    const std::vector<Component>& operator[](Category c) const { return lists[indexOf(c)]; }

    // Every bucket is empty.
    void markEmpty() { touched = 0; }

    // The categories whose buckets hold a component: a table step whose categories are not all
    // among them has nothing to take, which one test tells.
    CategorySet held() const {
        CategorySet set = 0;
        for (CategorySet rest = touched; rest != 0; rest &= rest - 1) {
            const int k = std::countr_zero(rest);
            if (!lists[static_cast<std::size_t>(k)].empty()) set |= CategorySet{1} << k;
        }
        return set;
    }
};

// Number of edges that are not end edges (a lone vertex counts 0).
uint64_t innerEdgeCount(const Component& component);
// The last edge's `second` equals the first edge's `first`.
inline bool isClosed(const Component& component) {
    return component.back().second == component.front().first;
}
// The basic category (never circularBlockB); the refined one, where `refined`, gives
// twoEndEdges, blockOnB, bridgeOnB and endEdgeOnB their own categories.
Category categoryOf(const Component& component, bool refined = false);

}  // namespace varnet
