#include "tree/distance_matrix.hpp"

#include <unistd.h>

#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "compare/breakpoint_distance.hpp"

namespace varnet {
namespace {

// Tree mode holds one matrix: the special distances, combined with the breakpoint distances in
// place, then the working memory of the tree method, which adds at most this part of one.
constexpr std::size_t treeMethodShare = 8;

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

std::vector<std::size_t> identicalGroups(const DistanceMatrix& matrix, bool sameBits) {
    const std::size_t n = matrix.size();
    // Hashed by their values, 0 and -0 alike.
    const auto hashOf = [&](std::size_t p) {
        uint64_t hash = 0;
        for (const double cell : matrix[p]) {
            hash = (hash ^ std::bit_cast<uint64_t>(cell == 0 ? 0.0 : cell)) * 0x100000001B3u +
                   0x9E3779B97F4A7C15u;
        }
        return hash;
    };
    return equalClasses(n, hashOf, [&](std::size_t p, std::size_t q) {
        if (!sameBits) return matrix[p][q] == 0 && matrix[p] == matrix[q];
        return std::bit_cast<uint64_t>(matrix[p][q]) == 0 &&
               std::memcmp(matrix[p].data(), matrix[q].data(), n * sizeof(double)) == 0;
    });
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
