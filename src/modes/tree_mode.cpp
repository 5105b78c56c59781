#include "modes/tree_mode.hpp"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "tree/jackknife.hpp"
#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/phylip_matrix.hpp"
#include "tree/progress_meter.hpp"
#include "tree/shared_genes.hpp"
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

// The combined matrix of the special distances `special` and the breakpoint distances. A distance
// that is not finite (weights so large that a sum overflows) cannot be written or compared: the
// first such pair in row-major order is named in an error, after `where` (which matrix).
DistanceMatrix combinedMatrix(DistanceMatrix special, const DistanceWeights& distanceWeights,
                              const std::vector<ChromosomalStructure>& structures,
                              const std::string& where = "") {
    combineWithBreakpointDistances(special, distanceWeights.special, structures,
                                   distanceWeights.breakpoint);
    for (std::size_t i = 0; i < special.size(); ++i) {
        for (std::size_t j = i + 1; j < special.size(); ++j) {
            if (std::isfinite(special[i][j])) continue;
            std::ostringstream message;
            message << where << "The distance between structure \"" << structures[i].name
                    << "\" and structure \"" << structures[j].name << "\" is not finite ("
                    << special[i][j] << "): the weights are too large";
            throw std::runtime_error(message.str());
        }
    }
    return special;
}

// UPGMA's files of the matrix it is given.
void writeUpgmaFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures) {
    writeMatrix(resultDir + "/tree_distances_matrix.tsv", matrix, structures);
    writeResultFile(resultDir + "/tree_distances_vector.txt",
                    [&](std::ostream& file) { writeVectorFile(file, matrix); });
    // No discrepancy is computed: the file holds the header line alone.
    writeMatrix(resultDir + "/discrepancy_matrix.tsv", DistanceMatrix(), structures);
}

// A tree method: its name, how it builds a tree from the matrix (which it takes over), whether
// the tree is rooted and its text carries branch lengths, the result file its report goes to
// (standard output when none), and the files it adds about the matrix it is given.
struct TreeMethod {
    std::string_view name;
    BuiltTree (*build)(DistanceMatrix matrix, const std::vector<ChromosomalStructure>& structures,
                       std::ostream& report);
    bool rooted;
    bool lengths;
    std::string_view reportFile = "";
    void (*writeMatrixFiles)(const std::string& resultDir, const DistanceMatrix& matrix,
                             const std::vector<ChromosomalStructure>& structures) = nullptr;
};

// clang-format off
constexpr TreeMethod treeMethods[] = {
    {.name = "upgma",   .build = upgmaTree,            .rooted = true,  .lengths = false, .writeMatrixFiles = writeUpgmaFiles},
    {.name = "nj",      .build = neighbourJoiningTree, .rooted = false, .lengths = true,  .reportFile = "/graph.txt"},
    {.name = "kruskal", .build = kruskalTree,          .rooted = true,  .lengths = false},
};
// clang-format on

const TreeMethod* findTreeMethod(std::string_view name) {
    for (const TreeMethod& method : treeMethods) {
        if (method.name == name) return &method;
    }
    return nullptr;
}

// The method names as prose, each between `quotes`: "upgma", "nj" or "kruskal".
std::string listedMethods(std::string_view quotes) {
    std::string text;
    for (std::size_t k = 0; k < std::size(treeMethods); ++k) {
        if (k > 0) text += k + 1 < std::size(treeMethods) ? ", " : " or ";
        text.append(quotes).append(treeMethods[k].name).append(quotes);
    }
    return text;
}

const TreeMethod& treeMethod(const std::string& name) {
    const TreeMethod* found = findTreeMethod(name);
    if (found != nullptr) return *found;
    throw std::invalid_argument("Unknown tree method \"" + name + "\": use " + listedMethods("\""));
}

// The main tree, its report written where the method sends it. A method takes the matrix over
// as its working memory, so every file of the matrix is written before it runs.
BuiltTree mainTree(const TreeMethod& method, const std::string& resultDir, DistanceMatrix matrix,
                   const std::vector<ChromosomalStructure>& structures, std::ostream& out) {
    if (method.writeMatrixFiles != nullptr) method.writeMatrixFiles(resultDir, matrix, structures);
    if (method.reportFile.empty()) return method.build(std::move(matrix), structures, out);
    BuiltTree built;
    writeResultFile(resultDir + std::string(method.reportFile), [&](std::ostream& report) {
        built = method.build(std::move(matrix), structures, report);
    });
    return built;
}

// The matrix of the structures taken in `order`: cell (a, b) is cell (order[a], order[b]).
DistanceMatrix reorderedMatrix(const DistanceMatrix& matrix,
                               const std::vector<std::size_t>& order) {
    DistanceMatrix reordered(order.size(), std::vector<double>(order.size()));
    for (std::size_t a = 0; a < order.size(); ++a) {
        const std::vector<double>& row = matrix[order[a]];
        for (std::size_t b = 0; b < order.size(); ++b) reordered[a][b] = row[order[b]];
    }
    return reordered;
}

// Builds the replicates one after another and gives the main tree its support values. A
// replicate's tree is built as the main one over the structures in the order the replicate draws,
// so that its ties fall either way by chance. Branches of length 0 that separate only structures
// of one of `groups` (identical in the main matrix) get no support label; the table marks them.
JackknifeResult runJackknife(const RunSettings& settings, const TreeMethod& method,
                             const std::vector<ChromosomalStructure>& structures,
                             const GeneTable* geneTable, const std::vector<std::size_t>& groups,
                             BuiltTree& main, std::ostream& out) {
    const JackknifeSettings& jackknife = settings.jackknife;
    const std::vector<int32_t> genes = genesPresent(structures, geneTable);
    std::vector<int32_t> deleted;
    SupportCounter counter(main.tree, structures.size(), method.rooted);
    JackknifeResult result;
    std::ostream discarded(nullptr);
    PairWork work = settings.work();
    work.terminal = nullptr;
    ProgressMeter meter(settings.terminal, jackknife.replicates, "replicates");
    std::vector<ChromosomalStructure> reordered(structures.size());
    for (uint64_t replicate = 1; replicate <= jackknife.replicates; ++replicate) {
        const ReplicateDraw draw = drawReplicate(genes.size(), jackknife.fraction,
                                                 structures.size(), jackknife.seed, replicate);
        deleted.clear();
        for (const std::size_t gene : draw.deletedGenes) deleted.push_back(genes[gene]);
        const std::vector<ChromosomalStructure> reduced =
            withoutGenes(structures, deleted, geneTable);
        const DistanceMatrix matrix = combinedMatrix(
            calculateSpecialMatrix(settings.pairSettings(geneTable), reduced, discarded, work),
            settings.distanceWeights, reduced,
            "Jackknife replicate " + std::to_string(replicate) + ": ");
        for (std::size_t k = 0; k < structures.size(); ++k)
            reordered[k].name = structures[draw.order[k]].name;
        BuiltTree tree = method.build(reorderedMatrix(matrix, draw.order), reordered, discarded);
        // Leaf k of the tree is structure order[k].
        for (RootedTree::Node& node : tree.tree.nodes) {
            if (node.leaf >= 0)
                node.leaf = static_cast<int32_t>(draw.order[static_cast<std::size_t>(node.leaf)]);
        }
        counter.addReplicate(tree.tree);
        result.replicates += newickText(tree.tree, structures, method.lengths) + '\n';
        meter.clear();
        out << "Jackknife replicate " << replicate << " out of " << jackknife.replicates << '\n'
            << std::flush;
        meter.pairDone();
    }
    meter.clear();
    const std::vector<char> tied = tiedBranches(main.tree, groups, method.rooted);
    main.tree.support = counter.percentages();
    for (std::size_t v = 0; v < tied.size(); ++v) {
        if (tied[v]) main.tree.support[v] = -1;
    }
    main.text = result.tree = newickText(main.tree, structures, method.lengths);
    std::ostringstream table;
    writeSupportFile(table, counter, structures, tied);
    result.support = table.str();
    return result;
}

}  // namespace

std::vector<std::string_view> treeMethodNames() {
    std::vector<std::string_view> names;
    for (const TreeMethod& method : treeMethods) names.push_back(method.name);
    return names;
}

PairWork RunSettings::work() const {
    return {threads != 0 ? threads
                         : workerCount(std::getenv("VARNET_THREADS"), availableProcessorCount()),
            terminal, distribution};
}

void checkJackknifeMethod(const RunSettings& settings) {
    if (settings.jackknife.replicates > 0 && findTreeMethod(settings.method) == nullptr)
        throw std::invalid_argument("The jackknife (-b) needs a tree method (-p " +
                                    listedMethods("") + "), not \"" + settings.method + "\"");
}

DistanceMatrix computeDistanceMatrix(const RunSettings& settings,
                                     const std::vector<ChromosomalStructure>& structures,
                                     const GeneTable* genes, std::ostream& out) {
    return combinedMatrix(
        computeSpecialMatrix(settings.pairSettings(genes), structures, out, settings.work()),
        settings.distanceWeights, structures);
}

BuiltTree treeOfMethod(const std::string& method, DistanceMatrix matrix,
                       const std::vector<ChromosomalStructure>& structures) {
    std::ostream discarded(nullptr);
    return treeMethod(method).build(std::move(matrix), structures, discarded);
}

JackknifeResult jackknifeTree(const RunSettings& settings,
                              const std::vector<ChromosomalStructure>& structures,
                              const GeneTable* genes, std::ostream& out) {
    const TreeMethod& method = treeMethod(settings.method);
    DistanceMatrix matrix = computeDistanceMatrix(settings, structures, genes, out);
    const std::vector<std::size_t> groups = identicalGroups(matrix);
    std::ostream discarded(nullptr);
    BuiltTree main = method.build(std::move(matrix), structures, discarded);
    return runJackknife(settings, method, structures, genes, groups, main, out);
}

void buildTree(const RunSettings& settings, const std::vector<ChromosomalStructure>& structures,
               const GeneTable* genes, std::ostream& out, std::ostream& err) {
    checkJackknifeMethod(settings);
    const TreeMethod* method = findTreeMethod(settings.method);
    const bool jackknife = settings.jackknife.replicates > 0;
    const std::string& resultDir = settings.resultDir;
    DistanceMatrix matrix = computeDistanceMatrix(settings, structures, genes, out);
    if (settings.distanceWeights.breakpoint == 0) {
        const std::string warning = sharedGeneWarning(structures);
        if (!warning.empty()) err << "Warning: " << warning << '\n';
    }
    writeMatrix(resultDir + "/distance.tsv", matrix, structures);
    writeSquarePhylipFiles(resultDir, matrix, structures);
    if (settings.phylip) writePhylipFiles(resultDir, matrix, structures);

    // The groups of identical structures, before the method takes the matrix over.
    const std::vector<std::size_t> groups =
        jackknife ? identicalGroups(matrix) : std::vector<std::size_t>();
    BuiltTree built;
    if (method != nullptr) built = mainTree(*method, resultDir, std::move(matrix), structures, out);
    JackknifeResult support;
    if (jackknife) support = runJackknife(settings, *method, structures, genes, groups, built, out);
    writeResultFile(resultDir + "/tree.tre", [&](std::ostream& file) { file << built.text; });
    writeResultFile(resultDir + "/tree.svg",
                    [&](std::ostream& file) { writeTreeSvg(file, built.tree, structures); });
    if (jackknife) {
        writeResultFile(resultDir + "/support.tsv",
                        [&](std::ostream& file) { file << support.support; });
        writeResultFile(resultDir + "/replicates.tre",
                        [&](std::ostream& file) { file << support.replicates; });
    }
    if (built.totalBranchLength > reportedLengthThreshold)
        out << "Total branch length is " << built.totalBranchLength << '\n';
}

void runTreeMode(const RunSettings& settings, std::ostream& out, std::ostream& err) {
    settings.work();  // a bad VARNET_THREADS fails before the file is read
    std::vector<ChromosomalStructure> structures;
    GeneTable genes;
    readStructureFile(settings.chromFile, structures, genes);
    if (structures.empty()) {
        throw std::runtime_error("The structure file " + settings.chromFile +
                                 " holds no structure; tree mode needs at least one");
    }
    validateForGraph(structures);
    buildTree(settings, structures, &genes, out, err);
}

}  // namespace varnet
