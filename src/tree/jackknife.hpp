#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/newick.hpp"

namespace varnet {

// The gene jackknife of tree mode: every replicate deletes a random share of the gene names from
// all structures, computes the distance matrix again and builds its tree by the same method; the
// support of a branch of the tree of all genes is the share of replicate trees that hold it.
struct JackknifeSettings {
    uint64_t replicates = 0;  // 0: no jackknife
    double fraction = 0.4;    // share of the gene names a replicate deletes, 0 < fraction < 1
    uint64_t seed = 1;
    bool operator==(const JackknifeSettings&) const = default;
};

// The genes present in the structures, in increasing order: what a replicate deletes, every copy
// of a name at once. Without `genes` (the file's table) every code counts as a gene of its own.
std::vector<int32_t> genesPresent(const std::vector<ChromosomalStructure>& structures,
                                  const GeneTable* genes);

// What a replicate (numbered from 1) draws: the names (numbers 0 .. geneCount-1) it deletes, in
// increasing order, fraction x geneCount of them rounded to the nearest whole number (halves away
// from zero), every subset of that size equally likely; then the order in which its tree method
// takes the structures, every order equally likely. The draw depends only on its arguments: it
// runs on std::mt19937_64, whose sequence the C++ standard fixes, seeded with the replicate-th
// output of SplitMix64 started at `seed`, and takes bounded numbers by rejection, not through a
// library distribution.
struct ReplicateDraw {
    std::vector<std::size_t> deletedGenes;
    std::vector<std::size_t> order;  // position k holds structure order[k]
};
ReplicateDraw drawReplicate(std::size_t geneCount, double fraction, std::size_t structureCount,
                            uint64_t seed, uint64_t replicate);

// Per node of a tree, whether the branch above it separates only identical structures, so that
// ties alone decide it: it has length 0 and one of its sides (the cluster below the node;
// unrooted, the other side too) holds structures of one group of `groups`, not the whole group.
std::vector<char> tiedBranches(const RootedTree& tree, const std::vector<std::size_t>& groups,
                               bool rooted);

// The structures without every code of the genes `deleted` (in increasing order; genes as
// `genesPresent` counts them). A chromosome left without genes is dropped, so a structure may be
// left without chromosomes.
std::vector<ChromosomalStructure> withoutGenes(const std::vector<ChromosomalStructure>& structures,
                                               const std::vector<int32_t>& deleted,
                                               const GeneTable* genes);

// Counts, for every inner branch of a main tree, the replicate trees over the same leaves that
// hold it. The branch above an inner node other than the root stands for the node's leaf set:
// in a rooted tree (UPGMA, Kruskal) a replicate holds it when one of its nodes has the same leaf
// set (the same cluster); in an unrooted tree (neighbour joining) when one of its branches
// splits the leaves into the same two sides (a branch with one leaf on a side is no inner branch
// of an unrooted tree). Leaves are compared by structure index, not name.
class SupportCounter {
public:
    SupportCounter(const RootedTree& main, std::size_t leafCount, bool rooted);

    void addReplicate(const RootedTree& replicate);

    // Per node of the main tree: the replicates holding its branch; 0 for a leaf and the root.
    const std::vector<uint64_t>& counts() const { return counts_; }
    // Per node of the main tree: round(100 x count / replicates) for a node with an inner branch
    // above it, -1 for the others (no replicate counted gives 0).
    std::vector<int32_t> percentages() const;
    // The structures the support table lists for the branch above `node` of the main tree, in
    // increasing order: the cluster below the node in a rooted tree, the smaller side of the split
    // in an unrooted one (of equal sides, the one without structure 0). Empty for a node without
    // an inner branch.
    std::vector<std::size_t> listedLeaves(std::size_t node) const;

private:
    using LeafSet = std::vector<uint64_t>;  // one bit per leaf

    // The leaf set of every branch of `tree`, with its node; an unrooted split is given by the
    // side without leaf 0.
    std::vector<std::pair<LeafSet, std::size_t>> branchesOf(const RootedTree& tree) const;

    std::size_t leafCount_;
    bool rooted_;
    std::vector<std::pair<LeafSet, std::size_t>> mainBranches_;  // sorted
    std::vector<std::size_t> branchOfNode_;  // node to its place in mainBranches_, or none
    std::vector<uint64_t> counts_;
    uint64_t replicates_ = 0;
};

// The support table: the header line "leaves", "replicates", "support", "identical"
// (tab-separated), then per inner branch of the main tree, in the order the Newick text opens its
// nodes: its listed leaves as Newick names, sorted and comma-separated, the replicates holding
// it, the percentage, and "yes" where `tied` marks the node (see `tiedBranches`), else "no".
void writeSupportFile(std::ostream& out, const SupportCounter& counter,
                      const std::vector<ChromosomalStructure>& structures,
                      const std::vector<char>& tied);

}  // namespace varnet
