#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

// The pairs of structures that share fewer than half the genes of the smaller of the two (every
// copy a gene of its own; a structure without genes shares nothing to be measured).
struct SharedGeneCount {
    std::size_t pairs = 0;  // how many such pairs
    // The pair that shares the least part of its smaller structure's genes (the first in file
    // order of equal parts): its structures, the genes they share and the genes of each.
    std::size_t first = 0;
    std::size_t second = 0;
    std::size_t shared = 0;
    std::size_t firstGenes = 0;
    std::size_t secondGenes = 0;
};

// Counts them; the work of a pair is proportional to the genes of its two structures, and
// structures holding the same genes are compared once.
SharedGeneCount countPairsSharingLittle(const std::vector<ChromosomalStructure>& structures);

// The warning tree mode gives (without "Warning: " and the line end) when the breakpoint weight
// is 0 and some pair shares fewer than half its genes; empty when none does.
std::string sharedGeneWarning(const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
