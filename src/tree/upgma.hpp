#pragma once

#include <ostream>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/newick.hpp"

namespace varnet {

// The UPGMA tree of the structures, its text without branch lengths: the two closest clusters
// are joined first (the first such pair in row-major order), the cluster at the smaller position
// written first. Every cluster stands at half the distance of its two parts, which is half the
// mean distance between their members. The matrix is taken over and worked on in place. UPGMA
// reports nothing beside its tree; `report` is there to give every tree method one signature.
BuiltTree upgmaTree(DistanceMatrix matrix, const std::vector<ChromosomalStructure>& structures,
                    std::ostream& report);

}  // namespace varnet
