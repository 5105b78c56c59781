#pragma once

#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"

namespace varnet {

// The longest name a row of a standard PHYLIP matrix holds.
constexpr std::size_t phylipNameLength = 10;

// One row name per structure: its name cut to 10 characters. Where cut names collide (long
// names with a common start, or repeated names), every row of the collision is renamed to the
// start of its name followed by a number, so that all row names differ.
std::vector<std::string> phylipRowNames(const std::vector<ChromosomalStructure>& structures);

// Writes resultDir + "/distance.phy" and, when some row had to be renamed, resultDir +
// "/distance_names.txt": one line per structure, its row name, a space and its full name.
void writeSquarePhylipFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                            const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
