#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "compare/copy_pairing.hpp"
#include "compare/pair_settings.hpp"
#include "compare/structure_tables.hpp"
#include "graph/joint_graph.hpp"
#include "solver/chromosome_set.hpp"
#include "structures/adjacency.hpp"
#include "structures/chromosomal_structure.hpp"

namespace varnet {

// The special distance given to every pair with a structure that holds no chromosome.
constexpr double missingStructureDistance = 1000000.0;

// Special distances of pairs of one structure list: the mean of the two solver costs, first
// structure into second and second into first. One calculator serves one thread; it keeps its
// per-vertex tables (adjacency arrays, joint-graph tables) and the storage of the graph's and
// the solver's lists from pair to pair, and the work of a pair is proportional to the genes of
// its two structures, pairing copies by context included.
class SpecialDistanceCalculator {
public:
    // `tables` must be made for `structures` (with adjacencies kept, where they fit, for pairing
    // copies by order); both must outlive the calculator, as must `settings.genes` for pairing by
    // context.
    SpecialDistanceCalculator(const std::vector<ChromosomalStructure>& structures,
                              const StructureTables& tables, const PairSettings& settings);

    double distance(std::size_t i, std::size_t j);

private:
    // The sum of the two solver costs of the loaded pair, one direction then the other.
    double costOfLoadedBothWays();
    // The same for `first` and `second`, structures i and j of the list or their copies paired.
    double costBothWays(const ChromosomalStructure& first, const ChromosomalStructure& second);

    const std::vector<ChromosomalStructure>& structures_;
    const StructureTables& tables_;
    PairSettings settings_;
    // Pairing by context: the genes of each structure as the pairing reads them, once it is
    // compared, and structures i and j with their copies paired.
    std::vector<std::vector<CopyPairing::Occurrence>> genesOf_;
    CopyPairing pairer_;
    ChromosomalStructure pairedFirst_;
    ChromosomalStructure pairedSecond_;
    // The ends of either structure of the pair, in increasing order, in `endRoom_` or the
    // tables; whether each structure holds all of them.
    std::span<const uint32_t> pairEnds_;
    std::vector<uint32_t> endRoom_;
    bool eachHoldsAll_ = false;
    AdjacencyArray first_;
    AdjacencyArray second_;
    JointGraphInput input_;
    ChromosomeSet state_;  // the graph and solver lists of every pair, storage kept
};

}  // namespace varnet
