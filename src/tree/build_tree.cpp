#include "tree/build_tree.hpp"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tree/distance_matrix.hpp"
#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/phylip_matrix.hpp"
#include "tree/tree_files.hpp"
#include "tree/tree_svg.hpp"
#include "tree/upgma.hpp"

namespace varnet {
namespace {

// Totals this close to zero are not reported.
constexpr double reportedLengthThreshold = 0.00001;

void writeMatrix(const std::string& path, const DistanceMatrix& matrix,
                 const std::vector<ChromosomalStructure>& structures) {
    writeResultFile(path, [&](std::ostream& file) { writeMatrixFile(file, matrix, structures); });
}

// A distance that is not finite (weights so large that a sum overflows) cannot be written or
// compared; the first such pair in row-major order is named.
void checkFinite(const DistanceMatrix& matrix,
                 const std::vector<ChromosomalStructure>& structures) {
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        for (std::size_t j = i + 1; j < matrix.size(); ++j) {
            if (std::isfinite(matrix[i][j])) continue;
            std::ostringstream message;
            message << "The distance between structure \"" << structures[i].name
                    << "\" and structure \"" << structures[j].name << "\" is not finite ("
                    << matrix[i][j] << "): the weights are too large";
            throw std::runtime_error(message.str());
        }
    }
}

DistanceMatrix computeDistanceMatrix(const OperationWeights& operationWeights,
                                     const DistanceWeights& distanceWeights,
                                     const std::vector<ChromosomalStructure>& structures,
                                     std::ostream& out, unsigned threadCount,
                                     std::ostream* terminal, PairDistribution* distribution) {
    DistanceMatrix special = computeSpecialMatrix(operationWeights, structures, out, threadCount,
                                                  terminal, distribution);
    // A breakpoint weight of 0 leaves nothing of the breakpoint distances to compute.
    const DistanceMatrix breakpoint =
        distanceWeights.breakpoint == 0
            ? DistanceMatrix()
            : computeBreakpointMatrix(buildAdjacencyProfiles(structures));
    DistanceMatrix combined = combineMatrices(std::move(special), distanceWeights.special,
                                              breakpoint, distanceWeights.breakpoint);
    checkFinite(combined, structures);
    return combined;
}

}  // namespace

void buildTree(const OperationWeights& operationWeights, const DistanceWeights& distanceWeights,
               const std::vector<ChromosomalStructure>& structures, const std::string& resultDir,
               const std::string& method, bool phylip, std::ostream& out, unsigned threadCount,
               std::ostream* terminal, PairDistribution* distribution) {
    const DistanceMatrix matrix = computeDistanceMatrix(
        operationWeights, distanceWeights, structures, out, threadCount, terminal, distribution);
    writeMatrix(resultDir + "/distance.tsv", matrix, structures);
    writeSquarePhylipFiles(resultDir, matrix, structures);
    if (phylip) writePhylipFiles(resultDir, matrix, structures);

    BuiltTree built;
    if (method == "upgma") {
        built = upgmaTree(matrix, structures);
        writeMatrix(resultDir + "/tree_distances_matrix.tsv", matrix, structures);
        writeResultFile(resultDir + "/tree_distances_vector.txt",
                        [&](std::ostream& file) { writeVectorFile(file, matrix); });
        // No discrepancy is computed: the file holds the header line alone.
        writeMatrix(resultDir + "/discrepancy_matrix.tsv", DistanceMatrix(), structures);
    } else if (method == "nj") {
        writeResultFile(resultDir + "/graph.txt", [&](std::ostream& graph) {
            built = neighbourJoiningTree(matrix, structures, graph);
        });
    } else if (method == "kruskal") {
        built = kruskalTree(matrix, structures, out);
    }
    writeResultFile(resultDir + "/tree.tre", [&](std::ostream& file) { file << built.text; });
    writeResultFile(resultDir + "/tree.svg",
                    [&](std::ostream& file) { writeTreeSvg(file, built.tree, structures); });
    if (built.totalBranchLength > reportedLengthThreshold)
        out << "Total branch length is " << built.totalBranchLength << '\n';
}

}  // namespace varnet
