#include "compare/structure_tables.hpp"

#include <algorithm>
#include <map>

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
    std::map<std::span<const int32_t>, std::size_t,
             decltype([](std::span<const int32_t> x, std::span<const int32_t> y) {
                 return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
             })>
        codeSets;
    endsOf_.resize(structures.size());
    for (std::size_t k = 0; k < structures.size(); ++k) {
        codeSetOf_.push_back(codeSets.emplace(codesOf_[k], codeSets.size()).first->second);
        for (const int32_t code : codesOf_[k]) {
            endsOf_[k].push_back(enteringEnd(code));
            endsOf_[k].push_back(otherEnd(enteringEnd(code)));
        }
    }
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

std::span<const uint32_t> StructureTables::endsOfPair(std::size_t i, std::size_t j,
                                                      std::vector<uint32_t>& room,
                                                      bool& eachHoldsAll) const {
    eachHoldsAll = codeSetOf_[i] == codeSetOf_[j];
    if (eachHoldsAll) return endsOf_[i];
    const std::vector<uint32_t>& a = endsOf_[i];
    const std::vector<uint32_t>& b = endsOf_[j];
    room.resize(a.size() + b.size());
    const auto end = std::set_union(a.begin(), a.end(), b.begin(), b.end(), room.begin());
    return {room.data(), static_cast<std::size_t>(end - room.begin())};
}

}  // namespace varnet
