#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"

namespace varnet {

// The most structures one file may announce; a larger count is rejected before anything is
// allocated for it.
constexpr int32_t maxStructureCount = 1000000;

// Reads the structure file at `path` into `structures` (file order) and `table` (the file's
// genes and codes). Throws "Failed to open file <path>" when the file cannot be opened, which
// leaves both outputs untouched; see `readStructures` for the format.
void readStructureFile(const std::string& path, std::vector<ChromosomalStructure>& structures,
                       GeneTable& table);

// Reads structures from text: a first line whose first word is the structure count N, then one
// structure per line: name, chromosome count K, then K pairs of a type token (C or L followed
// by the gene count) and a gene token (signed names written without spaces). ';' and ':'
// separate words like spaces. Lines missing at the end stand for structures with an empty name
// and no chromosomes. Genes number the distinct names of the whole input from 1; copy numbers
// count the occurrences of a name within one structure from 1; codes are `GeneTable`'s. Clears
// `table` first and replaces `structures` once everything has been read; throws std::runtime_error
// naming the line for a malformed count or gene token, and "invalid string position" for a missing
// type token. A line longer than `maxLineLength` is an error naming `source` and the line, read no
// further. Input that starts with a genome header ">name" (past blank and comment lines) is read in
// UniMoG or GRIMM style instead, into the same structures and table (readGeneOrderStructures).
void readStructures(std::istream& in, std::vector<ChromosomalStructure>& structures,
                    GeneTable& table, const std::string& source = "the structure input");

}  // namespace varnet
