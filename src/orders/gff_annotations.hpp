#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace varnet {

// A gene of an annotation as the family table knows it.
struct AnnotatedGene {
    std::string id;  // the ID the table lists
    int64_t start;   // of the feature's first line
    bool reverse;    // on the minus strand
};

// One annotated sequence (a chromosome, plasmid or contig) with its genes in order of start.
struct AnnotatedSequence {
    std::string id;
    bool circular;  // its "region" feature says Is_circular=true
    std::vector<AnnotatedGene> genes;
};

struct GenomeAnnotation {
    // The sequences holding at least one gene of the table, in order of first mention.
    std::vector<AnnotatedSequence> sequences;
    // Features of the gene types whose IDs the table does not list, each counted once.
    std::size_t leftOut = 0;
    // The number of distinct IDs of the table found.
    std::size_t idsFound = 0;
    // The number of those found at more than one place (features that are not one), each place
    // a gene.
    std::size_t idsAtSeveralPlaces = 0;
};

struct GffSettings {
    std::vector<std::string> types{"CDS"};  // feature types that are genes
    // Attributes that may hold a gene's ID, tried in this order; the first value the table
    // lists is the gene's ID.
    std::vector<std::string> idAttributes{"ID", "locus_tag", "protein_id", "Name"};
};

// Whether the family table lists a gene ID for the genome being read.
using ListedId = std::function<bool(std::string_view)>;

// Reads the genes of one GFF3 annotation: features of `settings.types` whose ID (see
// `GffSettings::idAttributes`; attribute values are percent-decoded) is `listed`. Lines are one
// feature when they say so: they share their "ID" or a "Parent" (exons, a piece on each side of
// the origin), or one of them has neither; such a feature counts once, at the position of its
// first line. Features that are not one but carry the same listed ID (a protein annotated at two
// places) are each a gene. Genes are ordered by start, features starting together in file
// order. "##FASTA" or a line starting with '>' ends the features; comment and blank lines are
// skipped, CRLF line ends accepted. Throws std::runtime_error naming `source` and the line for a
// feature line with fewer than 9 tab-separated columns, a start or end that is not a whole
// number from 1 or a start after the end, a strand other than '+', '-', '.' or '?', and a gene
// of the table without a strand.
GenomeAnnotation readGff(std::istream& in, const std::string& source, const GffSettings& settings,
                         const ListedId& listed);

// The annotation in the file at `path`, plain or gzip-compressed.
GenomeAnnotation readGffFile(const std::string& path, const GffSettings& settings,
                             const ListedId& listed);

// An attribute of an annotation's genes and the number of its distinct values that are listed.
struct AttributeMatch {
    std::string name;
    std::size_t listed;
    bool operator==(const AttributeMatch&) const = default;
};

// The attribute matches of the annotation in the file at `path`, plain or gzip-compressed.
std::vector<AttributeMatch> matchAttributesInFile(const std::string& path,
                                                  const std::vector<std::string>& types,
                                                  const ListedId& listed);

}  // namespace varnet
