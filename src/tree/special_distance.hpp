#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/joint_graph.hpp"
#include "structures/adjacency.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The special distance given to every pair with a structure that holds no chromosome.
constexpr double missingStructureDistance = 1000000.0;

// The structures with their gene codes numbered densely (`numberCodesDensely`: the solver makes
// the same decisions and finds the same costs), the gene ends of each in increasing order, and
// the vertex count that covers all.
struct StructureEnds {
    std::vector<ChromosomalStructure> numbered;
    std::vector<std::vector<uint32_t>> endsOf;
    std::size_t vertexCount = 0;
};

StructureEnds collectStructureEnds(const std::vector<ChromosomalStructure>& structures);

// Special distances of pairs of one structure list: the mean of the two solver costs, first
// structure into second and second into first. One calculator serves one thread; it keeps its
// per-vertex tables (adjacency arrays, joint-graph tables) from pair to pair, and the work of a
// pair is proportional to the genes of its two structures, not to the size of the tables.
class SpecialDistanceCalculator {
public:
    SpecialDistanceCalculator(const std::vector<ChromosomalStructure>& structures,
                              const StructureEnds& ends, const OperationWeights& weights);

    double distance(std::size_t i, std::size_t j);

private:
    double solvedCost();

    const std::vector<ChromosomalStructure>& structures_;
    const StructureEnds& ends_;
    OperationWeights weights_;
    AdjacencyArray first_;
    AdjacencyArray second_;
    JointGraphInput input_;
};

// The same distance computed from scratch, the way dist mode compares two structures.
double specialDistance(const ChromosomalStructure& a, const ChromosomalStructure& b,
                       const OperationWeights& weights);

}  // namespace varnet
