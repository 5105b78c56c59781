#include "tree/tree_mode.hpp"

#include <stdexcept>

namespace varnet {

void runTreeMode(const ProgramOptions&, std::ostream&) {
    throw std::runtime_error("tree mode is not available in this build yet");
}

}  // namespace varnet
