#include "solver/bucketing.hpp"

#include "solver/categories.hpp"

namespace varnet {

void bucketComponents(ChromosomeSet& state) {
    for (const Component& cycle : state.cycles) {
        const Edge& f = cycle.front();
        if (kindOf(f) == blockEdge && !isSideB(f)) continue;
        if (kindOf(f) == blockEdge && f.first == 0) {
            state.buckets[Category::circularBlockB].push_back(cycle);
        } else {
            state.buckets[categoryOf(cycle)].push_back(cycle);
        }
    }
    for (const Component& path : state.paths) {
        state.buckets[categoryOf(path)].push_back(path);
    }
}

}  // namespace varnet
