#include "modes/dist_mode.hpp"

#include <sstream>
#include <utility>
#include <vector>

#include "compare/dist_pair.hpp"
#include "graph/graph_printer.hpp"
#include "modes/pair_svg.hpp"
#include "solver/sequence_printer.hpp"
#include "structures/structure_reader.hpp"
#include "structures/text_files.hpp"

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

bool runDistMode(const RunSettings& settings, std::ostream& err) {
    // The solver frees and takes again blocks of a size that would otherwise go back to the
    // system each time (on large pairs, thousands of calls).
    keepFreedMemoryForReuse();
    err << "Building chromosome structs...\n";
    std::vector<ChromosomalStructure> structures;
    GeneTable genes;
    readStructureFile(settings.chromFile, structures, genes);
    // Dist mode compares the first structure with the last: it needs one or two.
    if (structures.empty() || structures.size() > 2) {
        err << "Invalid chromosome data provided\n";
        return false;
    }
    const PairSettings pairSettings = settings.pairSettings(&genes);
    DistPair pair = prepareDistPair(std::move(structures), genes, pairSettings);

    err << "Done.\nBuilding common graph...\n";
    writeGraphFile(settings.resultDir + "/joint_graph.txt", "Joint graph\n", pair.graph, genes);

    err << "Done.\nCalculating shortest path...\n";
    // The steps are written out as they are completed, so that they need not all be kept.
    SequenceFileWriter sequenceFile(settings.resultDir + "/shortest_sequence.txt", genes);
    pair.graph.log.setWriter(
        [&sequenceFile](const OperationRecord& record) { sequenceFile.write(record); });
    const double cost = solveDistPair(pair, settings.operationWeights);
    std::ostringstream costText;  // the default number format, whatever `err`'s settings
    costText << cost;
    err << costText.str();
    writeGraphFile(settings.resultDir + "/final.txt", "", pair.graph, genes);
    sequenceFile.finish(cost);
    writeResultFile(settings.resultDir + "/pair.svg", [&](std::ostream& out) {
        writePairSvg(out, pair, pairSettings, cost, sequenceFile.eventCounts());
    });
    return true;
}

}  // namespace varnet
