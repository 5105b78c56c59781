#include "structures/structure_validation.hpp"

#include <stdexcept>
#include <string>

namespace varnet {
namespace {

// Why adjacency arrays and joint graphs cannot be built from a structure ("" when they can):
// every chromosome must hold at least one gene.
std::string graphFault(const ChromosomalStructure& structure) {
    for (std::size_t index = 0; index < structure.chromosomes.size(); ++index) {
        if (structure.chromosomes[index].genes.empty())
            return "chromosome " + std::to_string(index + 1) + " holds no genes";
    }
    return "";
}

}  // namespace

void validateForGraph(const std::vector<ChromosomalStructure>& structures) {
    std::string named;
    std::string single;
    std::size_t failing = 0;
    for (const ChromosomalStructure& structure : structures) {
        const std::string fault = graphFault(structure);
        if (fault.empty() || ++failing > namedFaultLimit) continue;
        const std::string text = "structure \"" + structure.name + "\": " + fault;
        if (failing == 1) single = text;
        named += "\n";
        if (structure.line != 0) named += "line " + std::to_string(structure.line) + ", ";
        named += text;
    }
    if (failing == 0) return;
    if (failing == 1) {
        throw std::runtime_error(single +
                                 "; every chromosome of a compared structure needs at least one");
    }
    std::string message = std::to_string(failing) +
                          " structures cannot be compared (every chromosome needs a gene):" + named;
    if (failing > namedFaultLimit)
        message += "\nand " + std::to_string(failing - namedFaultLimit) + " more";
    throw std::runtime_error(message);
}

}  // namespace varnet
