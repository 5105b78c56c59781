#pragma once

#include <cstdint>
#include <cstdlib>

namespace varnet {

// Gene ends are the vertices of every graph: 10g+1 and 10g+2 for the absolute code g.
inline uint32_t absoluteCode(int32_t code) {
    return static_cast<uint32_t>(std::abs(code));
}
inline uint32_t enteringEnd(int32_t code) {
    return 10 * absoluteCode(code) + (code > 0 ? 1u : 2u);
}
inline uint32_t leavingEnd(int32_t code) {
    return 10 * absoluteCode(code) + (code > 0 ? 2u : 1u);
}
inline uint32_t otherEnd(uint32_t end) {
    return end % 10 == 1 ? end + 1 : end - 1;
}

// Tables that serve only the cost of a pair number gene ends compactly: the code of rank k among
// the codes numbered densely (see `numberCodesDensely`) has the ends 2k + 2 and 2k + 3 in place
// of 10c + 1 and 10c + 2. Ends keep their order, so a joint graph built on compact ends is the
// graph of gene ends with its vertices renamed in order, and costs the same; its tables need two
// entries per code instead of ten. No compact end is 0 or 1.
enum class EndNumbering : uint8_t { byTen, compact };

inline uint32_t compactEnteringEnd(uint32_t rank, bool forward) {
    return 2 * rank + (forward ? 2u : 3u);
}
inline uint32_t compactLeavingEnd(uint32_t rank, bool forward) {
    return 2 * rank + (forward ? 3u : 2u);
}
template <EndNumbering numbering>
inline uint32_t otherEndIn(uint32_t end) {
    if constexpr (numbering == EndNumbering::compact) {
        return end ^ 1u;
    } else {
        return otherEnd(end);
    }
}

// The code group of a code, whatever its sign and copy number: the gene id (the name's number)
// unless some structure holds more than 9 copies of a name (see `numberCopies`).
inline int32_t geneIdOf(int32_t code) {
    return static_cast<int32_t>(absoluteCode(code) / 10);
}
inline int32_t geneCode(int orientation, int32_t geneId, int32_t copyNumber) {
    return orientation * (10 * geneId + copyNumber);
}

}  // namespace varnet
