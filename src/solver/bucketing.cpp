#include "solver/bucketing.hpp"

#include <utility>

#include "solver/categories.hpp"

namespace varnet {

void fileComponent(ChromosomeSet& state, Component&& component, Category category) {
    if (category != Category::other || state.log.keepsRecords()) {
        state.buckets[category].push_back(std::move(component));
        return;
    }
    appendFinalDeletions(component, state.finalDeletions);
    if (component.capacity() == 0) return;
    component.clear();
    state.spare.push_back(std::move(component));
}

void bucketComponents(ChromosomeSet& state) {
    for (Component& cycle : state.cycles) {
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        if (f.kind == EdgeKind::block && f.first == 0) {
            state.buckets[Category::circularBlockB].push_back(std::move(cycle));
        } else {
            fileComponent(state, std::move(cycle), categoryOf(cycle));
        }
    }
    for (Component& path : state.paths) fileComponent(state, std::move(path), categoryOf(path));
    // From here on the buckets hold every component.
    recycleComponents(state, state.cycles);
    recycleComponents(state, state.paths);
}

}  // namespace varnet
