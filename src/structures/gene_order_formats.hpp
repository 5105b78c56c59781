#pragma once

#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"

namespace varnet {

// Looks at the start of an input to tell the structure formats apart, then serves the whole
// input again from its first byte. The native format starts with a count; the gene-order formats
// (UniMoG and GRIMM) start with a genome header ">name", possibly after blank lines and comment
// lines (first non-blank characters "#" or "//"). At most a bounded prefix is held back.
class FormatLookahead : private std::streambuf {
public:
    explicit FormatLookahead(std::istream& in);
    FormatLookahead(const FormatLookahead&) = delete;
    FormatLookahead& operator=(const FormatLookahead&) = delete;

    bool startsWithGenomeHeader() const { return genomeHeader_; }
    // The input from its first byte, the looked-at prefix included.
    std::istream& stream() { return stream_; }

private:
    int_type underflow() override;

    std::istream& in_;
    std::string prefix_;
    bool genomeHeader_ = false;
    std::vector<char> chunk_;
    std::istream stream_;
};

// Reads genomes in UniMoG or GRIMM style, told apart by the chromosome ends the file uses.
// Both start a genome with a line ">name" (the first word after '>'; the rest of the line is
// ignored) and write genes separated by whitespace, a leading '-' for reverse orientation ('+'
// may mark forward).
// - UniMoG: a chromosome ends with '|' (linear) or ')' (circular); "//" starts a comment.
// - GRIMM: genes are signed integers; '$' ends a linear chromosome and '@' a circular one; genes
//   left without an end at the end of a line form one linear chromosome; '#' starts a comment.
// Gene names are kept as written (GRIMM numbers without leading zeros), and genes are numbered
// as in the native format, so a converted file gives the same structures. Throws
// std::runtime_error naming the line for anything else, and names `source` and the line for a
// line longer than `maxLineLength`.
void readGeneOrderStructures(std::istream& in, std::vector<ChromosomalStructure>& structures,
                             GeneTable& table, const std::string& source = "the input");

}  // namespace varnet
