#include "structures/structure_validation.hpp"

#include <stdexcept>
#include <string>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

std::string nameOrId(const GeneNameTable& table, int32_t geneId) {
    const auto found = table.find(geneId);
    return found != table.end() ? "\"" + found->second + "\"" : "with id " + std::to_string(geneId);
}

}  // namespace

void validateForGraph(const ChromosomalStructure& structure, const GeneNameTable& table) {
    const std::string where = "structure \"" + structure.name + "\"";
    for (std::size_t index = 0; index < structure.chromosomes.size(); ++index) {
        const Chromosome& chromosome = structure.chromosomes[index];
        if (chromosome.genes.empty()) {
            throw std::runtime_error(where + ": chromosome " + std::to_string(index + 1) +
                                     " holds no genes; every chromosome of a compared structure "
                                     "needs at least one");
        }
        for (const int32_t code : chromosome.genes) {
            // Copies are numbered in reading order, so a tenth copy shows up as a code ending
            // in 0 before any further copy can collide with the next gene id.
            if (absoluteCode(code) % 10 == 0) {
                const auto geneId = static_cast<int32_t>(absoluteCode(code) / 10) - 1;
                throw std::runtime_error(where + ": gene " + nameOrId(table, geneId) +
                                         " occurs more than 9 times; at most 9 copies of a gene "
                                         "fit in one structure");
            }
        }
    }
}

}  // namespace varnet
