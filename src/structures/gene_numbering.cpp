#include "structures/gene_numbering.hpp"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// The largest gene code whose second end, 10g+2, still fits an int32 adjacency entry.
constexpr int64_t maxGeneCode = (INT32_MAX - 2) / 10;

}  // namespace

int32_t GeneNumbering::code(std::string_view name, int orientation, const std::string& where) {
    auto found = ids_.find(name);
    if (found == ids_.end()) {
        const int32_t id = static_cast<int32_t>(copies_.size());
        const std::string& stored = names_.emplace_hint(names_.end(), id, name)->second;
        found = ids_.emplace(stored, id).first;
        copies_.push_back(0);
    }
    const int32_t id = found->second;
    if (copies_[static_cast<std::size_t>(id)]++ == 0) touched_.push_back(id);
    const int64_t code = 10 * int64_t{id} + copies_[static_cast<std::size_t>(id)];
    if (code > maxGeneCode) {
        throw std::runtime_error(where + ": gene \"" + std::string(name) +
                                 "\" would need a gene code above " + std::to_string(maxGeneCode) +
                                 " (too many distinct names or copies)");
    }
    return geneCode(orientation, id, copies_[static_cast<std::size_t>(id)]);
}

void GeneNumbering::startStructure() {
    for (const int32_t id : touched_) copies_[static_cast<std::size_t>(id)] = 0;
    touched_.clear();
}

GeneNameTable GeneNumbering::takeNames() {
    names_.emplace_hint(names_.begin(), 0, "0");
    ids_.clear();
    return std::move(names_);
}

std::vector<int32_t> numberCodesDensely(std::vector<ChromosomalStructure>& structures) {
    std::vector<int32_t> codes;
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes)
                codes.push_back(static_cast<int32_t>(absoluteCode(code)));
        }
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (ChromosomalStructure& structure : structures) {
        for (Chromosome& chromosome : structure.chromosomes) {
            for (int32_t& code : chromosome.genes) {
                const auto original = static_cast<int32_t>(absoluteCode(code));
                const int32_t dense = denseCodeOfRank(static_cast<std::size_t>(
                    std::lower_bound(codes.begin(), codes.end(), original) - codes.begin()));
                code = code < 0 ? -dense : dense;
            }
        }
    }
    std::vector<int32_t> originals(codes.empty() ? 1 : denseCodeOfRank(codes.size() - 1) + 1, 0);
    for (std::size_t rank = 0; rank < codes.size(); ++rank)
        originals[static_cast<std::size_t>(denseCodeOfRank(rank))] = codes[rank];
    return originals;
}

}  // namespace varnet
