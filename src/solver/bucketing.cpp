#include "solver/bucketing.hpp"

#include <algorithm>
#include <utility>

#include "solver/categories.hpp"

namespace varnet {
namespace {

bool carriesGenes(const Component& component) {
    return std::any_of(component.begin(), component.end(), [](const Edge& edge) {
        return isSpecialGeneEdge(edge) || !edge.genes.empty();
    });
}

// Files a component by its category. A cost-only solve keeps no component of `other` without
// genes: no later step takes a component of `other`, and the one step that reads them, the
// final stripping of two-edge cycles, charges only for genes.
void file(ChromosomeSet& state, Component& component, Category category) {
    if (category == Category::other && !state.log.keepsRecords() && !carriesGenes(component))
        return;
    state.buckets[category].push_back(std::move(component));
}

}  // namespace

void bucketComponents(ChromosomeSet& state) {
    for (Component& cycle : state.cycles) {
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        if (f.kind == EdgeKind::block && f.first == 0) {
            state.buckets[Category::circularBlockB].push_back(std::move(cycle));
        } else {
            file(state, cycle, categoryOf(cycle));
        }
    }
    for (Component& path : state.paths) file(state, path, categoryOf(path));
    // From here on the buckets hold every component.
    recycleComponents(state, state.cycles);
    recycleComponents(state, state.paths);
}

}  // namespace varnet
