#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "varnet.hpp"

namespace varnet {

// True when the arguments form a command line that holds --version (any other option is then
// only checked for its form: no file is read).
bool asksForVersion(const std::vector<std::string>& args);

// Parses the arguments that follow the program name into the settings of the run. With -h/--help
// prints the usage line and the option listing to `err` and returns nothing. Otherwise creates the
// result directory with its missing parents, reads the operation-weights file and then the
// distance-weights file. The jackknife's values are checked before anything is created or read.
// Throws on every failure; the option library's messages pass through unchanged, and a missing
// -c, -r, -m or -o fails with the typed lookup's bad_any_cast message.
std::optional<RunSettings> parseOptions(const std::vector<std::string>& args, std::ostream& err);

}  // namespace varnet
