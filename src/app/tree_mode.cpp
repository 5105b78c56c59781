#include "app/tree_mode.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_name_table.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "tree/build_tree.hpp"
#include "tree/worker_count.hpp"

namespace varnet {

void runTreeMode(const ProgramOptions& options, std::ostream& out, std::ostream* terminal,
                 PairDistribution* distribution) {
    const unsigned workers = workerCount(std::getenv("VARNET_THREADS"), availableProcessorCount());
    std::vector<ChromosomalStructure> structures;
    GeneNameTable names;
    readStructureFile(options.chromFile, structures, names);
    if (structures.empty()) {
        throw std::runtime_error("The structure file " + options.chromFile +
                                 " holds no structure; tree mode needs at least one");
    }
    validateForGraph(structures);
    JackknifeSettings jackknife = options.jackknife;
    jackknife.names = &names;
    buildTree(options.operationWeights, options.distanceWeights, structures, options.resultDir,
              options.method, options.phylip, out, workers, terminal, distribution, jackknife);
}

}  // namespace varnet
