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

uint32_t largestEnd(const ChromosomeGroups& groups) {
    uint32_t largest = 0;
    for (const auto* list : {&groups.circularChromosomes, &groups.linearChromosomes}) {
        for (const std::vector<int32_t>& genes : *list) {
            for (const int32_t code : genes)
                largest = std::max(largest, 10 * absoluteCode(code) + 2);
        }
    }
    return largest;
}

AdjacencyArray buildAdjacency(const ChromosomeGroups& groups) {
    AdjacencyArray adjacency;
    adjacency.partner.assign(largestEnd(groups) + 1, 0);
    std::vector<int32_t>& partner = adjacency.partner;
    for (const std::vector<int32_t>& genes : groups.circularChromosomes) {
        linkConsecutive(partner, genes);
        linkCircularEnds(partner, genes);
    }
    for (const std::vector<int32_t>& genes : groups.linearChromosomes) {
        linkConsecutive(partner, genes);
        linkLinearEnds(partner, genes);
    }
    return adjacency;
}

void fillAdjacency(const ChromosomalStructure& structure, AdjacencyArray& adjacency) {
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
