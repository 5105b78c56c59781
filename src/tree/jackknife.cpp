#include "tree/jackknife.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <utility>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// The output of SplitMix64 for the state `state` (Steele, Lea and Flood, 2014).
uint64_t splitMix64(uint64_t state) {
    uint64_t z = state + 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

// A number below `bound` (at least 1), every one equally likely: draws above the largest
// multiple of `bound` that fits 64 bits are drawn again.
uint64_t uniformBelow(std::mt19937_64& generator, uint64_t bound) {
    const uint64_t rejectedBelow = (0 - bound) % bound;  // 2^64 mod bound
    for (;;) {
        const uint64_t draw = generator();
        if (draw >= rejectedBelow) return draw % bound;
    }
}

int32_t geneOf(int32_t code, const GeneTable* genes) {
    return genes != nullptr ? genes->geneOf(code) : static_cast<int32_t>(absoluteCode(code));
}

bool hasBit(const std::vector<uint64_t>& set, std::size_t bit) {
    return (set[bit / 64] >> (bit % 64) & 1u) != 0;
}

}  // namespace

std::vector<int32_t> genesPresent(const std::vector<ChromosomalStructure>& structures,
                                  const GeneTable* genes) {
    std::vector<int32_t> present;
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes) present.push_back(geneOf(code, genes));
        }
    }
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    return present;
}

ReplicateDraw drawReplicate(std::size_t geneCount, double fraction, std::size_t structureCount,
                            uint64_t seed, uint64_t replicate) {
    // The state of SplitMix64 after `replicate` outputs is seed + replicate x its increment.
    std::mt19937_64 generator(splitMix64(seed + (replicate - 1) * 0x9E3779B97F4A7C15u));
    const auto count =
        std::min(static_cast<std::size_t>(std::llround(fraction * static_cast<double>(geneCount))),
                 geneCount);
    ReplicateDraw draw;
    // The first `count` places of a Fisher-Yates shuffle.
    std::vector<std::size_t>& genes = draw.deletedGenes;
    genes.resize(geneCount);
    for (std::size_t k = 0; k < geneCount; ++k) genes[k] = k;
    for (std::size_t k = 0; k < count; ++k)
        std::swap(genes[k], genes[k + uniformBelow(generator, geneCount - k)]);
    genes.resize(count);
    std::sort(genes.begin(), genes.end());
    // Then a whole shuffle of the structures.
    std::vector<std::size_t>& order = draw.order;
    order.resize(structureCount);
    for (std::size_t k = 0; k < structureCount; ++k) order[k] = k;
    for (std::size_t k = 0; k + 1 < structureCount; ++k)
        std::swap(order[k], order[k + uniformBelow(generator, structureCount - k)]);
    return draw;
}

std::vector<char> tiedBranches(const RootedTree& tree, const std::vector<std::size_t>& groups,
                               bool rooted) {
    const std::size_t count = tree.nodes.size();
    std::vector<char> tied(count, 0);
    if (count == 0) return tied;
    std::vector<std::size_t> groupSize(groups.size() + 1, 0);
    for (const std::size_t group : groups) ++groupSize[group];
    // The leaves in preorder; the leaves below node v are leaves[first[v] .. last[v]).
    std::vector<std::size_t> leaves;
    std::vector<std::size_t> first(count);
    std::vector<std::size_t> last(count);
    for (std::size_t v = 0; v < count; ++v) {
        first[v] = leaves.size();
        if (tree.nodes[v].leaf >= 0)
            leaves.push_back(groups[static_cast<std::size_t>(tree.nodes[v].leaf)]);
    }
    for (std::size_t v = count; v-- > 0;) {
        const std::vector<int32_t>& children = tree.nodes[v].children;
        last[v] = children.empty() ? first[v] + 1 : last[static_cast<std::size_t>(children.back())];
    }
    const std::size_t n = leaves.size();
    // runEnd[k]: the end of the run of leaves of leaves[k]'s group that starts at k.
    std::vector<std::size_t> runEnd(n + 1, n);
    for (std::size_t k = n; k-- > 0;)
        runEnd[k] = k + 1 < n && leaves[k + 1] == leaves[k] ? runEnd[k + 1] : k + 1;
    for (std::size_t v = 1; v < count; ++v) {
        if (tree.nodes[v].length != 0 || tree.nodes[v].children.empty()) continue;
        const std::size_t lo = first[v];
        const std::size_t hi = last[v];
        if (runEnd[lo] >= hi && hi - lo < groupSize[leaves[lo]]) tied[v] = 1;
        if (rooted || (lo == 0 && hi == n)) continue;
        // The other side, leaves[0 .. lo) and leaves[hi .. n), of one group.
        const std::size_t group = lo > 0 ? leaves[0] : leaves[hi];
        const bool before = lo == 0 || runEnd[0] >= lo;
        const bool after = hi == n || (runEnd[hi] == n && leaves[hi] == group);
        if (before && after && n - (hi - lo) < groupSize[group]) tied[v] = 1;
    }
    return tied;
}

std::vector<ChromosomalStructure> withoutGenes(const std::vector<ChromosomalStructure>& structures,
                                               const std::vector<int32_t>& deleted,
                                               const GeneTable* genes) {
    std::vector<ChromosomalStructure> result;
    result.reserve(structures.size());
    for (const ChromosomalStructure& structure : structures) {
        ChromosomalStructure& kept = result.emplace_back();
        kept.name = structure.name;
        for (const Chromosome& chromosome : structure.chromosomes) {
            Chromosome reduced{chromosome.circular, {}};
            reduced.genes.reserve(chromosome.genes.size());
            for (const int32_t code : chromosome.genes) {
                if (!std::binary_search(deleted.begin(), deleted.end(), geneOf(code, genes)))
                    reduced.genes.push_back(code);
            }
            if (!reduced.genes.empty()) kept.chromosomes.push_back(std::move(reduced));
        }
    }
    return result;
}

SupportCounter::SupportCounter(const RootedTree& main, std::size_t leafCount, bool rooted)
    : leafCount_(leafCount), rooted_(rooted), counts_(main.nodes.size(), 0) {
    mainBranches_ = branchesOf(main);
    std::sort(mainBranches_.begin(), mainBranches_.end());
    branchOfNode_.assign(main.nodes.size(), mainBranches_.size());
    for (std::size_t k = 0; k < mainBranches_.size(); ++k)
        branchOfNode_[mainBranches_[k].second] = k;
}

std::vector<std::pair<SupportCounter::LeafSet, std::size_t>> SupportCounter::branchesOf(
    const RootedTree& tree) const {
    const std::size_t words = (leafCount_ + 63) / 64;
    // Children follow their parent, so a reverse pass sees every node after its children.
    std::vector<LeafSet> below(tree.nodes.size(), LeafSet(words, 0));
    for (std::size_t v = tree.nodes.size(); v-- > 0;) {
        const RootedTree::Node& node = tree.nodes[v];
        if (node.leaf >= 0) {
            const auto leaf = static_cast<std::size_t>(node.leaf);
            below[v][leaf / 64] |= uint64_t{1} << (leaf % 64);
        }
        if (node.parent < 0) continue;
        LeafSet& parent = below[static_cast<std::size_t>(node.parent)];
        for (std::size_t w = 0; w < words; ++w) parent[w] |= below[v][w];
    }
    std::vector<std::pair<LeafSet, std::size_t>> branches;
    for (std::size_t v = 0; v < tree.nodes.size(); ++v) {
        if (tree.nodes[v].parent < 0 || tree.nodes[v].children.empty()) continue;
        LeafSet set = std::move(below[v]);
        if (!rooted_) {
            if (hasBit(set, 0)) {
                for (std::size_t w = 0; w < words; ++w) set[w] = ~set[w];
                if (leafCount_ % 64 != 0) set.back() &= (uint64_t{1} << (leafCount_ % 64)) - 1;
            }
            // A side of one leaf is a leaf's own branch, which every tree holds.
            std::size_t size = 0;
            for (const uint64_t word : set) size += static_cast<std::size_t>(std::popcount(word));
            if (size < 2 || size + 2 > leafCount_) continue;
        }
        branches.emplace_back(std::move(set), v);
    }
    return branches;
}

void SupportCounter::addReplicate(const RootedTree& replicate) {
    ++replicates_;
    std::vector<std::pair<LeafSet, std::size_t>> branches = branchesOf(replicate);
    std::sort(branches.begin(), branches.end());
    // A replicate counts once for a branch, even if two of its own branches give the same set.
    for (std::size_t k = 0; k < branches.size(); ++k) {
        if (k > 0 && branches[k].first == branches[k - 1].first) continue;
        auto match = std::lower_bound(mainBranches_.begin(), mainBranches_.end(), branches[k].first,
                                      [](const std::pair<LeafSet, std::size_t>& entry,
                                         const LeafSet& set) { return entry.first < set; });
        for (; match != mainBranches_.end() && match->first == branches[k].first; ++match)
            ++counts_[match->second];
    }
}

std::vector<int32_t> SupportCounter::percentages() const {
    std::vector<int32_t> result(counts_.size(), -1);
    for (const auto& [set, node] : mainBranches_) {
        // round(100 x count / replicates), halves up, in whole numbers.
        result[node] =
            replicates_ == 0
                ? 0
                : static_cast<int32_t>((200 * counts_[node] + replicates_) / (2 * replicates_));
    }
    return result;
}

std::vector<std::size_t> SupportCounter::listedLeaves(std::size_t node) const {
    std::vector<std::size_t> side;
    if (branchOfNode_[node] == mainBranches_.size()) return side;
    const LeafSet& set = mainBranches_[branchOfNode_[node]].first;
    std::vector<std::size_t> other;
    for (std::size_t leaf = 0; leaf < leafCount_; ++leaf)
        (hasBit(set, leaf) ? side : other).push_back(leaf);
    // An unrooted split is held as its side without structure 0.
    if (!rooted_ && other.size() < side.size()) return other;
    return side;
}

void writeSupportFile(std::ostream& out, const SupportCounter& counter,
                      const std::vector<ChromosomalStructure>& structures,
                      const std::vector<char>& tied) {
    const std::vector<int32_t> percentages = counter.percentages();
    out << "leaves\treplicates\tsupport\tidentical\n";
    for (std::size_t v = 0; v < percentages.size(); ++v) {
        if (percentages[v] < 0) continue;
        std::vector<std::string> names;
        for (const std::size_t leaf : counter.listedLeaves(v))
            names.push_back(newickName(structures[leaf].name));
        std::sort(names.begin(), names.end());
        for (std::size_t k = 0; k < names.size(); ++k) out << (k > 0 ? "," : "") << names[k];
        out << '\t' << counter.counts()[v] << '\t' << percentages[v] << '\t'
            << (tied[v] ? "yes" : "no") << '\n';
    }
}

}  // namespace varnet
