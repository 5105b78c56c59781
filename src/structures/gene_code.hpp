#pragma once

#include <cstdint>
#include <cstdlib>

namespace varnet {

// Gene ends are the vertices of every graph: the gene of code c (of either sign) begins at the end
// 2|c| and ends at 2|c| + 1, so ends keep the order of the codes, the two ends of a gene differ in
// their last bit only, and no end is 0 or 1. A table indexed by end needs two entries a code.
inline uint32_t absoluteCode(int32_t code) {
    return static_cast<uint32_t>(std::abs(code));
}
// Where reading enters and leaves the gene: its beginning first for a positive code.
inline uint32_t enteringEnd(int32_t code) {
    return 2 * absoluteCode(code) + (code > 0 ? 0u : 1u);
}
inline uint32_t leavingEnd(int32_t code) {
    return 2 * absoluteCode(code) + (code > 0 ? 1u : 0u);
}
inline uint32_t otherEnd(uint32_t end) {
    return end ^ 1u;
}
// The largest code whose ends fit an int32 adjacency entry.
constexpr int32_t maxGeneCode = (INT32_MAX - 1) / 2;

}  // namespace varnet
