// The dist pipeline into memory. The input's first line is the operation-weights line, the rest
// the structure file. Beyond the documented reader errors nothing may fail; the listed steps
// must add up to the cost, the solve for the cost alone must find it too, and the final graph
// must hold every end of every gene copy the two structures share exactly once, and no other
// vertex.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "graph/graph_printer.hpp"
#include "graph/joint_graph.hpp"
#include "modes/weight_files.hpp"
#include "solver/chromosome_set.hpp"
#include "solver/sequence_printer.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_code.hpp"
#include "structures/gene_numbering.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"

using namespace varnet;

namespace {

std::set<uint32_t> geneCodesOf(const ChromosomalStructure& structure) {
    std::set<uint32_t> codes;
    for (const Chromosome& chromosome : structure.chromosomes) {
        for (const int32_t code : chromosome.genes) codes.insert(absoluteCode(code));
    }
    return codes;
}

// The ends a component holds as vertices, each once however many edges touch it.
std::set<uint32_t> verticesOf(const Component& component) {
    std::set<uint32_t> vertices;
    for (const Edge& edge : component) {
        if (isLoneVertex(edge)) {
            vertices.insert(edge.first);
            continue;
        }
        switch (edge.kind) {
            case EdgeKind::block:
                break;
            case EdgeKind::end:
                vertices.insert(edge.first);
                break;
            default:
                vertices.insert(edge.first);
                vertices.insert(edge.second);
        }
    }
    return vertices;
}

bool sameCost(double x, double y) {
    return x == y || (std::isnan(x) && std::isnan(y));
}

// Tree mode compares a pair through one input, and builds the second direction by turning the
// first one's trace round: both costs are those of graphs built on their own.
void requireTreeModeCosts(const AdjacencyArray& adjacencyA, const AdjacencyArray& adjacencyB,
                          const OperationWeights& weights) {
    JointGraphInput input;
    input.load(adjacencyA, adjacencyB);
    ChromosomeSet state;
    for (const bool exchanged : {false, true}) {
        if (exchanged) input.exchangeStructures();
        const double cost = solvedCostOnly(input, state, weights);
        const double alone = exchanged ? solvedCostOnly(adjacencyB, adjacencyA, weights)
                                       : solvedCostOnly(adjacencyA, adjacencyB, weights);
        fuzz::require(sameCost(cost, alone),
                      exchanged ? "the turned graph costs what B to A costs"
                                : "the graph through one input costs what A to B costs");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string::npos) return 0;
    std::istringstream weightLine(text.substr(0, lineEnd));
    const OperationWeights weights = parseOperationWeights(weightLine);

    std::istringstream in(text.substr(lineEnd + 1));
    std::vector<ChromosomalStructure> structures;
    GeneTable printed;
    if (fuzz::endsInDocumentedStructureError([&] { readStructures(in, structures, printed); }))
        return 0;
    if (structures.empty() || structures.size() > 2) return 0;
    if (fuzz::endsInDocumentedStructureError([&] { validateForGraph(structures); })) return 0;
    const ChromosomalStructure& a = structures.front();
    const ChromosomalStructure& b = structures.back();
    const AdjacencyArray adjacencyA = adjacencyOf(a);
    const AdjacencyArray adjacencyB = adjacencyOf(b);
    ChromosomeSet state(buildJointGraph(adjacencyA, adjacencyB));
    std::ostringstream printout;
    printJointGraph(printout, state, printed);

    const double cost = solve(state, weights);
    // Tree mode's solve for the cost alone, on a graph built for the cost alone, finds the same
    // cost, bit for bit.
    const double costOnly = solvedCostOnly(adjacencyA, adjacencyB, weights);
    fuzz::require(costOnly == cost || (std::isnan(costOnly) && std::isnan(cost)),
                  "the cost-only solve finds the recorded solve's cost");
    requireTreeModeCosts(adjacencyA, adjacencyB, weights);
    printJointGraph(printout, state, printed);
    for (const OperationRecord& record : state.log.records())
        printOperationRecord(printout, record, printed);

    if (std::isfinite(cost)) {
        double listed = 0.0;
        double magnitude = 0.0;
        for (const OperationRecord& record : state.log.records()) {
            for (const int32_t event : record.events) {
                const double weight = weightOf(static_cast<EventCode>(event), weights);
                listed += weight;
                magnitude += std::fabs(weight);
            }
        }
        // Steps charged as one expression round once; allow for that, nothing more.
        fuzz::require(std::fabs(listed - cost) <= 1e-9 * magnitude,
                      "the listed steps add up to the cost");
    }

    const std::set<uint32_t> codesA = geneCodesOf(a);
    std::set<uint32_t> shared;
    for (const uint32_t code : geneCodesOf(b)) {
        if (codesA.count(code) == 0) continue;
        shared.insert(enteringEnd(static_cast<int32_t>(code)));
        shared.insert(otherEnd(enteringEnd(static_cast<int32_t>(code))));
    }
    std::map<uint32_t, int> seen;
    for (const std::vector<Component>* list : {&state.cycles, &state.paths}) {
        for (const Component& component : *list) {
            for (const uint32_t vertex : verticesOf(component)) ++seen[vertex];
        }
    }
    for (const auto& [vertex, count] : seen) {
        fuzz::require(shared.count(vertex) == 1,
                      "vertex " + std::to_string(vertex) + " of the final graph is a shared end");
        fuzz::require(count == 1, "vertex " + std::to_string(vertex) + " is in one component");
    }
    fuzz::require(seen.size() == shared.size(), "every shared end is in the final graph");
    return 0;
}
