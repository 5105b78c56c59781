#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"

namespace varnet {

// Counts the copies of every gene within one structure at a time, clearing only what it touched.
class CopyCounter {
public:
    explicit CopyCounter(std::size_t genes) : copies_(genes, 0) {}

    // Makes room for the next gene.
    void addGene() { copies_.push_back(0); }

    // The copy number, from 1, of one more occurrence of `gene` in the current structure.
    int32_t next(std::size_t gene) {
        if (copies_[gene]++ == 0) touched_.push_back(gene);
        return copies_[gene];
    }

    // Starts the next structure.
    void restart() {
        for (const std::size_t gene : touched_) copies_[gene] = 0;
        touched_.clear();
    }

private:
    std::vector<int32_t> copies_;
    std::vector<std::size_t> touched_;
};

// Genes over a whole input (every new name takes the next number from 1) and copy numbers within
// the current structure, shared by every input format so that the same genomes get the same codes
// whichever way they are written.
class GeneNumbering {
public:
    // One more occurrence of `name` in the current structure, as its orientation times its gene;
    // `finish` turns these into gene codes. Throws, starting the message with `where`, when the
    // codes of the input so far would not fit a gene end.
    int32_t code(std::string_view name, int orientation, const std::string& where);

    // Restarts the copy numbers for the next structure.
    void startStructure() { copies_.restart(); }

    // Replaces the signed genes of `structures` (all structures read, in order) by gene codes
    // and returns the table of the input's genes; the numbering is spent afterwards.
    GeneTable finish(std::vector<ChromosomalStructure>& structures);

private:
    std::deque<std::string> names_{"0"};                 // by gene; a deque never moves them
    std::unordered_map<std::string_view, int32_t> ids_;  // views into names_
    CopyCounter copies_{1};                              // gene 0 is unused
    std::vector<int32_t> mostCopies_{0};                 // per gene in any structure so far
    int64_t codes_ = 0;                                  // codes the input so far needs
};

// Turns the genes of `structures`, written as orientation times gene, into the codes of
// `GeneTable` (copies numbered from 1 in reading order within each structure), and returns the
// most copies of each gene in one structure (by gene, entry 0 unused).
std::vector<int32_t> numberCopies(std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
