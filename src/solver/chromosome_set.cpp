#include "solver/chromosome_set.hpp"

#include <utility>

namespace varnet {

ChromosomeSet::ChromosomeSet(std::deque<Component> cycles_, std::deque<Component> paths_)
    : cycles(std::move(cycles_)), paths(std::move(paths_)) {}

StateSnapshot ChromosomeSet::snapshot() const {
    return StateSnapshot{cycles.size(), paths.size(), eventCode, totalCost};
}

}  // namespace varnet
