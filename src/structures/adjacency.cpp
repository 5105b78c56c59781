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

// The entering and leaving ends of a gene.
struct GeneEnds {
    uint32_t entering = 0;
    uint32_t leaving = 0;
};

// Writes the adjacencies of the structure with the ends of every gene given by `endsOf`,
// circular chromosomes first: each gene's leaving end joined with the next gene's entering end,
// the ends of a linear chromosome at telomeres, a circle closed.
template <typename EndsOf>
void linkAll(const ChromosomalStructure& structure, std::vector<int32_t>& partner, EndsOf endsOf) {
    for (const bool circular : {true, false}) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            if (chromosome.circular != circular) continue;
            const std::vector<int32_t>& genes = chromosome.genes;
            if (genes.empty())
                throw std::invalid_argument("a chromosome without genes has no adjacencies");
            GeneEnds previous = endsOf(genes.front());
            const GeneEnds first = previous;
            for (std::size_t k = 1; k < genes.size(); ++k) {
                const GeneEnds next = endsOf(genes[k]);
                link(partner, previous.leaving, next.entering);
                previous = next;
            }
            if (circular) {
                link(partner, previous.leaving, first.entering);
            } else {
                partner[first.entering] = telomere;
                partner[previous.leaving] = telomere;
            }
        }
    }
}

GeneEnds compactEndsOfRank(uint32_t rank, int32_t code) {
    return {compactEnteringEnd(rank, code > 0), compactLeavingEnd(rank, code > 0)};
}

}  // namespace

void fillAdjacency(const ChromosomalStructure& structure, AdjacencyArray& adjacency) {
    uint32_t largest = 0;
    for (const Chromosome& chromosome : structure.chromosomes) {
        for (const int32_t code : chromosome.genes)
            largest = std::max(largest, 10 * absoluteCode(code) + 2);
    }
    if (adjacency.partner.size() <= largest) adjacency.partner.resize(largest + 1, 0);
    fillAdjacencyWithin(structure, adjacency);
}

void fillAdjacencyWithin(const ChromosomalStructure& structure, AdjacencyArray& adjacency) {
    linkAll(structure, adjacency.partner, [](int32_t code) {
        return GeneEnds{enteringEnd(code), leavingEnd(code)};
    });
}

void fillRenumberedCompactAdjacency(const ChromosomalStructure& structure,
                                    const std::vector<uint32_t>& rankOf, uint32_t largestEnd,
                                    AdjacencyArray& adjacency) {
    if (adjacency.partner.size() <= largestEnd) adjacency.partner.resize(largestEnd + 1, 0);
    linkAll(structure, adjacency.partner, [&rankOf](int32_t code) {
        return compactEndsOfRank(rankOf[absoluteCode(code)], code);
    });
}

}  // namespace varnet
