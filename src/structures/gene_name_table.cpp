#include "structures/gene_name_table.hpp"

#include <algorithm>
#include <stdexcept>

namespace varnet {

GeneNameIndex::GeneNameIndex(const GeneNameTable& table) {
    if (table.empty() || table.rbegin()->first < 0) return;
    constexpr std::size_t codesPerId = 10;
    names_.resize((static_cast<std::size_t>(table.rbegin()->first) + 1) * codesPerId, nullptr);
    for (const auto& [id, name] : table) {
        if (id < 0) continue;
        const std::size_t first = static_cast<std::size_t>(id) * codesPerId;
        std::fill_n(names_.begin() + static_cast<std::ptrdiff_t>(first), codesPerId, &name);
    }
}

GeneNameIndex::GeneNameIndex(const GeneNameTable& table, const std::vector<int32_t>& originals)
    : names_(originals.size(), nullptr) {
    for (std::size_t code = 0; code < originals.size(); ++code) {
        const auto found = table.find(originals[code] / 10);
        if (found != table.end()) names_[code] = &found->second;
    }
}

void GeneNameIndex::throwMissing() {
    throw std::out_of_range("invalid map<K, T> key");
}

}  // namespace varnet
