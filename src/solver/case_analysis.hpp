#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The two alternative outcomes a quad holds: components 1 and 2, or components 3 and 4.
enum class QuadAlternative : uint8_t { one, two };

// Where a case step takes a component from: the back of a category's bucket, or an alternative
// of the last quad (which supplies two components).
struct Operand {
    constexpr Operand() = default;
    constexpr Operand(Category c) : category(c) {}
    constexpr Operand(QuadAlternative a) : alternative(a) {}
    Category category = Category::other;
    std::optional<QuadAlternative> alternative;
};

// The closing steps "4.1" to "4.23": merges the waiting side-B circular blocks into the first
// side-B gene-carrying edge, splices the closed components into longer components,
// then runs the case steps "4.3" to "4.23" once each, in label order.
void joinRemaining(ChromosomeSet& state, const OperationWeights& weights);

// Step "4.1", repeated while a side-B circular block waits and some other component has a
// side-B edge carrying genes; the blocks left over keep waiting.
void mergeGeneBlocks(ChromosomeSet& state, const OperationWeights& weights);

// Step "4.2", repeated while a closed component waits, another component has more than two
// edges, and the splice of the two produces something.
void spliceCycles(ChromosomeSet& state, const OperationWeights& weights);

// Takes, for each operand in order, the last component of its bucket (record index -1) or the
// two components of the chosen alternative of the last quad (its record index twice), removing
// what it takes. Takes nothing and returns false when a bucket or `quads` holds too few
// entries, or when a quad's chosen alternative is empty.
bool takeComponents(ChromosomeSet& state, std::span<const Operand> operands,
                    std::vector<Component>& components, std::vector<int64_t>& recordIndices);

}  // namespace varnet
