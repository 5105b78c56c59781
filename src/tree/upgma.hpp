#pragma once

#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"

namespace varnet {

// The UPGMA tree of the structures as nested Newick text without branch lengths: the two
// closest clusters are joined first (the first such pair in row-major order), the cluster at
// the smaller position written first.
std::string upgmaTree(const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
