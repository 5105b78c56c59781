#include "tree/shared_genes.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <sstream>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// The genes of a structure: its codes without orientation, in increasing order.
std::vector<uint32_t> genesOf(const ChromosomalStructure& structure) {
    std::vector<uint32_t> genes;
    for (const Chromosome& chromosome : structure.chromosomes) {
        for (const int32_t code : chromosome.genes) genes.push_back(absoluteCode(code));
    }
    std::sort(genes.begin(), genes.end());
    genes.erase(std::unique(genes.begin(), genes.end()), genes.end());
    return genes;
}

std::size_t sharedCount(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    std::size_t shared = 0;
    for (auto x = a.begin(), y = b.begin(); x != a.end() && y != b.end();) {
        if (*x < *y) {
            ++x;
        } else if (*y < *x) {
            ++y;
        } else {
            ++shared;
            ++x;
            ++y;
        }
    }
    return shared;
}

}  // namespace

SharedGeneCount countPairsSharingLittle(const std::vector<ChromosomalStructure>& structures) {
    // The distinct gene sets, each with the structures that hold it in file order.
    std::map<std::vector<uint32_t>, std::vector<std::size_t>> holders;
    for (std::size_t k = 0; k < structures.size(); ++k)
        holders[genesOf(structures[k])].push_back(k);
    std::vector<std::pair<const std::vector<uint32_t>*, const std::vector<std::size_t>*>> sets;
    for (const auto& [genes, which] : holders) sets.emplace_back(&genes, &which);

    SharedGeneCount count;
    bool found = false;
    for (std::size_t a = 0; a < sets.size(); ++a) {
        for (std::size_t b = a + 1; b < sets.size(); ++b) {
            const std::vector<uint32_t>& genesA = *sets[a].first;
            const std::vector<uint32_t>& genesB = *sets[b].first;
            const std::size_t smaller = std::min(genesA.size(), genesB.size());
            const std::size_t shared = sharedCount(genesA, genesB);
            if (2 * shared >= smaller) continue;
            count.pairs += sets[a].second->size() * sets[b].second->size();
            // The pair of these two sets that comes first in file order.
            std::size_t first = sets[a].second->front();
            std::size_t second = sets[b].second->front();
            std::size_t firstGenes = genesA.size();
            std::size_t secondGenes = genesB.size();
            if (second < first) {
                std::swap(first, second);
                std::swap(firstGenes, secondGenes);
            }
            const std::size_t bestSmaller = std::min(count.firstGenes, count.secondGenes);
            // Less of the smaller part shared: shared / smaller below the best's, in integers.
            const bool less = shared * bestSmaller < count.shared * smaller;
            const bool equalAndEarlier =
                shared * bestSmaller == count.shared * smaller &&
                std::pair(first, second) < std::pair(count.first, count.second);
            if (found && !less && !equalAndEarlier) continue;
            found = true;
            count.first = first;
            count.second = second;
            count.shared = shared;
            count.firstGenes = firstGenes;
            count.secondGenes = secondGenes;
        }
    }
    return count;
}

std::string sharedGeneWarning(const std::vector<ChromosomalStructure>& structures) {
    const SharedGeneCount count = countPairsSharingLittle(structures);
    if (count.pairs == 0) return "";
    std::ostringstream text;
    text << count.pairs << (count.pairs == 1 ? " pair" : " pairs")
         << " of structures share fewer than half the genes of the smaller one (least: \""
         << structures[count.first].name << "\" and \"" << structures[count.second].name << "\", "
         << count.shared << " genes shared of " << count.firstGenes << " and " << count.secondGenes
         << "). With the breakpoint weight 0 a run of missing genes costs one deletion whatever "
            "its length, so such structures look close; a breakpoint weight above 0 (breakpoint "
            "in the distance weights file) counts the missing genes one by one.";
    return text.str();
}

}  // namespace varnet
