#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnet {

// Gene id to gene name for every name of one structure file; id 0 maps to "0".
using GeneNameTable = std::map<int32_t, std::string>;

// The name of a gene id; throws "invalid map<K, T> key" for an id the table lacks.
const std::string& geneNameOf(const GeneNameTable& table, int32_t geneId);

// The names of a table by gene id, for printers that look up a name per gene: a lookup is one
// index. The table must outlive the index.
class GeneNameIndex {
public:
    // Implicit, so that a table can be passed where one printout needs an index.
    GeneNameIndex(const GeneNameTable& table);

    // As `geneNameOf`.
    const std::string& operator()(int32_t geneId) const {
        const auto id = static_cast<std::size_t>(geneId);
        if (geneId < 0 || id >= names_.size() || names_[id] == nullptr) throwMissing();
        return *names_[id];
    }

private:
    [[noreturn]] static void throwMissing();

    std::vector<const std::string*> names_;
};

}  // namespace varnet
