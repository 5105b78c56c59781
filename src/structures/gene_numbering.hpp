#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_name_table.hpp"

namespace varnet {

// Counts the copies of every id within one structure at a time, clearing only what it touched.
class CopyCounter {
public:
    explicit CopyCounter(std::size_t ids) : copies_(ids, 0) {}

    // Makes room for the next id.
    void addId() { copies_.push_back(0); }

    // The copy number, from 1, of one more occurrence of `id` in the current structure.
    int32_t next(std::size_t id) {
        if (copies_[id]++ == 0) touched_.push_back(id);
        return copies_[id];
    }

    // Starts the next structure.
    void restart() {
        for (const std::size_t id : touched_) copies_[id] = 0;
        touched_.clear();
    }

private:
    std::vector<int32_t> copies_;
    std::vector<std::size_t> touched_;
};

// Gene ids over a whole input (every new name takes the next id from 1) and copy numbers within
// the current structure, shared by every input format so that the same genomes get the same codes
// whichever way they are written.
class GeneNumbering {
public:
    // One more occurrence of `name` in the current structure, as its orientation times its gene
    // id; `finish` turns these into gene codes. Throws, starting the message with `where`, when
    // the codes of the input so far would not fit a gene end.
    int32_t code(std::string_view name, int orientation, const std::string& where);

    // Restarts the copy numbers for the next structure.
    void startStructure();

    // Replaces the signed ids of `structures` (all structures read, in order) by gene codes
    // (`numberCopies`) and returns the names by code group; the numbering is spent afterwards.
    GeneNameTable finish(std::vector<ChromosomalStructure>& structures);

private:
    GeneNameTable names_;                                // by gene id
    std::unordered_map<std::string_view, int32_t> ids_;  // views into names_
    CopyCounter copies_{1};                              // id 0 is unused
    std::vector<int32_t> mostCopies_{0};                 // per id in any structure so far
    int64_t groups_ = 0;                                 // code groups the codes so far need
};

// Turns genes written as orientation times gene id into gene codes. Copies of an id are numbered
// from 1 in reading order within each structure. Every id owns ceil(m / 9) consecutive code groups
// (code / 10), m being its largest copy count in any structure, and its k-th copy has the code
// 10 * (first group + (k - 1) / 9) + (k - 1) % 9 + 1, never a multiple of 10. So codes ascend
// with (gene id, copy number), whatever the number of copies, and with at most 9 copies of every
// id the code is 10 * id + copy. Returns the first code group of every id from 1 to the largest
// id present, then the group after the last (index 0 holds 1: ids own the groups from 1 on).
std::vector<int32_t> numberCopies(std::vector<ChromosomalStructure>& structures);

// Renumbers the gene codes of the structures densely, keeping their order and signs: the k-th
// smallest code present (from k = 0) becomes 10 * (k / 9) + k % 9 + 1, never a multiple of 10,
// so gene ends stay 10c + 1 and 10c + 2 while tables indexed by end need about ten entries per
// code present. Returns the original code of every dense code (index 0 holds 0).
std::vector<int32_t> numberCodesDensely(std::vector<ChromosomalStructure>& structures);

// The dense code of the k-th smallest code present (from k = 0).
inline int32_t denseCodeOfRank(std::size_t rank) {
    return static_cast<int32_t>(10 * (rank / 9) + rank % 9 + 1);
}
// The rank of a dense code, or of the absolute value of one: `denseCodeOfRank` undone.
inline uint32_t rankOfDenseCode(uint32_t code) {
    return 9 * (code / 10) + code % 10 - 1;
}
// The rank of every dense code below `codeCount`, by code, for lookups where a division per
// gene would cost; 0 for the multiples of 10, which are no dense code.
std::vector<uint32_t> ranksOfDenseCodes(std::size_t codeCount);

}  // namespace varnet
