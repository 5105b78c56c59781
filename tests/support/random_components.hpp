#pragma once

#include <deque>
#include <random>

#include "graph/component.hpp"

namespace varnet::testing {

struct ComponentLists {
    std::deque<Component> cycles;
    std::deque<Component> paths;
};

// Well-formed joint-graph components drawn at random, `count` of them, on distinct vertices:
// even cycles of adjacency and bridging edges (now and then a lone block edge), paths of
// adjacency and bridging edges with or without an end edge at either end, and the one-edge
// paths (lone vertex, block, end, bridging or adjacency edge). Sides alternate from a random
// start; adjacency edges are common so that runs of them occur.
ComponentLists generateComponents(std::mt19937& random, int count);

}  // namespace varnet::testing
