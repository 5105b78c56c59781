#pragma once

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_name_table.hpp"

namespace varnet {

// Checks what adjacency arrays and joint graphs require of a structure before any is built:
// every chromosome holds at least one gene, and no gene name occurs more than 9 times (a tenth
// copy would take the code of the next gene id). Throws std::runtime_error naming the structure
// and the chromosome or gene; `table` supplies the gene names.
void validateForGraph(const ChromosomalStructure& structure, const GeneNameTable& table);

}  // namespace varnet
