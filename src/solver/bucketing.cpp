#include "solver/bucketing.hpp"

#include <utility>

#include "solver/categories.hpp"

namespace varnet {

void bucketComponents(ChromosomeSet& state) {
    for (Component& cycle : state.cycles) {
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        if (f.kind == EdgeKind::block && f.first == 0) {
            state.buckets[Category::circularBlockB].push_back(std::move(cycle));
        } else {
            const Category category = categoryOf(cycle);
            state.buckets[category].push_back(std::move(cycle));
        }
    }
    for (Component& path : state.paths) {
        const Category category = categoryOf(path);
        state.buckets[category].push_back(std::move(path));
    }
    // From here on the buckets hold every component.
    state.cycles.clear();
    state.paths.clear();
}

}  // namespace varnet
