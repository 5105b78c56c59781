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

// Joins each gene's leaving end with the next gene's entering end.
void linkConsecutive(std::vector<int32_t>& partner, const std::vector<int32_t>& genes) {
    if (genes.empty()) throw std::invalid_argument("a chromosome without genes has no adjacencies");
    for (std::size_t k = 0; k + 1 < genes.size(); ++k) {
        link(partner, leavingEnd(genes[k]), enteringEnd(genes[k + 1]));
    }
}

void linkLinearEnds(std::vector<int32_t>& partner, const std::vector<int32_t>& genes) {
    partner[enteringEnd(genes.front())] = telomere;
    partner[leavingEnd(genes.back())] = telomere;
}

void linkCircularEnds(std::vector<int32_t>& partner, const std::vector<int32_t>& genes) {
    link(partner, leavingEnd(genes.back()), enteringEnd(genes.front()));
}

}  // namespace

void fillAdjacency(const ChromosomalStructure& structure, AdjacencyArray& adjacency) {
    uint32_t largest = 0;
    for (const Chromosome& chromosome : structure.chromosomes) {
        for (const int32_t code : chromosome.genes)
            largest = std::max(largest, 10 * absoluteCode(code) + 2);
    }
    if (adjacency.partner.size() <= largest) adjacency.partner.resize(largest + 1, 0);
    for (const bool circular : {true, false}) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            if (chromosome.circular != circular) continue;
            linkConsecutive(adjacency.partner, chromosome.genes);
            if (circular) {
                linkCircularEnds(adjacency.partner, chromosome.genes);
            } else {
                linkLinearEnds(adjacency.partner, chromosome.genes);
            }
        }
    }
}

}  // namespace varnet
