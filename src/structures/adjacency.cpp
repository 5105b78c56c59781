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

// Writes the adjacencies of the structure with every code read through `codeOf`, circular
// chromosomes first: each gene's leaving end joined with the next gene's entering end, the ends
// of a linear chromosome at telomeres, a circle closed.
template <typename CodeOf>
void linkAll(const ChromosomalStructure& structure, std::vector<int32_t>& partner, CodeOf codeOf) {
    for (const bool circular : {true, false}) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            if (chromosome.circular != circular) continue;
            const std::vector<int32_t>& genes = chromosome.genes;
            if (genes.empty())
                throw std::invalid_argument("a chromosome without genes has no adjacencies");
            int32_t previous = codeOf(genes.front());
            const int32_t first = previous;
            for (std::size_t k = 1; k < genes.size(); ++k) {
                const int32_t next = codeOf(genes[k]);
                link(partner, leavingEnd(previous), enteringEnd(next));
                previous = next;
            }
            if (circular) {
                link(partner, leavingEnd(previous), enteringEnd(first));
            } else {
                partner[enteringEnd(first)] = telomere;
                partner[leavingEnd(previous)] = telomere;
            }
        }
    }
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
    linkAll(structure, adjacency.partner, [](int32_t code) { return code; });
}

void fillRenumberedAdjacency(const ChromosomalStructure& structure,
                             const std::vector<int32_t>& codeOf, uint32_t largestEnd,
                             AdjacencyArray& adjacency) {
    if (adjacency.partner.size() <= largestEnd) adjacency.partner.resize(largestEnd + 1, 0);
    linkAll(structure, adjacency.partner, [&codeOf](int32_t code) {
        const int32_t renumbered = codeOf[absoluteCode(code)];
        return code < 0 ? -renumbered : renumbered;
    });
}

}  // namespace varnet
