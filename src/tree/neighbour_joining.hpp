#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/newick.hpp"

namespace varnet {

// Node to its neighbours with branch lengths, in insertion order. Leaf k is the k-th structure;
// inner nodes are numbered from the structure count on, in the order of creation. Every branch
// is listed at both ends.
using TreeAdjacency = std::map<int32_t, std::vector<std::pair<int32_t, double>>>;

// Joins the clusters of `distances` (row k is node ids[k]) until two remain; new nodes are
// numbered from `next`. The branches of a join are listed after those of every later join, so
// an inner node lists its branch towards the node created after it first, then its children.
// The matrix is taken over and its rows are released as clusters are joined; the work per join
// is about proportional to the clusters left, not to their square.
TreeAdjacency neighbourJoin(DistanceMatrix distances, std::vector<int32_t> ids, int32_t next);

// The neighbour-joining tree of the structures, rooted at the last inner node (its text with
// branch lengths); writes its adjacency to `graph`. Throws, naming the branch, when a branch
// length or the total is not finite, before anything is written.
BuiltTree neighbourJoiningTree(DistanceMatrix matrix,
                               const std::vector<ChromosomalStructure>& structures,
                               std::ostream& graph);

}  // namespace varnet
