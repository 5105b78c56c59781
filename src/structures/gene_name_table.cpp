#include "structures/gene_name_table.hpp"

#include <stdexcept>

namespace varnet {

const std::string& geneNameOf(const GeneNameTable& table, int32_t geneId) {
    const auto found = table.find(geneId);
    if (found == table.end()) throw std::out_of_range("invalid map<K, T> key");
    return found->second;
}

}  // namespace varnet
