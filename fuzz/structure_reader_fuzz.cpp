// Any text as a structure file: the reader and the graph checks either accept it, giving
// structures the joint graph can hold, or report one of their documented errors.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_code.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"

using namespace varnet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<ChromosomalStructure> structures;
    GeneTable names;
    if (fuzz::endsInDocumentedStructureError([&] {
            readStructures(in, structures, names);
            validateForGraph(structures);
        }))
        return 0;
    fuzz::require(names.geneName(0) == "0", "gene 0 is named \"0\"");
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            fuzz::require(!chromosome.genes.empty(), "validated chromosomes hold genes");
            for (const int32_t code : chromosome.genes) {
                fuzz::require(code != 0 && absoluteCode(code) <= names.codeCount(),
                              "every code is one of the table's");
                const auto [first, end] =
                    names.codesOfGene(static_cast<std::size_t>(names.geneOf(code)));
                fuzz::require(first <= std::abs(code) && std::abs(code) < end,
                              "every code is one of its gene's");
            }
        }
        // Every end is written once: the array is symmetric.
        const AdjacencyArray adjacency = adjacencyOf(structure);
        for (std::size_t end = 0; end < adjacency.partner.size(); ++end) {
            const int32_t partner = adjacency.partner[end];
            if (partner > 0) {
                fuzz::require(
                    adjacency.at(static_cast<uint32_t>(partner)) == static_cast<int32_t>(end),
                    "adjacency is symmetric");
            }
        }
    }
    return 0;
}
