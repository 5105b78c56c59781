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
    for (std::size_t a = 0; a < holders.size(); ++a) {
        for (std::size_t b = a + 1; b < holders.size(); ++b) {
            // The pair of these two sets that comes first in file order.
            const auto [first, second] = std::minmax(holders[a].front(), holders[b].front());
            const std::span<const int32_t> firstGenes = tables.codesOf(first);
            const std::span<const int32_t> secondGenes = tables.codesOf(second);
            const std::size_t smaller = std::min(firstGenes.size(), secondGenes.size());
            const std::size_t shared = sharedKeyCount(firstGenes, secondGenes);
            if (2 * shared >= smaller) continue;
            // Less of the smaller part shared than by the least so far (shared / smaller, in
            // integers), or as little by an earlier pair.
            const std::size_t least = std::min(count.firstGenes, count.secondGenes);
            if (count.pairs == 0 ||
                std::pair(shared * least, std::pair(first, second)) <
                    std::pair(count.shared * smaller, std::pair(count.first, count.second)))
                count = {count.pairs, first, second, shared, firstGenes.size(), secondGenes.size()};
            count.pairs += holders[a].size() * holders[b].size();
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
