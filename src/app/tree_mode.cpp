#include "app/tree_mode.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "tree/build_tree.hpp"
#include "tree/worker_count.hpp"

namespace varnet {

void runTreeMode(const ProgramOptions& options, std::ostream& out, std::ostream& err,
                 std::ostream* terminal, PairDistribution* distribution) {
    const unsigned workers = workerCount(std::getenv("VARNET_THREADS"), availableProcessorCount());
    std::vector<ChromosomalStructure> structures;
    GeneTable genes;
    readStructureFile(options.chromFile, structures, genes);
    if (structures.empty()) {
        throw std::runtime_error("The structure file " + options.chromFile +
                                 " holds no structure; tree mode needs at least one");
    }
    validateForGraph(structures);
    TreeSettings settings{options.operationWeights,
                          options.distanceWeights,
                          options.resultDir,
                          options.method,
                          options.phylip,
                          options.jackknife,
                          {workers, terminal, distribution},
                          options.copies,
                          &genes};
    buildTree(settings, structures, out, err);
}

}  // namespace varnet
