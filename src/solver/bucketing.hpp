#pragma once

#include "solver/chromosome_set.hpp"

namespace varnet {

// Moves every component of `cycles` and `paths` into the bucket of its category and leaves both
// lists empty. Side-A block cycles get no bucket; side-B block cycles wait in circularBlockB.
// The cycles of one bridging edge a build for the cost alone left out are `other`: the log notes
// their deletions among those of the cycles, in the order of the cycles.
void bucketComponents(ChromosomeSet& state);

// Appends `component` to the bucket of `category`, through the log for `other` (see
// `StepLog::fileOther`).
inline void fileComponent(ChromosomeSet& state, Component&& component, Category category) {
    if (category == Category::other) {
        state.log.fileOther(state.buckets[Category::other], std::move(component), state.spare);
        return;
    }
    state.buckets[category].push_back(std::move(component));
}

// Appends `component` to the bucket `categoryOf` gives it (see there for `refined`). An empty
// component stands for no vertex at all and is never filed.
inline void pushToCategory(ChromosomeSet& state, Component&& component, bool refined = false) {
    if (component.empty()) return;
    const Category category = categoryOf(component, refined);
    fileComponent(state, std::move(component), category);
}

}  // namespace varnet
