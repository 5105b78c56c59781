#include "app/dist_mode.hpp"

#include <sstream>
#include <utility>
#include <vector>

#include "app/command_line.hpp"
#include "app/pair_svg.hpp"
#include "compare/dist_pair.hpp"
#include "graph/graph_printer.hpp"
#include "solver/sequence_printer.hpp"
#include "structures/structure_reader.hpp"
#include "structures/text_files.hpp"
#include "tree/pair_distances.hpp"

namespace varnet {
namespace {

void writeGraphFile(const std::string& path, const char* heading, const JointGraph& graph,
                    const GeneTable& genes) {
    writeResultFile(path, [&](std::ostream& out) {
        out << heading;
        printJointGraph(out, graph, genes);
    });
}

}  // namespace

int runDistMode(const ProgramOptions& options, std::ostream& err) {
    // The solver frees and takes again blocks of a size that would otherwise go back to the
    // system each time (on large pairs, thousands of calls).
    keepFreedMemoryForReuse();
    err << "Building chromosome structs...\n";
    std::vector<ChromosomalStructure> structures;
    GeneTable genes;
    readStructureFile(options.chromFile, structures, genes);
    // Dist mode compares the first structure with the last: it needs one or two.
    if (structures.empty() || structures.size() > 2) {
        err << "Invalid chromosome data provided\n";
        return failureStatus;
    }
    PairSettings settings(options.operationWeights);
    settings.copies = options.copies;
    settings.genes = &genes;
    DistPair pair = prepareDistPair(std::move(structures), genes, settings);

    err << "Done.\nBuilding common graph...\n";
    writeGraphFile(options.resultDir + "/joint_graph.txt", "Joint graph\n", pair.graph, genes);

    err << "Done.\nCalculating shortest path...\n";
    // The steps are written out as they are completed, so that they need not all be kept.
    SequenceFileWriter sequenceFile(options.resultDir + "/shortest_sequence.txt", genes);
    pair.graph.log.setWriter(
        [&sequenceFile](const OperationRecord& record) { sequenceFile.write(record); });
    const double cost = solveDistPair(pair, options.operationWeights);
    std::ostringstream costText;  // the default number format, whatever `err`'s settings
    costText << cost;
    err << costText.str();
    writeGraphFile(options.resultDir + "/final.txt", "", pair.graph, genes);
    sequenceFile.finish(cost);
    writeResultFile(options.resultDir + "/pair.svg", [&](std::ostream& out) {
        writePairSvg(out, pair, settings, cost, sequenceFile.eventCounts());
    });
    return successStatus;
}

}  // namespace varnet
