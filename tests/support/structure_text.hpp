#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "structures/structure_reader.hpp"

namespace varnet::testing {

// What the structure reader makes of a text.
struct ReadResult {
    std::vector<ChromosomalStructure> structures;
    GeneTable table;
};

inline ReadResult readText(const std::string& text) {
    ReadResult result;
    std::istringstream in(text);
    readStructures(in, result.structures, result.table);
    return result;
}

}  // namespace varnet::testing
