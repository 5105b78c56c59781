#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "structures/gene_code.hpp"

namespace varnet {

// The genes of one structure file. Genes are numbered from 1 in the order their names first
// appear; a gene code numbers one (gene, copy number) that some structure holds, from 1 in
// increasing order of gene, then copy, so that the codes of a gene are consecutive and ascend
// with its copies. Gene 0 and code 0 stand for no gene and are named "0". Made once when the
// structures are read; every comparison, printer and jackknife replicate of the file reads it.
class GeneTable {
public:
    GeneTable() = default;
    // `names[g]` is the name of gene g (from 1; entry 0 is ignored) and `copies[g]` the most
    // copies of it that one structure holds.
    GeneTable(std::vector<std::string> names, const std::vector<int32_t>& copies);

    // Genes, and the largest gene code.
    std::size_t geneCount() const { return names_.size() - 1; }
    std::size_t codeCount() const { return geneOf_.size() - 1; }

    // The gene, copy number and name of a code of either sign; throws for a code beyond the table.
    int32_t geneOf(int32_t code) const { return geneOf_[checked(code)]; }
    int32_t copyOf(int32_t code) const {
        const uint32_t c = checked(code);
        return static_cast<int32_t>(c) - firstCode_[static_cast<std::size_t>(geneOf_[c])] + 1;
    }
    const std::string& nameOf(int32_t code) const {
        return names_[static_cast<std::size_t>(geneOf(code))];
    }
    const std::string& geneName(std::size_t gene) const { return names_[gene]; }
    // The place, from 1, of the gene of a code among the genes in the order of their names: a
    // number for the gene that does not depend on where its name first appears.
    int32_t nameOrderOf(int32_t code) const {
        return nameOrder_[static_cast<std::size_t>(geneOf(code))];
    }
    // The codes of gene g: [first, end).
    std::pair<int32_t, int32_t> codesOfGene(std::size_t gene) const {
        return {firstCode_[gene], firstCode_[gene + 1]};
    }

    // The gene end `end` as the graph files write it: the gene's name, then ".1" where the gene
    // begins and ".2" where it ends; the end 0 reads "0.2".
    void printEnd(std::ostream& out, uint32_t end) const;

    const std::vector<std::string>& names() const { return names_; }
    bool operator==(const GeneTable& other) const {
        return names_ == other.names_ && firstCode_ == other.firstCode_;
    }

private:
    uint32_t checked(int32_t code) const {
        const uint32_t c = absoluteCode(code);
        if (c >= geneOf_.size()) throwMissing();
        return c;
    }
    [[noreturn]] static void throwMissing();

    std::vector<std::string> names_{"0"};
    std::vector<int32_t> firstCode_{0, 1};  // by gene, and the code after the last
    std::vector<int32_t> geneOf_{0};        // by code
    std::vector<int32_t> nameOrder_{0};     // by gene
};

}  // namespace varnet
