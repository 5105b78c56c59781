#pragma once

#include <ostream>

#include "modes/run_settings.hpp"

namespace varnet {

// Compares the first and the last structure of the structure file: writes the joint graph, the
// final graph, the shortest sequence and the picture of the pair into the result directory and
// prints the cost to `err`. Returns false when a file holding no structure, or more than two,
// is refused with a message and nothing is written. Throws on every other failure, including a
// result file that cannot be created and a cost that is not finite (before any file that would hold
// it).
bool runDistMode(const RunSettings& settings, std::ostream& err);

}  // namespace varnet
