#include "app/dist_mode.hpp"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/command_line.hpp"
#include "app/pair_svg.hpp"
#include "graph/graph_printer.hpp"
#include "graph/joint_graph.hpp"
#include "solver/sequence_printer.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/copy_matching.hpp"
#include "structures/gene_numbering.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

void writeGraphFile(const std::string& path, const char* heading, const JointGraph& graph,
                    const GeneNameIndex& names) {
    writeResultFile(path, [&](std::ostream& out) {
        out << heading;
        printJointGraph(out, graph, names);
    });
}

// The joint graph of `first` into `second`.
JointGraph jointGraphOf(const ChromosomalStructure& first, const ChromosomalStructure& second,
                        GeneFreeCycles geneFree = GeneFreeCycles::made) {
    AdjacencyArray from;
    AdjacencyArray to;
    fillAdjacency(first, from);
    fillAdjacency(second, to);
    return buildJointGraph(from, to, geneFree);
}

}  // namespace

DistPair prepareDistPair(std::vector<ChromosomalStructure> structures, const GeneNameTable& table,
                         const PairSettings& settings) {
    validateForGraph(structures);
    const ChromosomalStructure& a = structures.front();
    const ChromosomalStructure& b = structures.back();
    // Dense codes keep the per-vertex tables to the genes present; printing maps them back.
    const std::vector<int32_t> originals = numberCodesDensely(structures);
    if (settings.copies == CopyRule::context && structures.size() == 2) {
        const GeneGroups groups = geneGroupsFromNames(table);
        pairCopiesByContext(
            [&](uint32_t code) { return groups.geneOf(static_cast<uint32_t>(originals[code])); },
            [&settings](const ChromosomalStructure& first, const ChromosomalStructure& second,
                        double) {
                return solvedCostOnly(jointGraphOf(first, second, GeneFreeCycles::counted),
                                      settings.weights);
            },
            structures.front(), structures.back());
    }
    GeneNameIndex names(table, originals);
    return {a, b, std::move(names), ChromosomeSet(jointGraphOf(a, b))};
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

int runDistMode(const ProgramOptions& options, std::ostream& err) {
    err << "Building chromosome structs...\n";
    std::vector<ChromosomalStructure> structures;
    GeneNameTable names;
    readStructureFile(options.chromFile, structures, names);
    // Dist mode compares the first structure with the last: it needs one or two.
    if (structures.empty() || structures.size() > 2) {
        err << "Invalid chromosome data provided\n";
        return failureStatus;
    }
    PairSettings settings(options.operationWeights);
    settings.copies = options.copies;
    DistPair pair = prepareDistPair(std::move(structures), names, settings);

    err << "Done.\nBuilding common graph...\n";
    writeGraphFile(options.resultDir + "/joint_graph.txt", "Joint graph\n", pair.graph, pair.names);

    err << "Done.\nCalculating shortest path...\n";
    // The steps are written out as they are completed, so that they need not all be kept.
    SequenceFileWriter sequenceFile(options.resultDir + "/shortest_sequence.txt", pair.names);
    pair.graph.log.setWriter(
        [&sequenceFile](const OperationRecord& record) { sequenceFile.write(record); });
    const double cost = solveDistPair(pair, options.operationWeights);
    std::ostringstream costText;  // the default number format, whatever `err`'s settings
    costText << cost;
    err << costText.str();
    writeGraphFile(options.resultDir + "/final.txt", "", pair.graph, pair.names);
    sequenceFile.finish(cost);
    writeResultFile(options.resultDir + "/pair.svg", [&](std::ostream& out) {
        writePairSvg(out, pair, settings, cost, sequenceFile.eventCounts());
    });
    return successStatus;
}

}  // namespace varnet
