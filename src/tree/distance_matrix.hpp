#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

// N rows of N distances, row and column k for the k-th structure of the file; symmetric, with
// a zero diagonal.
using DistanceMatrix = std::vector<std::vector<double>>;

// An n x n matrix of zeros. Throws a clear error instead of exhausting memory when the matrix of
// tree mode, with the working memory a tree method adds to it, would not fit in the machine's
// physical memory or cannot be allocated.
DistanceMatrix makeDistanceMatrix(std::size_t n);
// Throws that error where an n x n matrix would not fit; keeps nothing allocated.
void checkDistanceMatrixFits(std::size_t n);

// Calls visit(i, j) for every pair i < j of n, a square of pairs at a time: work on the cell
// (i, j) and its mirror (j, i) then finds the few rows a square touches in the cache, where a
// pass row by row would fetch a line of another row for every mirror cell.
template <typename Visit>
void forEachPairBySquares(std::size_t n, Visit visit) {
    constexpr std::size_t side = 32;
    for (std::size_t top = 0; top < n; top += side) {
        const std::size_t bottom = std::min(n, top + side);
        for (std::size_t left = top; left < n; left += side) {
            const std::size_t right = std::min(n, left + side);
            for (std::size_t i = top; i < bottom; ++i) {
                for (std::size_t j = std::max(left, i + 1); j < right; ++j) visit(i, j);
            }
        }
    }
}

// The adjacencies and the genes of one structure as integer keys, each list sorted and without
// repeats, for the breakpoint distance.
struct AdjacencyProfile {
    std::string name;
    std::vector<uint64_t> adjacencies;
    std::vector<uint32_t> genes;  // only genes that take part in some adjacency
};

// The absolute gene code.
uint32_t geneKey(int32_t code);

// The key of the adjacency "a followed by b": the unordered pair of the leaving end of a and the
// entering end of b, so that reading the adjacency from either side gives the same key. A code of
// 0 counts as negative. Distinct for all codes below 2^31 in absolute value.
uint64_t adjacencyKey(int32_t a, int32_t b);

std::vector<AdjacencyProfile> buildAdjacencyProfiles(
    const std::vector<ChromosomalStructure>& structures);

// Keys of either profile missing from the other, adjacencies and genes alike.
int32_t breakpointDistance(const AdjacencyProfile& a, const AdjacencyProfile& b);

// The breakpoint distances of the pairs of one structure list. Where the file's gene codes are
// few enough, each structure's adjacencies are kept as a table of partners over gene ends, so that
// a pair costs one pass over one structure's adjacencies and over the bits of the genes; otherwise
// the pair's sorted profiles are merged.
class BreakpointTables {
public:
    explicit BreakpointTables(const std::vector<ChromosomalStructure>& structures);
    // The breakpoint distance of structures i and j, as `breakpointDistance` gives it.
    int32_t distance(std::size_t i, std::size_t j) const;

    // The memory the tables may take, and how many times the ends of the largest pair their
    // ends may be, for them to be built.
    static constexpr std::size_t maxTableBytes = std::size_t{64} << 20;
    static constexpr std::size_t maxTableGrowth = 4;

private:
    std::vector<AdjacencyProfile> profiles_;  // where no table is built
    std::size_t vertexCount_ = 0;
    std::size_t words_ = 0;
    std::vector<uint32_t>
        partners_;  // vertexCount_ a structure: the other end of an adjacency, or 0
    std::vector<std::vector<std::pair<uint32_t, uint32_t>>> adjacencies_;  // ends, smaller first
    std::vector<uint64_t> geneBits_;  // words_ a structure: the genes that take part in one
};

// special * specialWeight + breakpointWeight * breakpoint distance, cell by cell, in the special
// matrix itself: the breakpoint distances are computed pair by pair, never held as a matrix of
// their own. With a breakpoint weight of 0 none is computed: they are counts, never negative, so
// the weighted term is that same zero whatever they are.
void combineWithBreakpointDistances(DistanceMatrix& special, double specialWeight,
                                    const std::vector<ChromosomalStructure>& structures,
                                    double breakpointWeight);

}  // namespace varnet
