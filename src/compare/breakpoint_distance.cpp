#include "compare/breakpoint_distance.hpp"

#include <algorithm>
#include <bit>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// The key of the adjacency "a followed by b": the unordered pair of the leaving end of a and the
// entering end of b, so that reading the adjacency from either side gives the same key.
uint64_t adjacencyKey(int32_t a, int32_t b) {
    const uint64_t left = leavingEnd(a);
    const uint64_t right = enteringEnd(b);
    return std::min(left, right) << 32 | std::max(left, right);
}

template <typename Key>
void sortUnique(std::vector<Key>& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

void addAdjacency(AdjacencyProfile& profile, int32_t a, int32_t b) {
    profile.adjacencies.push_back(adjacencyKey(a, b));
    profile.genes.push_back(absoluteCode(a));
    profile.genes.push_back(absoluteCode(b));
}

}  // namespace

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
    // Keys of either profile that the other lacks.
    const auto missing = [](const auto& x, const auto& y) {
        return x.size() + y.size() - 2 * sharedKeyCount(x, y);
    };
    return static_cast<int32_t>(missing(a.adjacencies, b.adjacencies) + missing(a.genes, b.genes));
}

BreakpointTables::BreakpointTables(const std::vector<ChromosomalStructure>& structures)
    : tables_(structures, true) {
    if (!tables_.keepsAdjacencies()) {
        profiles_ = buildAdjacencyProfiles(structures);
        return;
    }
    adjacencies_.resize(structures.size());
    words_ = (tables_.vertexCount() / 2 + 63) / 64;
    codeBits_.assign(words_ * structures.size(), 0);
    for (std::size_t k = 0; k < structures.size(); ++k) {
        const std::vector<int32_t>& partner = tables_.adjacencyOf(k).partner;
        uint64_t* bits = codeBits_.data() + k * words_;
        for (const int32_t code : tables_.codesOf(k)) {
            for (const uint32_t end : {enteringEnd(code), leavingEnd(code)}) {
                // An end joins one other at most: each adjacency is listed from its smaller end.
                const int32_t other = partner[end];
                if (other > static_cast<int32_t>(end))
                    adjacencies_[k].emplace_back(end, static_cast<uint32_t>(other));
            }
        }
        for (const auto& [x, y] : adjacencies_[k]) {
            for (const uint32_t c : {x / 2, y / 2}) bits[c / 64] |= uint64_t{1} << (c % 64);
        }
    }
}

int32_t BreakpointTables::distance(std::size_t i, std::size_t j) const {
    if (!profiles_.empty()) return breakpointDistance(profiles_[i], profiles_[j]);
    const std::vector<int32_t>& partnerOfJ = tables_.adjacencyOf(j).partner;
    std::size_t shared = 0;
    for (const auto& [x, y] : adjacencies_[i]) shared += partnerOfJ[x] == static_cast<int32_t>(y);
    std::size_t codes = 0;
    const uint64_t* a = codeBits_.data() + i * words_;
    const uint64_t* b = codeBits_.data() + j * words_;
    for (std::size_t w = 0; w < words_; ++w)
        codes += static_cast<std::size_t>(std::popcount(a[w] ^ b[w]));
    return static_cast<int32_t>(adjacencies_[i].size() + adjacencies_[j].size() - 2 * shared +
                                codes);
}

}  // namespace varnet
