#pragma once

#include <ostream>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/newick.hpp"

namespace varnet {

// Joins the structures along the edges of a minimum spanning tree, lightest edge first (ties
// by the smaller indices), printing the two joined subtrees of every join to `report`; returns
// the last joined subtree, its text without branch lengths.
BuiltTree kruskalTree(DistanceMatrix matrix, const std::vector<ChromosomalStructure>& structures,
                      std::ostream& report);

}  // namespace varnet
