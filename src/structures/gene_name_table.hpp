#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnet {

// Gene names by code group (code / 10) for every name of one structure file; group 0 maps to "0".
// A group is the gene id where no name has more than 9 copies in a structure; a name with more
// owns several consecutive groups (see `numberCopies`).
using GeneNameTable = std::map<int32_t, std::string>;

// The names of a table by gene code, for printers that look up a name per gene: a lookup is one
// index. The table must outlive the index.
class GeneNameIndex {
public:
    // Dense codes: `originals[c]` is the code that c stands for (see `numberCodesDensely`).
    GeneNameIndex(const GeneNameTable& table, const std::vector<int32_t>& originals);

    // The name of the gene of an absolute code; throws "invalid map<K, T> key" for a gene id the
    // table lacks.
    const std::string& ofCode(uint32_t code) const {
        if (code >= names_.size() || names_[code] == nullptr) throwMissing();
        return *names_[code];
    }

private:
    [[noreturn]] static void throwMissing();

    std::vector<const std::string*> names_;
};

}  // namespace varnet
