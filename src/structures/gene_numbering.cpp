#include "structures/gene_numbering.hpp"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "structures/gene_code.hpp"

namespace varnet {

int32_t GeneNumbering::code(std::string_view name, int orientation, const std::string& where) {
    auto found = ids_.find(name);
    if (found == ids_.end()) {
        const auto gene = static_cast<int32_t>(names_.size());
        names_.emplace_back(name);
        found = ids_.emplace(names_.back(), gene).first;
        copies_.addGene();
        mostCopies_.push_back(0);
    }
    const auto gene = static_cast<std::size_t>(found->second);
    const int32_t copy = copies_.next(gene);
    if (copy > mostCopies_[gene]) {
        ++codes_;
        mostCopies_[gene] = copy;
        if (codes_ > maxGeneCode) {
            throw std::runtime_error(
                where + ": gene \"" + std::string(name) + "\" would need a gene code above " +
                std::to_string(maxGeneCode) + " (too many distinct names or copies)");
        }
    }
    return orientation * found->second;
}

GeneTable GeneNumbering::finish(std::vector<ChromosomalStructure>& structures) {
    const std::vector<int32_t> copies = numberCopies(structures);
    ids_.clear();
    GeneTable table(
        {std::make_move_iterator(names_.begin()), std::make_move_iterator(names_.end())}, copies);
    names_.clear();
    return table;
}

std::vector<int32_t> numberCopies(std::vector<ChromosomalStructure>& structures) {
    std::size_t largestGene = 0;
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t gene : chromosome.genes)
                largestGene = std::max<std::size_t>(largestGene, absoluteCode(gene));
        }
    }
    CopyCounter counter(largestGene + 1);
    std::vector<int32_t> mostCopies(largestGene + 1, 0);
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t gene : chromosome.genes) {
                int32_t& most = mostCopies[absoluteCode(gene)];
                most = std::max(most, counter.next(absoluteCode(gene)));
            }
        }
        counter.restart();
    }
    // The codes of gene g start after those of the genes before it.
    std::vector<int32_t> firstCode(largestGene + 2, 1);
    for (std::size_t gene = 1; gene <= largestGene; ++gene)
        firstCode[gene + 1] = firstCode[gene] + mostCopies[gene];
    for (ChromosomalStructure& structure : structures) {
        for (Chromosome& chromosome : structure.chromosomes) {
            for (int32_t& gene : chromosome.genes) {
                const std::size_t g = absoluteCode(gene);
                const int32_t code = firstCode[g] + counter.next(g) - 1;
                gene = gene < 0 ? -code : code;
            }
        }
        counter.restart();
    }
    return mostCopies;
}

}  // namespace varnet
