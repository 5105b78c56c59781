#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnet {

// One chromosome: gene codes in reading order. A gene code is
// sign * (10 * gene id + copy number) and never a multiple of 10.
struct Chromosome {
    bool circular = false;
    std::vector<int32_t> genes;
    bool operator==(const Chromosome&) const = default;
};

// One genome as written on one line of the structure file.
struct ChromosomalStructure {
    std::string name;
    std::vector<Chromosome> chromosomes;
    bool operator==(const ChromosomalStructure&) const = default;
};

}  // namespace varnet
