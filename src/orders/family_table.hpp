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
    std::string id;
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
};

// Reads a table of gene families, telling its two layouts apart by the header:
// - tab-separated, first column "Orthogroup", then one column per genome; a cell lists that
//   genome's gene IDs separated by ", ";
// - comma-separated with optionally quoted fields (quoted fields may hold commas, line breaks and
//   doubled quotes), first columns "Gene", "Non-unique Gene name", "Annotation" and, in the
//   longer layout starting with "No. isolates", the further summary columns up to "Avg group
//   size nuc"; then one column per genome; a cell lists gene IDs separated by ';' (or tabs).
// Blank lines are skipped and line ends may be CRLF. Throws std::runtime_error naming `source`
// and the line for an unknown header, a row whose field count differs from the header's, an
// unnamed, empty or repeated genome column, a repeated family name, and a table without
// families.
FamilyTable readFamilyTable(std::istream& in, const std::string& source);

// The table in the file at `path`, plain or gzip-compressed.
FamilyTable readFamilyTableFile(const std::string& path);

}  // namespace varnet
