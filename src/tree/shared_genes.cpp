#include "tree/shared_genes.hpp"

#include <algorithm>
#include <sstream>

#include "compare/structure_tables.hpp"

namespace varnet {
SharedGeneCount countPairsSharingLittle(const std::vector<ChromosomalStructure>& structures) {
    // The distinct gene sets (codes without orientation), each with the structures that hold it
    // in file order.
    const StructureTables tables(structures, false);
    std::vector<std::vector<std::size_t>> holders;
    for (std::size_t k = 0; k < structures.size(); ++k) {
        if (tables.codeSetOf(k) == holders.size()) holders.emplace_back();
        holders[tables.codeSetOf(k)].push_back(k);
    }

    SharedGeneCount count;
    bool found = false;
    for (std::size_t a = 0; a < holders.size(); ++a) {
        for (std::size_t b = a + 1; b < holders.size(); ++b) {
            const std::span<const int32_t> genesA = tables.codesOf(holders[a].front());
            const std::span<const int32_t> genesB = tables.codesOf(holders[b].front());
            const std::size_t smaller = std::min(genesA.size(), genesB.size());
            const std::size_t shared = sharedKeyCount(genesA, genesB);
            if (2 * shared >= smaller) continue;
            count.pairs += holders[a].size() * holders[b].size();
            // The pair of these two sets that comes first in file order.
            std::size_t first = holders[a].front();
            std::size_t second = holders[b].front();
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
