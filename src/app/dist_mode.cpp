#include "app/dist_mode.hpp"

#include <stdexcept>

namespace varnet {

void runDistMode(const ProgramOptions&, std::ostream&) {
    throw std::runtime_error("dist mode is not available in this build yet");
}

}  // namespace varnet
