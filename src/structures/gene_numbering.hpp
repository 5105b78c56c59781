#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_name_table.hpp"

namespace varnet {

// Gene ids over a whole input (every new name takes the next id from 1) and copy numbers within
// the current structure, shared by every input format so that the same genomes get the same codes
// whichever way they are written.
class GeneNumbering {
public:
    // The code of one more occurrence of `name` in the current structure. Throws, starting the
    // message with `where`, when the code would not fit a gene end.
    int32_t code(std::string_view name, int orientation, const std::string& where);

    // Restarts the copy numbers for the next structure.
    void startStructure();

    // Gene id to name, with 0 to "0"; the numbering is spent afterwards.
    GeneNameTable takeNames();

private:
    GeneNameTable names_;
    std::unordered_map<std::string_view, int32_t> ids_;  // views into names_
    std::vector<int32_t> copies_{0};                     // per id; id 0 is unused
    std::vector<int32_t> touched_;
};

// Renumbers the gene codes of the structures densely, keeping their order and signs: the k-th
// smallest code present (from k = 0) becomes 10 * (k / 9) + k % 9 + 1, never a multiple of 10,
// so gene ends stay 10c + 1 and 10c + 2 while tables indexed by end need about ten entries per
// code present. Returns the original code of every dense code (index 0 holds 0).
std::vector<int32_t> numberCodesDensely(std::vector<ChromosomalStructure>& structures);

// The dense code of the k-th smallest code present (from k = 0).
inline int32_t denseCodeOfRank(std::size_t rank) {
    return static_cast<int32_t>(10 * (rank / 9) + rank % 9 + 1);
}

}  // namespace varnet
