#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace varnet {

class PairDistribution;

constexpr int successStatus = 0;
constexpr int failureStatus = 1;

// The program: parses the arguments that follow the program name, then runs the chosen mode.
// Progress and every failure go to `err` (one "Error occured: " line, without a line break);
// tree mode writes its report to `out`, and when `err` is a terminal (`errIsTerminal`) also a
// live progress line there, cleared at the end. Returns 0 on success and after -h, 1 on any
// failure, including text that could not be written to `out` or `err` (both are flushed at the
// end). With --version, prints "varnet <version>" and a line feed to `out` and nothing else, and
// returns 0. With a `distribution`, tree mode has it compute the special distances.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal = false, PairDistribution* distribution = nullptr);

}  // namespace varnet
