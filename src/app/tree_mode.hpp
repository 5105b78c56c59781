#pragma once

#include <ostream>

#include "app/program_options.hpp"

namespace varnet {

// Compares every structure of the structure file with every other, writes the distance matrix
// files and the tree into the result directory, and reports progress to `out`.
void runTreeMode(const ProgramOptions& options, std::ostream& out);

}  // namespace varnet
