#include "structures/gene_name_table.hpp"

#include <stdexcept>

#include "structures/gene_code.hpp"

namespace varnet {

GeneNameIndex::GeneNameIndex(const GeneNameTable& table, const std::vector<int32_t>& originals)
    : names_(originals.size(), nullptr) {
    for (std::size_t code = 0; code < originals.size(); ++code) {
        const auto found = table.find(geneIdOf(originals[code]));
        if (found != table.end()) names_[code] = &found->second;
    }
}

void GeneNameIndex::throwMissing() {
    throw std::out_of_range("invalid map<K, T> key");
}

}  // namespace varnet
