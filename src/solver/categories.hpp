#pragma once

#include <cstdint>

#include "graph/component.hpp"

namespace varnet {

// Number of edges that are not end edges (a lone vertex counts 0).
uint64_t innerEdgeCount(const Component& component);
// The last edge's `second` equals the first edge's `first`.
bool isClosed(const Component& component);
// Category 0..20 of a component (18 and 19 are never computed here).
int32_t categoryOf(const Component& component);
// As `categoryOf`, but splitting 4, 9, 15 and 1 into 5, 10, 16 and 3 for their smallest shapes.
int32_t refinedCategoryOf(const Component& component);

}  // namespace varnet
