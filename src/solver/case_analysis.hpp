#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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

}  // namespace varnet
