#pragma once

#include <ostream>

#include "app/program_options.hpp"

namespace varnet {

// Compares the first and the last structure of the structure file: writes the joint graph, the
// final graph and the shortest sequence into the result directory and prints the cost to `err`.
void runDistMode(const ProgramOptions& options, std::ostream& err);

}  // namespace varnet
