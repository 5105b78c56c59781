#pragma once

#include <ostream>

#include "app/program_options.hpp"

namespace varnet {

class PairDistribution;

// Compares every structure of the structure file with every other, writes the distance matrix
// files and the tree into the result directory, and reports progress to `out` and warnings to
// `err`; with a `terminal`, also a live progress line there. The worker count is the number of
// processors the process may run on, or the value of the environment variable VARNET_THREADS. With
// a `distribution`, the special distances are computed by it.
void runTreeMode(const ProgramOptions& options, std::ostream& out, std::ostream& err,
                 std::ostream* terminal = nullptr, PairDistribution* distribution = nullptr);

}  // namespace varnet
