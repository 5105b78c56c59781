#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "compare/structure_tables.hpp"
#include "structures/chromosomal_structure.hpp"

namespace varnet {

// The adjacencies and the genes of one structure as integer keys, each list sorted and without
// repeats, for the breakpoint distance.
struct AdjacencyProfile {
    std::string name;
    std::vector<uint64_t> adjacencies;
    std::vector<uint32_t> genes;  // only genes that take part in some adjacency
};

std::vector<AdjacencyProfile> buildAdjacencyProfiles(
    const std::vector<ChromosomalStructure>& structures);

// Keys of either profile missing from the other, adjacencies and genes alike.
int32_t breakpointDistance(const AdjacencyProfile& a, const AdjacencyProfile& b);

// The breakpoint distances of the pairs of one structure list. Where the structures' adjacencies
// are kept (`StructureTables`), a pair costs one pass over the ends of one structure, looking each
// up in the other's table; otherwise the pair's sorted profiles are merged.
class BreakpointTables {
public:
    explicit BreakpointTables(const std::vector<ChromosomalStructure>& structures);
    // The breakpoint distance of structures i and j, as `breakpointDistance` gives it.
    int32_t distance(std::size_t i, std::size_t j) const;

private:
    StructureTables tables_;
    std::vector<AdjacencyProfile> profiles_;  // where no adjacency is kept
    // Per structure: its adjacencies as pairs of ends, the smaller first, and its codes that take
    // part in one as a set of bits (`words_` words a structure).
    std::vector<std::vector<std::pair<uint32_t, uint32_t>>> adjacencies_;
    std::size_t words_ = 0;
    std::vector<uint64_t> codeBits_;
};

}  // namespace varnet
