#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace varnet {

// One gene of a family: its ID as the table lists it, in the column of one genome.
struct FamilyMember {
    std::size_t genome;  // index into FamilyTable::genomes
    std::string id;      // the ID of the gene's feature in the GFF (of its first fragment)
    // The IDs of further fragments that the table merged into this gene, in the cell's order.
    std::vector<std::string> fragments = {};
};

// One row of the table: a family of homologous genes.
struct Family {
    std::string name;                   // the first column, as written
    int64_t line;                       // the line its row starts on
    std::vector<FamilyMember> members;  // in column order, then in the order of each cell
};

struct FamilyTable {
    std::vector<std::string> genomes;  // the genome columns' names, in column order
    std::vector<Family> families;      // in row order
    // Per genome column, the genes listed only by IDs that name no feature of its GFF (Panaroo's
    // refound genes); they are not members.
    std::vector<std::size_t> unplaced;
};

// Reads a table of gene families, telling its layouts apart by the header:
// - OrthoFinder's: tab-separated, first column "Orthogroup", then one column per genome; a cell
//   lists that genome's gene IDs separated by ", ";
// - a gene presence/absence table: comma-separated with optionally quoted fields (quoted fields
//   may hold commas, line breaks and doubled quotes), first columns "Gene", "Non-unique Gene
//   name", "Annotation"; in Roary's layout the summary columns from "No. isolates" follow (up to
//   "QC" in Roary before late 2015, up to "Avg group size nuc" since), then one column per
//   genome, a cell listing paralogues separated by tabs (or ';'); in Panaroo's layout the genome
//   columns follow at once, a cell listing genes separated by tabs, each gene's fragments that
//   Panaroo merged into one separated by ';'. In both, an ID with Panaroo's suffix "_len" or
//   "_stop" stands for the ID before it, and an ID holding "_refound_" names a gene that Panaroo
//   found in the sequence but not in the GFF: such fragments are dropped, and a gene of nothing
//   else is counted in FamilyTable::unplaced.
// Blank lines are skipped and line ends may be CRLF. Throws std::runtime_error naming `source`
// and the line for an unknown header, a row whose field count differs from the header's, an
// unnamed, empty or repeated genome column, a repeated family name, and a table without
// families.
FamilyTable readFamilyTable(std::istream& in, const std::string& source);

// The table in the file at `path`, plain or gzip-compressed.
FamilyTable readFamilyTableFile(const std::string& path);

}  // namespace varnet
