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

// Largest gene end of the groups (0 when they hold no gene).
uint32_t largestEnd(const ChromosomeGroups& groups);

// Circular chromosomes first, then linear ones; every chromosome must hold a gene.
AdjacencyArray buildAdjacency(const ChromosomeGroups& groups);

// Writes the structure's adjacencies, as `buildAdjacency` does from its groups (circular
// chromosomes first), into a table of zeros already large enough for its ends; touches only
// the structure's own ends, so a reused table is cleared by zeroing those ends again.
void fillAdjacency(const ChromosomalStructure& structure, AdjacencyArray& adjacency);

}  // namespace varnet
