#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"
#include "tree/pair_distances.hpp"

namespace varnet {

// The tree-mode pipeline on structures already read: the distance matrices, the matrix files
// ("/distance.tsv" and "/distance.phy", with `phylip` also "/map.txt" and "/infile"), the tree of
// `method`
// ("upgma", "nj" or "kruskal"; any other text builds no tree), "/tree.tre" and its picture
// "/tree.svg". Nothing is written when the matrix computation fails. With a `terminal`, a live
// progress line is kept there while the matrix is computed; with a `distribution`, the special
// distances are computed by it.
void buildTree(const OperationWeights& operationWeights, const DistanceWeights& distanceWeights,
               const std::vector<ChromosomalStructure>& structures, const std::string& resultDir,
               const std::string& method, bool phylip, std::ostream& out,
               unsigned threadCount = availableProcessorCount(), std::ostream* terminal = nullptr,
               PairDistribution* distribution = nullptr);

}  // namespace varnet
