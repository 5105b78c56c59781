#include "tree/distance_matrix.hpp"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "structures/gene_code.hpp"
#include "structures/gene_numbering.hpp"

namespace varnet {
namespace {

// Tree mode holds one matrix: the special distances, combined with the breakpoint distances in
// place, then the working memory of the tree method, which adds at most this part of one.
constexpr std::size_t treeMethodShare = 8;

// 2 * code + 0 for the end ".1", + 1 for the end ".2".
uint32_t endKey(int32_t code, uint32_t end) {
    return 2 * geneKey(code) + end - 1;
}

// Counts the keys of each sorted list that the other lacks, walking both once.
template <typename Key>
std::size_t symmetricDifferenceSize(const std::vector<Key>& a, const std::vector<Key>& b) {
    std::size_t shared = 0;
    auto x = a.begin();
    auto y = b.begin();
    while (x != a.end() && y != b.end()) {
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
    return a.size() + b.size() - 2 * shared;
}

template <typename Key>
void sortUnique(std::vector<Key>& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

void addAdjacency(AdjacencyProfile& profile, int32_t a, int32_t b) {
    profile.adjacencies.push_back(adjacencyKey(a, b));
    profile.genes.push_back(geneKey(a));
    profile.genes.push_back(geneKey(b));
}

// The machine's physical memory in bytes; unlimited where the system does not say.
std::size_t physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return std::numeric_limits<std::size_t>::max();
    const auto count = static_cast<std::size_t>(pages);
    const auto size = static_cast<std::size_t>(pageSize);
    return count > std::numeric_limits<std::size_t>::max() / size
               ? std::numeric_limits<std::size_t>::max()
               : count * size;
}

std::runtime_error matrixTooLarge(std::size_t n) {
    return std::runtime_error("Not enough memory for the distance matrix of " + std::to_string(n) +
                              " structures");
}

}  // namespace

void checkDistanceMatrixFits(std::size_t n) {
    constexpr std::size_t maxCells = std::numeric_limits<std::size_t>::max() / sizeof(double) / 2;
    if (n != 0 && n > maxCells / n) throw matrixTooLarge(n);
    const std::size_t cells = n * n + n * n / treeMethodShare;
    // A system that over-commits grants far more address space than it can back, so the
    // allocation below proves little: the matrix must fit in physical memory.
    if (cells * sizeof(double) > physicalMemory()) throw matrixTooLarge(n);
    // Reserving the address space first turns an impossible size into an error here;
    // zero-filling rows of such a size would instead run the machine out of memory.
    const std::unique_ptr<double[]> probe(new (std::nothrow) double[cells]);
    if (!probe) throw matrixTooLarge(n);
}

DistanceMatrix makeDistanceMatrix(std::size_t n) {
    checkDistanceMatrixFits(n);
    try {
        return DistanceMatrix(n, std::vector<double>(n, 0.0));
    } catch (const std::bad_alloc&) {
        throw matrixTooLarge(n);
    }
}

uint32_t geneKey(int32_t code) {
    const int64_t value = code;
    return static_cast<uint32_t>(value < 0 ? -value : value);
}

uint64_t adjacencyKey(int32_t a, int32_t b) {
    const uint64_t left = endKey(a, a < 0 ? 1 : 2);
    const uint64_t right = endKey(b, b <= 0 ? 2 : 1);
    return std::min(left, right) << 32 | std::max(left, right);
}

std::vector<AdjacencyProfile> buildAdjacencyProfiles(
    const std::vector<ChromosomalStructure>& structures) {
    std::vector<AdjacencyProfile> profiles;
    profiles.reserve(structures.size());
    for (const ChromosomalStructure& structure : structures) {
        AdjacencyProfile& profile = profiles.emplace_back();
        profile.name = structure.name;
        for (const Chromosome& chromosome : structure.chromosomes) {
            const std::vector<int32_t>& g = chromosome.genes;
            for (std::size_t k = 0; k + 1 < g.size(); ++k) addAdjacency(profile, g[k], g[k + 1]);
            // The closing adjacency of a circle; a one-gene circle joins the gene to itself.
            if (chromosome.circular && !g.empty()) addAdjacency(profile, g.back(), g.front());
        }
        sortUnique(profile.adjacencies);
        sortUnique(profile.genes);
    }
    return profiles;
}

int32_t breakpointDistance(const AdjacencyProfile& a, const AdjacencyProfile& b) {
    return static_cast<int32_t>(symmetricDifferenceSize(a.adjacencies, b.adjacencies) +
                                symmetricDifferenceSize(a.genes, b.genes));
}

BreakpointTables::BreakpointTables(const std::vector<ChromosomalStructure>& structures) {
    std::vector<ChromosomalStructure> numbered = structures;
    const std::size_t codeCount = numberCodesDensely(numbered).size();
    // Compact ends (`EndNumbering::compact`): those of the code of rank r are 2r + 2 and 2r + 3.
    const std::size_t ranks =
        codeCount <= 1 ? 0 : std::size_t{rankOfDenseCode(static_cast<uint32_t>(codeCount - 1))} + 1;
    const std::size_t vertexCount = 2 * ranks + 2;
    std::size_t largest = 0;
    std::size_t secondLargest = 0;
    for (const ChromosomalStructure& structure : structures) {
        std::size_t genes = 0;
        for (const Chromosome& chromosome : structure.chromosomes) genes += chromosome.genes.size();
        secondLargest = std::max(secondLargest, std::min(largest, genes));
        largest = std::max(largest, genes);
    }
    // The tables serve where they take little memory and few more ends than the largest pair
    // holds; elsewhere the sorted profiles do.
    if (vertexCount > maxTableGrowth * 2 * (largest + secondLargest + 1) ||
        vertexCount * structures.size() > maxTableBytes / sizeof(uint32_t)) {
        profiles_ = buildAdjacencyProfiles(structures);
        return;
    }
    vertexCount_ = vertexCount;
    words_ = (ranks + 63) / 64;
    partners_.assign(vertexCount * structures.size(), 0);
    adjacencies_.resize(structures.size());
    geneBits_.assign(words_ * structures.size(), 0);
    for (std::size_t k = 0; k < numbered.size(); ++k) {
        uint32_t* partner = partners_.data() + k * vertexCount;
        uint64_t* genes = geneBits_.data() + k * words_;
        const auto link = [&](int32_t a, int32_t b) {
            const uint32_t rankOfA = rankOfDenseCode(absoluteCode(a));
            const uint32_t rankOfB = rankOfDenseCode(absoluteCode(b));
            const uint32_t x = compactLeavingEnd(rankOfA, a > 0);
            const uint32_t y = compactEnteringEnd(rankOfB, b > 0);
            // An end joins one other at most, so no adjacency repeats.
            partner[x] = y;
            partner[y] = x;
            adjacencies_[k].emplace_back(std::min(x, y), std::max(x, y));
            for (const uint32_t rank : {rankOfA, rankOfB})
                genes[rank / 64] |= uint64_t{1} << (rank % 64);
        };
        for (const Chromosome& chromosome : numbered[k].chromosomes) {
            const std::vector<int32_t>& g = chromosome.genes;
            for (std::size_t n = 0; n + 1 < g.size(); ++n) link(g[n], g[n + 1]);
            if (chromosome.circular && !g.empty()) link(g.back(), g.front());
        }
    }
}

int32_t BreakpointTables::distance(std::size_t i, std::size_t j) const {
    if (!profiles_.empty()) return breakpointDistance(profiles_[i], profiles_[j]);
    const uint32_t* partnerOfJ = partners_.data() + j * vertexCount_;
    std::size_t shared = 0;
    for (const auto& [x, y] : adjacencies_[i]) shared += partnerOfJ[x] == y;
    std::size_t genes = 0;
    const uint64_t* a = geneBits_.data() + i * words_;
    const uint64_t* b = geneBits_.data() + j * words_;
    for (std::size_t w = 0; w < words_; ++w)
        genes += static_cast<std::size_t>(std::popcount(a[w] ^ b[w]));
    return static_cast<int32_t>(adjacencies_[i].size() + adjacencies_[j].size() - 2 * shared +
                                genes);
}

void combineWithBreakpointDistances(DistanceMatrix& special, double specialWeight,
                                    const std::vector<ChromosomalStructure>& structures,
                                    double breakpointWeight) {
    const std::optional<BreakpointTables> tables =
        breakpointWeight == 0 ? std::nullopt : std::optional<BreakpointTables>(structures);
    // The diagonal stays 0 whatever the weights' signs (no "-0" in the files).
    forEachPairBySquares(special.size(), [&](std::size_t i, std::size_t j) {
        const double count = tables ? tables->distance(i, j) : 0.0;
        special[i][j] = special[i][j] * specialWeight + breakpointWeight * count;
        special[j][i] = special[j][i] * specialWeight + breakpointWeight * count;
    });
}

}  // namespace varnet
