#pragma once

#include <array>

namespace varnet {

// The six operation weights, indexed as in the weights file: DP, SP, J, C, bD, aD.
// This is not the order of the event codes; look weights up through `weightOf` (solver).
using OperationWeights = std::array<double, 6>;

// Coefficients of the tree-mode distance sum.
struct DistanceWeights {
    double special = 0.0;
    double breakpoint = 0.0;
    bool operator==(const DistanceWeights&) const = default;
};

}  // namespace varnet
