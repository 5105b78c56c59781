#include "tree/special_distance.hpp"

#include <algorithm>
#include <bit>

#include "solver/solve.hpp"
#include "structures/gene_code.hpp"
#include "structures/gene_numbering.hpp"

namespace varnet {
namespace {

void clearAdjacency(AdjacencyArray& adjacency, std::span<const uint32_t> ends) {
    for (const uint32_t end : ends) adjacency.partner[end] = 0;
}

bool holdsNoChromosome(const ChromosomalStructure& structure) {
    return structure.chromosomes.empty();
}

}  // namespace

StructureCodes collectStructureCodes(const std::vector<ChromosomalStructure>& structures,
                                     CopyRule copies) {
    StructureCodes result;
    result.numbered = structures;
    result.originals = numberCodesDensely(result.numbered);
    result.codesOf.reserve(structures.size());
    std::size_t largest = 0;
    std::size_t secondLargest = 0;
    for (const ChromosomalStructure& structure : result.numbered) {
        std::vector<int32_t>& codes = result.codesOf.emplace_back();
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes)
                codes.push_back(static_cast<int32_t>(absoluteCode(code)));
        }
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        if (!codes.empty())
            result.codeCount = std::max<std::size_t>(result.codeCount, codes.back() + 1);
        secondLargest = std::max(secondLargest, std::min(largest, codes.size()));
        largest = std::max(largest, codes.size());
    }
    // Compact ends: those of the rank r are 2r + 2 and 2r + 3.
    if (largest + secondLargest > 0) result.vertexCount = 2 * (largest + secondLargest) + 2;
    const std::size_t ranks =
        result.codeCount == 0
            ? 0
            : std::size_t{rankOfDenseCode(static_cast<uint32_t>(result.codeCount - 1))} + 1;
    const std::size_t fileVertexCount = ranks == 0 ? 0 : 2 * ranks + 2;
    if (fileVertexCount == 0 || fileVertexCount > maxKeptAdjacencyGrowth * result.vertexCount)
        return result;
    result.fileVertexCount = fileVertexCount;
    result.rankOf = ranksOfDenseCodes(result.codeCount);
    result.codeWords = (ranks + 63) / 64;
    result.codeBits.assign(structures.size() * result.codeWords, 0);
    result.endsOf.resize(structures.size());
    for (std::size_t k = 0; k < structures.size(); ++k) {
        uint64_t* bits = result.codeBits.data() + k * result.codeWords;
        for (const int32_t code : result.codesOf[k]) {
            const uint32_t rank = result.rankOf[static_cast<std::size_t>(code)];
            bits[rank / 64] |= uint64_t{1} << (rank % 64);
            result.endsOf[k].push_back(compactEnteringEnd(rank, true));
            result.endsOf[k].push_back(compactLeavingEnd(rank, true));
        }
    }
    // Pairing by context rewrites the codes of every pair, so only pairing by order can use
    // adjacencies written once. A chromosome without genes has none: the pairs holding it fail
    // as they are compared, as without kept adjacencies.
    const bool everyChromosomeHoldsAGene =
        std::all_of(structures.begin(), structures.end(), [](const ChromosomalStructure& s) {
            return std::none_of(s.chromosomes.begin(), s.chromosomes.end(),
                                [](const Chromosome& c) { return c.genes.empty(); });
        });
    if (copies == CopyRule::order && everyChromosomeHoldsAGene &&
        fileVertexCount * structures.size() <= maxKeptAdjacencyBytes / sizeof(int32_t)) {
        result.adjacencies.resize(structures.size());
        for (std::size_t k = 0; k < structures.size(); ++k) {
            result.adjacencies[k].partner.assign(fileVertexCount, 0);
            fillRenumberedCompactAdjacency(result.numbered[k], result.rankOf,
                                           static_cast<uint32_t>(fileVertexCount - 1),
                                           result.adjacencies[k]);
        }
    }
    return result;
}

SpecialDistanceCalculator::SpecialDistanceCalculator(
    const std::vector<ChromosomalStructure>& structures, const StructureCodes& codes,
    const PairSettings& settings)
    : structures_(structures),
      codes_(codes),
      weights_(settings.weights),
      nonNegativeWeights_(std::all_of(settings.weights.begin(), settings.weights.end(),
                                      [](double weight) { return weight >= 0; })),
      copies_(settings.copies),
      fileCodes_(codes.fileVertexCount != 0),
      pairRank_(fileCodes_ ? 0 : codes.codeCount, 0),
      input_(fileCodes_ ? codes.fileVertexCount : codes.vertexCount, EndNumbering::compact) {
    // Both tables as long, so that a build reads them without padding either.
    first_.partner.assign(input_.vertexCount(), 0);
    second_.partner.assign(input_.vertexCount(), 0);
    if (copies_ == CopyRule::context) {
        genesOf_.resize(structures.size());
        geneOfCode_.resize(codes.originals.size());
        for (std::size_t code = 0; code < codes.originals.size(); ++code)
            geneOfCode_[code] = settings.genes.geneOf(static_cast<uint32_t>(codes.originals[code]));
    }
}

double SpecialDistanceCalculator::solvedCost() {
    buildJointGraph(input_, GeneFreeCycles::counted, state_);
    return solvedCostOnlyIn(state_, weights_);
}

uint32_t* SpecialDistanceCalculator::endRoom(std::size_t count) {
    // Grown, never cut: resizing down and up again would fill the room with zeros each time.
    if (endRoom_.size() < count) endRoom_.resize(count);
    return endRoom_.data();
}

void SpecialDistanceCalculator::numberPair(std::size_t i, std::size_t j) {
    const std::vector<int32_t>& a = codes_.codesOf[i];
    const std::vector<int32_t>& b = codes_.codesOf[j];
    // Room for the ends of both structures; the pair's are the first of them.
    uint32_t* const start = endRoom(2 * (a.size() + b.size()));
    uint32_t* end = start;
    std::size_t rank = 0;
    for (auto x = a.begin(), y = b.begin(); x != a.end() || y != b.end();) {
        const int32_t code = y == b.end() || (x != a.end() && *x <= *y) ? *x : *y;
        if (x != a.end() && *x == code) ++x;
        if (y != b.end() && *y == code) ++y;
        const auto paired = static_cast<uint32_t>(rank++);
        pairRank_[static_cast<std::size_t>(code)] = paired;
        *end++ = compactEnteringEnd(paired, true);
        *end++ = compactLeavingEnd(paired, true);
    }
    pairEnds_ = {start, end};
    eachHoldsAll_ = a.size() == rank && b.size() == rank;
}

void SpecialDistanceCalculator::listFileEnds(std::size_t i, std::size_t j) {
    const std::size_t words = codes_.codeWords;
    const uint64_t* a = codes_.codeBits.data() + i * words;
    const uint64_t* b = codes_.codeBits.data() + j * words;
    eachHoldsAll_ = std::equal(a, a + words, b);
    if (eachHoldsAll_) {
        pairEnds_ = codes_.endsOf[i];
        return;
    }
    // The union of the two sets of codes, read out bit by bit in increasing order.
    uint32_t* const start = endRoom(codes_.endsOf[i].size() + codes_.endsOf[j].size());
    uint32_t* end = start;
    for (std::size_t w = 0; w < words; ++w) {
        for (uint64_t held = a[w] | b[w]; held != 0; held &= held - 1) {
            const auto rank = static_cast<uint32_t>(64 * w + std::countr_zero(held));
            *end++ = compactEnteringEnd(rank, true);
            *end++ = compactLeavingEnd(rank, true);
        }
    }
    pairEnds_ = {start, end};
}

void SpecialDistanceCalculator::fillPairAdjacency(std::size_t k, const ChromosomalStructure& source,
                                                  AdjacencyArray& adjacency) const {
    if (fileCodes_) {
        // The tables cover every end of the file.
        fillRenumberedCompactAdjacency(
            source, codes_.rankOf, static_cast<uint32_t>(codes_.fileVertexCount - 1), adjacency);
        return;
    }
    const std::vector<int32_t>& codes = codes_.codesOf[k];
    const uint32_t largestEnd =
        codes.empty() ? 0
                      : compactLeavingEnd(pairRank_[static_cast<std::size_t>(codes.back())], true);
    fillRenumberedCompactAdjacency(source, pairRank_, largestEnd, adjacency);
}

double SpecialDistanceCalculator::distance(std::size_t i, std::size_t j) {
    if (holdsNoChromosome(structures_[j]) || holdsNoChromosome(structures_[i]))
        return missingStructureDistance;
    if (copies_ == CopyRule::order && !codes_.adjacencies.empty()) {
        listFileEnds(i, j);
        input_.load(codes_.adjacencies[i], codes_.adjacencies[j], pairEnds_, eachHoldsAll_);
        return costOfLoadedBothWays(std::numeric_limits<double>::infinity()) * 0.5;
    }
    // Copies paired by context keep every code of the pair (the copies of a gene take its
    // smallest codes in the pair), so the pair's ends are those of the two structures as written.
    if (fileCodes_) {
        listFileEnds(i, j);
    } else {
        numberPair(i, j);
    }
    if (copies_ == CopyRule::order)
        return costBothWays(i, codes_.numbered[i], j, codes_.numbered[j]) * 0.5;
    const auto geneOf = [this](uint32_t code) { return geneOfCode_[code]; };
    for (const std::size_t k : {i, j}) {
        if (genesOf_[k].empty())
            CopyPairing::occurrencesOf(codes_.numbered[k], geneOf, genesOf_[k], true);
    }
    // Captured by reference, the pair keeps the cost function within std::function's own buffer.
    const std::pair<std::size_t, std::size_t> pair{i, j};
    const std::optional<double> cost = pairer_.pair(
        codes_.numbered[i], codes_.numbered[j], geneOf,
        [this, &pair](const ChromosomalStructure& first, const ChromosomalStructure& second,
                      double below) {
            return costBothWays(pair.first, first, pair.second, second, below);
        },
        pairedFirst_, pairedSecond_, &genesOf_[i], &genesOf_[j]);
    return (cost ? *cost : costBothWays(i, pairedFirst_, j, pairedSecond_)) * 0.5;
}

double SpecialDistanceCalculator::costBothWays(std::size_t i, const ChromosomalStructure& first,
                                               std::size_t j, const ChromosomalStructure& second,
                                               double below) {
    // Leave both tables empty again whatever happens, so the next pair starts clean: the pair's
    // ends cover those of each structure.
    struct Clear {
        SpecialDistanceCalculator& self;
        ~Clear() {
            clearAdjacency(self.first_, self.pairEnds_);
            clearAdjacency(self.second_, self.pairEnds_);
        }
    } clear{*this};
    fillPairAdjacency(i, first, first_);
    fillPairAdjacency(j, second, second_);

    input_.load(first_, second_, pairEnds_, eachHoldsAll_);
    return costOfLoadedBothWays(below);
}

double SpecialDistanceCalculator::costOfLoadedBothWays(double below) {
    const double forward = solvedCost();
    // With no negative weight the second direction adds nothing negative, so a first direction
    // that reaches `below` already says the sum is not below it.
    if (forward >= below && nonNegativeWeights_) return forward;
    input_.exchangeStructures();
    const double backward = solvedCost();
    return forward + backward;
}

}  // namespace varnet
