#pragma once

#include <ostream>

#include "modes/run_settings.hpp"

namespace varnet {

// Dist mode: compares the first and the last structure of the structure file, writes the joint
// graph, the final graph, the shortest sequence and the pair's picture, and prints the cost to
// `err`. Returns false (with a message, no file written) for a file of no structure or more than
// two; throws on every other failure, a cost that is not finite before any file would hold it.
bool runDistMode(const RunSettings& settings, std::ostream& err);

}  // namespace varnet
