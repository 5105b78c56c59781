#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "graph/joint_graph.hpp"
#include "solver/chromosome_set.hpp"
#include "structures/adjacency.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/copy_matching.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The special distance given to every pair with a structure that holds no chromosome.
constexpr double missingStructureDistance = 1000000.0;

// The structures with their gene codes numbered densely over the file (`numberCodesDensely`:
// the solver makes the same decisions and finds the same costs), the distinct absolute codes of
// each in increasing order, and the table sizes that cover every code and every pair. Pairs are
// compared on compact ends (`EndNumbering::compact`): of the code's rank in the file or in the
// pair.
struct StructureCodes {
    std::vector<ChromosomalStructure> numbered;
    std::vector<int32_t> originals;  // the file's code of every dense code
    std::vector<std::vector<int32_t>> codesOf;
    std::size_t codeCount = 0;    // largest code + 1
    std::size_t vertexCount = 0;  // largest compact end of a pair numbered on its own + 1
    // Where the file's codes cover few more ends than its largest pair holds (at most
    // `maxKeptAdjacencyGrowth` times as many), pairs are compared with the file's codes rather
    // than numbered on their own: the table length that covers every end of the file, the rank
    // of every code in the file, the codes each structure holds as a set of bits (`codeWords`
    // words a structure, bit r for the code of rank r), and the compact ends each holds in
    // increasing order. 0 and empty otherwise.
    std::size_t fileVertexCount = 0;
    std::vector<uint32_t> rankOf;
    std::size_t codeWords = 0;
    std::vector<uint64_t> codeBits;
    std::vector<std::vector<uint32_t>> endsOf;
    // Pairing copies by order, and where they fit in `maxKeptAdjacencyBytes`: the adjacencies of
    // each structure with the file's codes. Empty otherwise.
    std::vector<AdjacencyArray> adjacencies;
};

// The memory all structures' adjacencies written with the file's codes may take, and how many
// times a pair's own table they may each be, for them to be kept.
constexpr std::size_t maxKeptAdjacencyBytes = std::size_t{64} << 20;
constexpr std::size_t maxKeptAdjacencyGrowth = 4;

StructureCodes collectStructureCodes(const std::vector<ChromosomalStructure>& structures,
                                     CopyRule copies);

// Special distances of pairs of one structure list: the mean of the two solver costs, first
// structure into second and second into first. One calculator serves one thread; it keeps its
// per-vertex tables (adjacency arrays, joint-graph tables) and the storage of the graph's and
// the solver's lists from pair to pair. Where the file's codes cover few more ends than its
// largest pair (`StructureCodes::fileVertexCount`), pairs keep those codes, and with copies paired
// by order read the adjacencies kept for each structure; otherwise each pair's codes are numbered
// densely once more over the two structures alone. Either way the tables are sized to about the
// two largest structures, not to the gene names of the file, and the work of a pair is
// proportional to the genes of its two structures. Pairing copies by context costs up to
// `maxPairingsTried` such pairs of solver runs for a pair whose copies leave a choice.
class SpecialDistanceCalculator {
public:
    SpecialDistanceCalculator(const std::vector<ChromosomalStructure>& structures,
                              const StructureCodes& codes, const PairSettings& settings);

    double distance(std::size_t i, std::size_t j);

private:
    double solvedCost();
    // The sum of the two solver costs of the loaded pair, one direction then the other; where
    // the sum is not below `below`, it may stop after the first.
    double costOfLoadedBothWays(double below);
    // The sum of the two solver costs of structures i and j written as `first` and `second`
    // (with the file's dense codes).
    // Where the sum is not below `below`, it may stop after the first run and give that run's
    // cost (also not below it).
    double costBothWays(std::size_t i, const ChromosomalStructure& first, std::size_t j,
                        const ChromosomalStructure& second,
                        double below = std::numeric_limits<double>::infinity());
    // Ranks the codes of structures i and j over the two (into `pairRank_`), and lists the
    // compact ends of the pair (`pairEnds_`).
    void numberPair(std::size_t i, std::size_t j);
    // Room for `count` ends in `endRoom_`.
    uint32_t* endRoom(std::size_t count);
    // Lists the compact ends of structures i and j with the file's codes (`pairEnds_`), and whether
    // each holds all of them.
    void listFileEnds(std::size_t i, std::size_t j);
    // The adjacencies of structure k, written as `source`, with the pair's codes.
    void fillPairAdjacency(std::size_t k, const ChromosomalStructure& source,
                           AdjacencyArray& adjacency) const;

    const std::vector<ChromosomalStructure>& structures_;
    const StructureCodes& codes_;
    OperationWeights weights_;
    bool nonNegativeWeights_ = false;
    CopyRule copies_;
    std::vector<int32_t> geneOfCode_;  // by the file's dense code, when pairing by context
    // The genes of each structure as the pairing reads them, once it is compared.
    std::vector<std::vector<CopyPairing::Occurrence>> genesOf_;
    ContextPairer pairer_;
    ChromosomalStructure pairedFirst_;  // structures i and j with their copies paired by context
    ChromosomalStructure pairedSecond_;
    bool fileCodes_ = false;          // pairs keep the file's codes (`fileVertexCount`)
    std::vector<uint32_t> pairRank_;  // otherwise, by the file's code: its rank in the pair
    // The ends of either structure of the pair, in increasing order, in `endRoom_`.
    std::span<const uint32_t> pairEnds_;
    std::vector<uint32_t> endRoom_;
    bool eachHoldsAll_ = false;  // whether each structure holds every end of the pair
    AdjacencyArray first_;
    AdjacencyArray second_;
    JointGraphInput input_;
    ChromosomeSet state_;  // the graph and solver lists of every pair, storage kept
};

}  // namespace varnet
