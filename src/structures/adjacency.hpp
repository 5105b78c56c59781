#pragma once

#include <cstdint>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

constexpr int32_t telomere = -1;

// Partner of every gene end of one structure: another end, `telomere`, or 0 for an end the
// structure does not hold. Sized to the largest end present + 1; ends beyond it read as 0.
struct AdjacencyArray {
    std::vector<int32_t> partner;

    int32_t at(uint32_t end) const { return end < partner.size() ? partner[end] : 0; }
};

// The structure's adjacencies, sized to its largest end + 1. Every chromosome must hold a gene.
AdjacencyArray adjacencyOf(const ChromosomalStructure& structure);

// Writes the structure's adjacencies, circular chromosomes first, into a table already longer
// than every end of the structure (as one sized for every code of the structure's file is).
// Touches only the structure's own ends, so a reused table is cleared by zeroing those ends again.
void fillAdjacencyWithin(const ChromosomalStructure& structure, AdjacencyArray& adjacency);

}  // namespace varnet
