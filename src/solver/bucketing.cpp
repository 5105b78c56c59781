#include "solver/bucketing.hpp"

#include <utility>

#include "solver/categories.hpp"

namespace varnet {

namespace {

// The category `categoryOf` gives a cycle; a closed component of two edges, neither of them an
// end edge, as most cycles are, is closed when both are bridging edges and `other` otherwise.
Category cycleCategoryOf(const Component& cycle) {
    const Edge& f = cycle.front();
    const Edge& l = cycle.back();
    if (cycle.size() == 2 && f.kind != EdgeKind::end && l.kind != EdgeKind::end && isClosed(cycle))
        return f.kind == EdgeKind::bridging && l.kind == EdgeKind::bridging ? Category::closed
                                                                            : Category::other;
    return categoryOf(cycle);
}

}  // namespace

void bucketComponents(ChromosomeSet& state) {
    for (std::size_t i = 0; i < state.cycles.size(); ++i) {
        state.log.noteLeftOutBefore(i);
        Component& cycle = state.cycles[i];
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        const Category category = f.kind == EdgeKind::block && f.first == 0
                                      ? Category::circularBlockB
                                      : cycleCategoryOf(cycle);
        fileComponent(state, std::move(cycle), category);
    }
    state.log.noteLeftOutBefore(state.cycles.size());
    for (Component& path : state.paths) fileComponent(state, std::move(path), categoryOf(path));
    // From here on the buckets hold every component.
    recycleComponents(state, state.cycles);
    recycleComponents(state, state.paths);
}

}  // namespace varnet
