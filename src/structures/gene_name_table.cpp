#include "structures/gene_name_table.hpp"

#include <stdexcept>

namespace varnet {

const std::string& geneNameOf(const GeneNameTable& table, int32_t geneId) {
    const auto found = table.find(geneId);
    if (found == table.end()) throw std::out_of_range("invalid map<K, T> key");
    return found->second;
}

GeneNameIndex::GeneNameIndex(const GeneNameTable& table) {
    if (table.empty() || table.rbegin()->first < 0) return;
    names_.resize(static_cast<std::size_t>(table.rbegin()->first) + 1, nullptr);
    for (const auto& [id, name] : table) {
        if (id >= 0) names_[static_cast<std::size_t>(id)] = &name;
    }
}

void GeneNameIndex::throwMissing() {
    throw std::out_of_range("invalid map<K, T> key");
}

}  // namespace varnet
