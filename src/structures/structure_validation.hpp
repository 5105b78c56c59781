#pragma once

#include <cstddef>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

// The most structures one error message names; it counts the others.
constexpr std::size_t namedFaultLimit = 20;

// Checks every structure before any is compared and throws one std::runtime_error for all that
// fail: where one fails, "structure "<name>": <why>"; where several do, their count, then one line
// per structure (the line it starts on, its name and why) for the first `namedFaultLimit`, then
// "and N more".
void validateForGraph(const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
