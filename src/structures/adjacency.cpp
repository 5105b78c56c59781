#include "structures/adjacency.hpp"

#include <algorithm>
#include <stdexcept>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

void link(std::vector<int32_t>& partner, uint32_t x, uint32_t y) {
    partner[x] = static_cast<int32_t>(y);
    partner[y] = static_cast<int32_t>(x);
}

}  // namespace

AdjacencyArray adjacencyOf(const ChromosomalStructure& structure) {
    uint32_t largest = 0;
    for (const Chromosome& chromosome : structure.chromosomes) {
        for (const int32_t code : chromosome.genes)
            largest = std::max(largest, 2 * absoluteCode(code) + 1);
    }
    AdjacencyArray adjacency;
    adjacency.partner.assign(largest + 1, 0);
    fillAdjacencyWithin(structure, adjacency);
    return adjacency;
}

// Each gene's leaving end is joined with the next gene's entering end, the ends of a linear
// chromosome at telomeres, a circle closed.
void fillAdjacencyWithin(const ChromosomalStructure& structure, AdjacencyArray& adjacency) {
    std::vector<int32_t>& partner = adjacency.partner;
    for (const bool circular : {true, false}) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            if (chromosome.circular != circular) continue;
            const std::vector<int32_t>& genes = chromosome.genes;
            if (genes.empty())
                throw std::invalid_argument("a chromosome without genes has no adjacencies");
            for (std::size_t k = 1; k < genes.size(); ++k)
                link(partner, leavingEnd(genes[k - 1]), enteringEnd(genes[k]));
            if (circular) {
                link(partner, leavingEnd(genes.back()), enteringEnd(genes.front()));
            } else {
                partner[enteringEnd(genes.front())] = telomere;
                partner[leavingEnd(genes.back())] = telomere;
            }
        }
    }
}

}  // namespace varnet
