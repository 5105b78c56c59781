#include "structures/gene_table.hpp"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace varnet {

GeneTable::GeneTable(std::vector<std::string> names, const std::vector<int32_t>& copies)
    : names_(std::move(names)) {
    if (names_.empty()) names_.emplace_back();
    names_[0] = "0";
    firstCode_.assign(names_.size() + 1, 1);
    firstCode_[0] = 0;
    for (std::size_t gene = 1; gene < names_.size(); ++gene) {
        const int32_t count = gene < copies.size() ? copies[gene] : 0;
        firstCode_[gene + 1] = firstCode_[gene] + count;
        geneOf_.insert(geneOf_.end(), static_cast<std::size_t>(count), static_cast<int32_t>(gene));
    }
    std::vector<int32_t> byName(names_.size() - 1);
    std::iota(byName.begin(), byName.end(), 1);
    std::sort(byName.begin(), byName.end(), [this](int32_t x, int32_t y) {
        return names_[static_cast<std::size_t>(x)] < names_[static_cast<std::size_t>(y)];
    });
    nameOrder_.assign(names_.size(), 0);
    for (std::size_t k = 0; k < byName.size(); ++k)
        nameOrder_[static_cast<std::size_t>(byName[k])] = static_cast<int32_t>(k + 1);
}

void GeneTable::printEnd(std::ostream& out, uint32_t end) const {
    if (end == 0) {
        out << names_[0] << ".2";
        return;
    }
    out << nameOf(static_cast<int32_t>(end / 2)) << (end % 2 == 1 ? ".2" : ".1");
}

void GeneTable::throwMissing() {
    throw std::out_of_range("invalid map<K, T> key");
}

}  // namespace varnet
