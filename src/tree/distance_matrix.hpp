#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

// Numbers n items by classes of equal ones, in the order of each class's first item: per item, its
// class. Only items of the same `hashOf` are compared with `equal`, an equivalence.
template <typename Hash, typename Equal>
std::vector<std::size_t> equalClasses(std::size_t n, Hash hashOf, Equal equal) {
    std::vector<std::pair<uint64_t, std::size_t>> hashed(n);
    for (std::size_t k = 0; k < n; ++k) hashed[k] = {hashOf(k), k};
    std::sort(hashed.begin(), hashed.end());
    // Per item, the first item of its class; within a hash the items come in order.
    std::vector<std::size_t> firstOf(n);
    for (std::size_t start = 0, end = 0; start < n; start = end) {
        while (end < n && hashed[end].first == hashed[start].first) ++end;
        for (std::size_t a = start; a < end; ++a) {
            const std::size_t q = hashed[a].second;
            firstOf[q] = q;
            for (std::size_t b = start; b < a && firstOf[q] == q; ++b) {
                const std::size_t p = hashed[b].second;
                if (firstOf[p] == p && equal(p, q)) firstOf[q] = p;
            }
        }
    }
    std::vector<std::size_t> classOf(n);
    std::size_t count = 0;
    for (std::size_t k = 0; k < n; ++k)
        classOf[k] = firstOf[k] == k ? count++ : classOf[firstOf[k]];
    return classOf;
}

// The rows of `matrix` in groups of equal rows at distance 0 from each other (so at the same
// distance from every other row): per row, the number of its group, groups numbered in the order
// of their first rows. With `sameBits`, cells are compared bit for bit (0 and -0 differ),
// otherwise by value.
std::vector<std::size_t> identicalGroups(const DistanceMatrix& matrix, bool sameBits = false);

// special * specialWeight + breakpointWeight * breakpoint distance, cell by cell, in the special
// matrix itself: the breakpoint distances are computed pair by pair, never held as a matrix of
// their own. With a breakpoint weight of 0 none is computed: they are counts, never negative, so
// the weighted term is that same zero whatever they are.
void combineWithBreakpointDistances(DistanceMatrix& special, double specialWeight,
                                    const std::vector<ChromosomalStructure>& structures,
                                    double breakpointWeight);

}  // namespace varnet
