#pragma once

#include <cstddef>

#include "graph/component.hpp"

namespace varnet {

// Splices cycle T, read backwards, into B at B's first side-B bridging edge (or, lacking one,
// at B's side-B end edge, B read from that end) and cuts one edge out again: r receives the
// remainder, s the two-edge cycle. Both stay empty when B has no side-B edge of kind 1 or 2,
// or only a one-edge B. Neither input changes.
void splitJoin(const Component& t, const Component& b, Component& r, Component& s);

// The two cases of `splitJoin`, with T already rotated (and, for the end edge, oriented).
void mergeAtBridgingEdge(const Component& t, const Component& b, std::size_t p, Component& r,
                         Component& s);
void mergeAtEndEdge(const Component& t, const Component& b, Component& r, Component& s);

}  // namespace varnet
