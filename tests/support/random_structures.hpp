#pragma once

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "structures/structure_reader.hpp"

namespace varnet::testing {

struct GeneratorOptions {
    int geneCount = 12;                // distinct gene names, ids 1..geneCount, named g<id>
    int maxChromosomes = 3;            // chromosomes per structure, at least one
    double circularRate = 0.3;         // chance that a chromosome is circular
    double duplicateRate = 0.1;        // chance that a gene occurs a second time
    double missingRate = 0.15;         // chance that a gene is dropped from one structure
    double wholeChromosomeRate = 0.1;  // chance of an extra chromosome only one structure holds
    int rearrangements = 3;  // random inversions and moves applied to the second structure
    int manyCopies = 0;      // names given 10 to 40 copies besides
};

// Numbers the genes of `structures`, written as sign * gene id, as the reader numbers a file
// holding them, and returns the table of their genes, gene id k named g<k>.
GeneTable numberGenerated(std::vector<ChromosomalStructure>& structures);

// Two related structures with codes as the reader would give them for a file of the two (into
// `genes` when given), named "A" and "B". Genes of one structure may be missing from the other;
// chromosomes may be circular; names may repeat.
std::pair<ChromosomalStructure, ChromosomalStructure> generatePair(std::mt19937& random,
                                                                   const GeneratorOptions& options,
                                                                   GeneTable* genes = nullptr);

// `count` structures of generated pairs, every third pair holding a name in more than 9 copies,
// named genome_1000, genome_1001, ... in order, numbered as one file (its genes into `genes`).
std::vector<ChromosomalStructure> generateNamedStructures(uint32_t seed, std::size_t count,
                                                          GeneTable* genes = nullptr);

// What the structure reader makes of a text.
struct ReadResult {
    std::vector<ChromosomalStructure> structures;
    GeneTable table;
};

inline ReadResult readText(const std::string& text) {
    ReadResult result;
    std::istringstream in(text);
    readStructures(in, result.structures, result.table);
    return result;
}

}  // namespace varnet::testing
