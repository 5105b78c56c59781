#pragma once

// The library's one door for the programs and the Python module (structures, weights, the settings
// of a run, the pipelines, one pair, the tree methods); every other header of src/ is internal.

#include <ostream>
#include <string>
#include <vector>

#include "compare/dist_pair.hpp"
#include "modes/dist_mode.hpp"
#include "modes/pair_svg.hpp"
#include "modes/run_settings.hpp"
#include "modes/tree_mode.hpp"
#include "modes/weight_files.hpp"
#include "solver/sequence_printer.hpp"
#include "structures/gene_numbering.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "tree/pair_distances.hpp"
#include "tree/shared_genes.hpp"

namespace varnet {

constexpr int successStatus = 0;
constexpr int failureStatus = 1;

// The program's version, e.g. "1.0.0".
const char* versionText();

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
