#include "tree/build_tree.hpp"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tree/distance_matrix.hpp"
#include "tree/jackknife.hpp"
#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/phylip_matrix.hpp"
#include "tree/progress_meter.hpp"
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
// compared; the first such pair in row-major order is named, after `where` (which matrix).
void checkFinite(const DistanceMatrix& matrix, const std::vector<ChromosomalStructure>& structures,
                 const std::string& where) {
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        for (std::size_t j = i + 1; j < matrix.size(); ++j) {
            if (std::isfinite(matrix[i][j])) continue;
            std::ostringstream message;
            message << where << "The distance between structure \"" << structures[i].name
                    << "\" and structure \"" << structures[j].name << "\" is not finite ("
                    << matrix[i][j] << "): the weights are too large";
            throw std::runtime_error(message.str());
        }
    }
}

// The combined matrix of the special distances `special` and the breakpoint distances.
DistanceMatrix combinedMatrix(DistanceMatrix special, const DistanceWeights& distanceWeights,
                              const std::vector<ChromosomalStructure>& structures,
                              const std::string& where = "") {
    combineWithBreakpointDistances(special, distanceWeights.special, structures,
                                   distanceWeights.breakpoint);
    checkFinite(special, structures, where);
    return special;
}

// Neighbour joining gives an unrooted tree; UPGMA and Kruskal's method give rooted ones.
bool isRooted(const std::string& method) {
    return method != "nj";
}

// What the jackknife writes: the replicates' trees, one Newick text per line, and the support
// table.
struct JackknifeFiles {
    std::string replicates;
    std::string support;
};

// Builds the replicates one after another (each one's pairs shared by the workers or the ranks
// as the main matrix's are), prints a line as each is done, and gives the main tree its support
// values.
JackknifeFiles runJackknife(const JackknifeSettings& jackknife, const std::string& method,
                            const OperationWeights& operationWeights,
                            const DistanceWeights& distanceWeights,
                            const std::vector<ChromosomalStructure>& structures, BuiltTree& main,
                            std::ostream& out, unsigned threadCount, std::ostream* terminal,
                            PairDistribution* distribution) {
    const std::vector<std::vector<int32_t>> genes = geneGroupsOf(structures, jackknife.names);
    std::vector<int32_t> deleted;
    SupportCounter counter(main.tree, structures.size(), isRooted(method));
    JackknifeFiles files;
    std::ostream noProgress(nullptr);
    ProgressMeter meter(terminal, jackknife.replicates, "replicates");
    for (uint64_t replicate = 1; replicate <= jackknife.replicates; ++replicate) {
        deleted.clear();
        for (const std::size_t gene :
             drawDeletedGenes(genes.size(), jackknife.fraction, jackknife.seed, replicate))
            deleted.insert(deleted.end(), genes[gene].begin(), genes[gene].end());
        const std::vector<ChromosomalStructure> reduced = withoutGenes(structures, deleted);
        DistanceMatrix matrix = combinedMatrix(
            calculateSpecialMatrix(operationWeights, reduced, noProgress, threadCount, nullptr,
                                   distribution),
            distanceWeights, reduced, "Jackknife replicate " + std::to_string(replicate) + ": ");
        const BuiltTree tree = treeOfMethod(method, std::move(matrix), structures);
        counter.addReplicate(tree.tree);
        files.replicates += tree.text + '\n';
        meter.clear();
        out << "Jackknife replicate " << replicate << " out of " << jackknife.replicates << '\n'
            << std::flush;
        meter.pairDone();
    }
    meter.clear();
    main.tree.support = counter.percentages();
    main.text = newickText(main.tree, structures, method == "nj");
    std::ostringstream table;
    writeSupportFile(table, counter, structures);
    files.support = table.str();
    return files;
}

}  // namespace

DistanceMatrix computeDistanceMatrix(const OperationWeights& operationWeights,
                                     const DistanceWeights& distanceWeights,
                                     const std::vector<ChromosomalStructure>& structures,
                                     std::ostream& out, unsigned threadCount,
                                     std::ostream* terminal, PairDistribution* distribution) {
    return combinedMatrix(computeSpecialMatrix(operationWeights, structures, out, threadCount,
                                               terminal, distribution),
                          distanceWeights, structures);
}

BuiltTree treeOfMethod(const std::string& method, DistanceMatrix matrix,
                       const std::vector<ChromosomalStructure>& structures) {
    std::ostream discarded(nullptr);
    if (method == "upgma") return upgmaTree(std::move(matrix), structures);
    if (method == "nj") return neighbourJoiningTree(std::move(matrix), structures, discarded);
    if (method == "kruskal") return kruskalTree(matrix, structures, discarded);
    throw std::invalid_argument("Unknown tree method \"" + method +
                                "\": use \"upgma\", \"nj\" or \"kruskal\"");
}

bool isTreeMethod(const std::string& method) {
    return method == "upgma" || method == "nj" || method == "kruskal";
}

std::string jackknifeWithoutTreeMessage(const std::string& method) {
    return "The jackknife (-b) needs a tree method (-p upgma, nj or kruskal), not \"" + method +
           "\"";
}

void buildTree(const OperationWeights& operationWeights, const DistanceWeights& distanceWeights,
               const std::vector<ChromosomalStructure>& structures, const std::string& resultDir,
               const std::string& method, bool phylip, std::ostream& out, unsigned threadCount,
               std::ostream* terminal, PairDistribution* distribution,
               const JackknifeSettings& jackknife) {
    if (jackknife.replicates > 0 && !isTreeMethod(method))
        throw std::invalid_argument(jackknifeWithoutTreeMessage(method));
    DistanceMatrix matrix = computeDistanceMatrix(operationWeights, distanceWeights, structures,
                                                  out, threadCount, terminal, distribution);
    writeMatrix(resultDir + "/distance.tsv", matrix, structures);
    writeSquarePhylipFiles(resultDir, matrix, structures);
    if (phylip) writePhylipFiles(resultDir, matrix, structures);

    // A tree method takes the matrix over as its working memory, so every file of the matrix is
    // written before it runs.
    BuiltTree built;
    if (method == "upgma") {
        writeMatrix(resultDir + "/tree_distances_matrix.tsv", matrix, structures);
        writeResultFile(resultDir + "/tree_distances_vector.txt",
                        [&](std::ostream& file) { writeVectorFile(file, matrix); });
        // No discrepancy is computed: the file holds the header line alone.
        writeMatrix(resultDir + "/discrepancy_matrix.tsv", DistanceMatrix(), structures);
        built = upgmaTree(std::move(matrix), structures);
    } else if (method == "nj") {
        writeResultFile(resultDir + "/graph.txt", [&](std::ostream& graph) {
            built = neighbourJoiningTree(std::move(matrix), structures, graph);
        });
    } else if (method == "kruskal") {
        built = kruskalTree(matrix, structures, out);
    }
    JackknifeFiles jackknifeFiles;
    if (jackknife.replicates > 0) {
        // The replicates need one matrix at a time.
        DistanceMatrix().swap(matrix);
        jackknifeFiles = runJackknife(jackknife, method, operationWeights, distanceWeights,
                                      structures, built, out, threadCount, terminal, distribution);
    }
    writeResultFile(resultDir + "/tree.tre", [&](std::ostream& file) { file << built.text; });
    writeResultFile(resultDir + "/tree.svg",
                    [&](std::ostream& file) { writeTreeSvg(file, built.tree, structures); });
    if (jackknife.replicates > 0) {
        writeResultFile(resultDir + "/support.tsv",
                        [&](std::ostream& file) { file << jackknifeFiles.support; });
        writeResultFile(resultDir + "/replicates.tre",
                        [&](std::ostream& file) { file << jackknifeFiles.replicates; });
    }
    if (built.totalBranchLength > reportedLengthThreshold)
        out << "Total branch length is " << built.totalBranchLength << '\n';
}

}  // namespace varnet
