#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace varnet {

// Gene id to gene name for every name of one structure file; id 0 maps to "0".
using GeneNameTable = std::map<int32_t, std::string>;

// The name of a gene id; throws "invalid map<K, T> key" for an id the table lacks.
const std::string& geneNameOf(const GeneNameTable& table, int32_t geneId);

}  // namespace varnet
