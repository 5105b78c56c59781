#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/program_options.hpp"
#include "solver/chromosome_set.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/copy_matching.hpp"
#include "structures/gene_name_table.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The comparison of dist mode, ready for the solver: the first and the last structure and their
// joint graph, their gene codes numbered densely over the two and their copies paired (`names`
// prints the codes by the names read).
struct DistPair {
    ChromosomalStructure first;
    ChromosomalStructure last;
    GeneNameIndex names;
    ChromosomeSet graph;
};

// Prepares the comparison of the first and the last of `structures` (one or two; one structure
// is compared with itself) whose genes `table` names; the table must outlive the result. With
// `settings.copies` context, the copies of the two are paired by context first (costed with
// `settings.weights`). Throws, naming the structure, when one of the two cannot be compared.
DistPair prepareDistPair(std::vector<ChromosomalStructure> structures, const GeneNameTable& table,
                         const PairSettings& settings = {});

// Runs the solver on the pair's joint graph, which becomes the final graph (with records kept);
// returns the total cost. Throws, naming both structures, when the cost is not finite.
double solveDistPair(DistPair& pair, const OperationWeights& weights);

// Compares the first and the last structure of the structure file: writes the joint graph, the
// final graph, the shortest sequence and the picture of the pair into the result directory and
// prints the cost to `err`. Returns the exit status: a file holding no structure, or more than two,
// is refused with a message and nothing is written. Throws on every other failure, including a
// result file that cannot be created and a cost that is not finite (before any file that would hold
// it).
int runDistMode(const ProgramOptions& options, std::ostream& err);

}  // namespace varnet
