#pragma once

#include "solver/chromosome_set.hpp"

namespace varnet {

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
