#include "compare/structure_tables.hpp"

#include <bit>
#include <map>

#include "structures/gene_code.hpp"

namespace varnet {

StructureTables::StructureTables(const std::vector<ChromosomalStructure>& structures,
                                 bool keepAdjacencies) {
    std::size_t largest = 0;
    std::size_t secondLargest = 0;
    int32_t largestCode = 0;
    bool everyChromosomeHoldsAGene = true;
    std::map<std::span<const int32_t>, std::size_t,
             decltype([](std::span<const int32_t> x, std::span<const int32_t> y) {
                 return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
             })>
        codeSets;
    codesOf_.reserve(structures.size());  // never moved: `codeSets` views them
    for (const ChromosomalStructure& structure : structures) {
        std::vector<int32_t>& codes = codesOf_.emplace_back();
        for (const Chromosome& chromosome : structure.chromosomes) {
            everyChromosomeHoldsAGene = everyChromosomeHoldsAGene && !chromosome.genes.empty();
            for (const int32_t code : chromosome.genes)
                codes.push_back(static_cast<int32_t>(absoluteCode(code)));
        }
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        codeSetOf_.push_back(codeSets.emplace(codes, codeSets.size()).first->second);
        std::vector<uint32_t>& ends = endsOf_.emplace_back();
        for (const int32_t code : codes) {
            ends.push_back(enteringEnd(code));
            ends.push_back(leavingEnd(code));
        }
        if (!codes.empty()) largestCode = std::max(largestCode, codes.back());
        secondLargest = std::max(secondLargest, std::min(largest, codes.size()));
        largest = std::max(largest, codes.size());
    }
    vertexCount_ = 2 * static_cast<std::size_t>(largestCode) + 2;
    const std::size_t pairVertexCount = 2 * (largest + secondLargest) + 2;
    if (vertexCount_ > maxGrowth * pairVertexCount) return;
    // Few more codes in the list than in its largest pair: the codes of each structure as bits,
    // which give a pair's ends by one pass over a few words.
    words_ = (static_cast<std::size_t>(largestCode) + 64) / 64;
    codeBits_.assign(words_ * structures.size(), 0);
    for (std::size_t k = 0; k < structures.size(); ++k) {
        for (const int32_t code : codesOf_[k]) {
            const auto c = static_cast<std::size_t>(code);
            codeBits_[k * words_ + c / 64] |= uint64_t{1} << (c % 64);
        }
    }
    // A chromosome without genes has no adjacencies: the pairs holding it fail as they are
    // compared.
    if (!keepAdjacencies || !everyChromosomeHoldsAGene ||
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
    // Grown, never cut: resizing down and up again would fill the room with zeros each time.
    const std::size_t most = endsOf_[i].size() + endsOf_[j].size();
    if (room.size() < most) room.resize(most);
    uint32_t* const start = room.data();
    uint32_t* out = start;
    const auto write = [&out](int32_t code) {
        *out++ = enteringEnd(code);
        *out++ = leavingEnd(code);
    };
    if (words_ != 0) {
        // The union of the two sets of codes, read out bit by bit in increasing order.
        const uint64_t* a = codeBits_.data() + i * words_;
        const uint64_t* b = codeBits_.data() + j * words_;
        for (std::size_t w = 0; w < words_; ++w) {
            for (uint64_t held = a[w] | b[w]; held != 0; held &= held - 1)
                write(static_cast<int32_t>(64 * w +
                                           static_cast<std::size_t>(std::countr_zero(held))));
        }
    } else {
        std::set_union(codesOf_[i].begin(), codesOf_[i].end(), codesOf_[j].begin(),
                       codesOf_[j].end(), boost::make_function_output_iterator(write));
    }
    return {start, static_cast<std::size_t>(out - start)};
}

}  // namespace varnet
