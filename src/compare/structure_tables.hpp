#pragma once

#include <algorithm>
#include <boost/iterator/function_output_iterator.hpp>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "structures/adjacency.hpp"
#include "structures/chromosomal_structure.hpp"

namespace varnet {

// What the comparisons of one list of structures read of each structure, made once for the list:
// the codes it holds, and, where they fit, its adjacencies over the gene ends of the whole list.
//
// Per-vertex tables cover every end of the list (`vertexCount`). Adjacencies are kept only where
// that is few more ends than the two largest structures hold (at most `maxGrowth` times) and all
// of them take at most `maxKeptBytes`: a pair then reads its two tables as they are, and the work
// of a pair stays proportional to its genes either way.
class StructureTables {
public:
    static constexpr std::size_t maxKeptBytes = std::size_t{64} << 20;
    static constexpr std::size_t maxGrowth = 4;

    StructureTables(const std::vector<ChromosomalStructure>& structures, bool keepAdjacencies);

    // Entries a table indexed by gene end needs for any structure of the list.
    std::size_t vertexCount() const { return vertexCount_; }
    // The distinct absolute codes structure k holds, in increasing order.
    std::span<const int32_t> codesOf(std::size_t k) const { return codesOf_[k]; }
    // Structures holding the same codes share this number; numbers count from 0 in the order the
    // sets first appear.
    std::size_t codeSetOf(std::size_t k) const { return codeSetOf_[k]; }
    // The gene ends of structures i and j in increasing order: those of one structure when both
    // hold the same codes, else their union written into `room`. Sets `eachHoldsAll` to whether
    // each structure holds every one of them.
    std::span<const uint32_t> endsOfPair(std::size_t i, std::size_t j, std::vector<uint32_t>& room,
                                         bool& eachHoldsAll) const;
    bool keepsAdjacencies() const { return !adjacencies_.empty(); }
    const AdjacencyArray& adjacencyOf(std::size_t k) const { return adjacencies_[k]; }

private:
    std::size_t vertexCount_ = 0;
    std::vector<std::vector<int32_t>> codesOf_;
    std::vector<std::vector<uint32_t>> endsOf_;
    // Structures holding the same codes share a number: many files hold the same genes in every
    // genome, or a few gene sets.
    std::vector<std::size_t> codeSetOf_;
    // Where the list holds few more codes than its largest pair: the codes of each structure as
    // bits, `words_` words a structure, bit c for code c. No words otherwise.
    std::size_t words_ = 0;
    std::vector<uint64_t> codeBits_;
    std::vector<AdjacencyArray> adjacencies_;
};

// How many keys two lists of keys in increasing order, without repeats, have in common.
template <typename List>
std::size_t sharedKeyCount(const List& a, const List& b) {
    std::size_t shared = 0;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(),
                          boost::make_function_output_iterator([&](const auto&) { ++shared; }));
    return shared;
}

}  // namespace varnet
