#pragma once

#include <deque>

#include "graph/edge.hpp"

namespace varnet {

// A cycle or path of the joint graph: never empty, consecutive edges share an endpoint and
// their sides alternate. Which list holds it says whether it is a cycle or a path.
using Component = std::deque<Edge>;

}  // namespace varnet
