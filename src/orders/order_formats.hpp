#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "orders/family_table.hpp"
#include "orders/gene_orders.hpp"

namespace varnet {

// The structure file formats varnet reads.
enum class OrderFormat { Native, UniMoG, Grimm };

// The format called `name`: "native", "unimog" or "grimm"; throws std::runtime_error otherwise.
OrderFormat orderFormatNamed(const std::string& name);

// Writes `genomes` as a structure file in `format`, genes named after their families:
// - native: the count line, then per genome "name: K; C3: +a-b+c; L1: +d" (C circular, L linear);
// - UniMoG: per genome a line ">name", then one line per chromosome, genes separated by spaces,
//   '-' before a reversed one, ending with ')' (circular) or '|' (linear);
// - GRIMM: the same with families numbered 1..n in order of first appearance, '@' ending a
//   circular and '$' a linear chromosome, after a header comment listing "# number name".
// Characters a format reserves in names (blanks, its separators, chromosome ends and comment
// marks) become '_'. Throws std::runtime_error naming both when two families or two genomes
// become equal that way, before anything is written.
void writeGeneOrders(std::ostream& out, const FamilyTable& table,
                     const std::vector<GeneOrder>& genomes, OrderFormat format);

}  // namespace varnet
