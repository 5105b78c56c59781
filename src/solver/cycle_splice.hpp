#pragma once

#include "graph/component.hpp"
#include "solver/primitives.hpp"

namespace varnet {

// Splices cycle T, read backwards, into B at B's first side-B bridging edge (or, lacking one,
// at B's side-B end edge, B read from that end) and cuts one edge out again. Both results stay
// empty when B has no side-B bridging or end edge, or only a one-edge B. Neither input changes.
SplitResult splitJoin(const Component& t, const Component& b);

}  // namespace varnet
