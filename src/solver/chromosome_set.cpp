#include "solver/chromosome_set.hpp"

namespace varnet {

StateSnapshot ChromosomeSet::snapshot() const {
    return StateSnapshot{cycles.size(), paths.size(), eventCode, totalCost};
}

}  // namespace varnet
