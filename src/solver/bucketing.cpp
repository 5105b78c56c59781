#include "solver/bucketing.hpp"

#include <utility>

#include "solver/categories.hpp"

namespace varnet {

void bucketComponents(ChromosomeSet& state) {
    for (std::size_t i = 0; i < state.cycles.size(); ++i) {
        state.log.noteLeftOutBefore(i);
        Component& cycle = state.cycles[i];
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        const Category category = f.kind == EdgeKind::block && f.first == 0
                                      ? Category::circularBlockB
                                      : categoryOf(cycle);
        fileComponent(state, std::move(cycle), category);
    }
    state.log.noteLeftOutBefore(state.cycles.size());
    for (Component& path : state.paths) fileComponent(state, std::move(path), categoryOf(path));
    // From here on the buckets hold every component.
    recycleComponents(state, state.cycles);
    recycleComponents(state, state.paths);
}

}  // namespace varnet
