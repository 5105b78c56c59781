#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnet {

// One chromosome: gene codes in reading order, each the orientation times a code of the file's
// `GeneTable`.
struct Chromosome {
    bool circular = false;
    std::vector<int32_t> genes;
    bool operator==(const Chromosome&) const = default;
};

// One genome as written in the structure file.
struct ChromosomalStructure {
    std::string name;
    std::vector<Chromosome> chromosomes;
    std::size_t line = 0;  // where it starts in its file (0 when it was not read from one)

    // Equal genomes: the same name and chromosomes, wherever they were written.
    bool operator==(const ChromosomalStructure& other) const {
        return name == other.name && chromosomes == other.chromosomes;
    }
};

}  // namespace varnet
