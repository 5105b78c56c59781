#include "compare/dist_pair.hpp"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "compare/copy_pairing.hpp"
#include "graph/joint_graph.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/structure_validation.hpp"

namespace varnet {

DistPair prepareDistPair(std::vector<ChromosomalStructure> structures, const GeneTable& genes,
                         const PairSettings& settings) {
    validateForGraph(structures);
    const ChromosomalStructure& a = structures.front();
    const ChromosomalStructure& b = structures.back();
    if (settings.copies == CopyRule::context && structures.size() == 2) {
        pairCopiesByContext(genes, structures.front(), structures.back());
    }
    return {a, b, &genes, ChromosomeSet(buildJointGraph(adjacencyOf(a), adjacencyOf(b)))};
}

double solveDistPair(DistPair& pair, const OperationWeights& weights) {
    const double cost = solve(pair.graph, weights);
    // Weights so large that their sum overflows give no cost to print or compare.
    if (!std::isfinite(cost)) {
        std::ostringstream message;
        message << "The cost of turning structure \"" << pair.first.name << "\" into structure \""
                << pair.last.name << "\" is not finite (" << cost
                << "): the operation weights are too large";
        throw std::runtime_error(message.str());
    }
    return cost;
}

}  // namespace varnet
