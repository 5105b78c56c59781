#include "compare/structure_tables.hpp"

#include <algorithm>

#include "structures/gene_code.hpp"

namespace varnet {

StructureTables::StructureTables(const std::vector<ChromosomalStructure>& structures,
                                 bool keepAdjacencies) {
    codesOf_.reserve(structures.size());
    std::size_t largest = 0;
    std::size_t secondLargest = 0;
    int32_t largestCode = 0;
    bool everyChromosomeHoldsAGene = true;
    for (const ChromosomalStructure& structure : structures) {
        std::vector<int32_t>& codes = codesOf_.emplace_back();
        for (const Chromosome& chromosome : structure.chromosomes) {
            everyChromosomeHoldsAGene = everyChromosomeHoldsAGene && !chromosome.genes.empty();
            for (const int32_t code : chromosome.genes)
                codes.push_back(static_cast<int32_t>(absoluteCode(code)));
        }
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        if (!codes.empty()) largestCode = std::max(largestCode, codes.back());
        secondLargest = std::max(secondLargest, std::min(largest, codes.size()));
        largest = std::max(largest, codes.size());
    }
    vertexCount_ = 2 * static_cast<std::size_t>(largestCode) + 2;
    // A chromosome without genes has no adjacencies: the pairs holding it fail as they are
    // compared.
    const std::size_t pairVertexCount = 2 * (largest + secondLargest) + 2;
    if (!keepAdjacencies || !everyChromosomeHoldsAGene ||
        vertexCount_ > maxGrowth * pairVertexCount ||
        vertexCount_ * structures.size() > maxKeptBytes / sizeof(int32_t))
        return;
    adjacencies_.resize(structures.size());
    for (std::size_t k = 0; k < structures.size(); ++k) {
        adjacencies_[k].partner.assign(vertexCount_, 0);
        fillAdjacencyWithin(structures[k], adjacencies_[k]);
    }
}

bool unitedEnds(std::span<const int32_t> a, std::span<const int32_t> b,
                std::vector<uint32_t>& into) {
    into.clear();
    auto x = a.begin();
    auto y = b.begin();
    while (x != a.end() || y != b.end()) {
        const int32_t code = y == b.end() || (x != a.end() && *x <= *y) ? *x : *y;
        if (x != a.end() && *x == code) ++x;
        if (y != b.end() && *y == code) ++y;
        into.push_back(enteringEnd(code));
        into.push_back(leavingEnd(code));
    }
    return into.size() == 2 * a.size() && into.size() == 2 * b.size();
}

}  // namespace varnet
