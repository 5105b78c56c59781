#include "structures/gene_numbering.hpp"

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

}  // namespace varnet
