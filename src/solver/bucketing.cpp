#include "solver/bucketing.hpp"

#include <utility>

#include "solver/categories.hpp"

namespace varnet {

void setAsideOther(ChromosomeSet& state, Component& component) {
    appendFinalDeletions(component, state.finalDeletions);
    if (component.capacity() == 0) return;
    component.clear();
    state.spare.push_back(std::move(component));
}

namespace {

// The category of a closed component of two edges, neither of them an end edge, as `categoryOf`
// gives it: closed when both are bridging edges, `other` otherwise.
bool isClosedTwoInnerEdges(const Component& component) {
    return component.size() == 2 && component.front().kind != EdgeKind::end &&
           component.back().kind != EdgeKind::end && isClosed(component);
}

}  // namespace

void bucketComponents(ChromosomeSet& state) {
    const bool costOnly = !state.log.keepsRecords();
    // The cycles of one bridging edge that a build for the cost alone left out would go to
    // `other` below, each noting the deletion of that edge where it lay among the cycles.
    const std::vector<OneBridgeCycle>& oneBridge = state.oneBridgeCycles;
    auto nextOneBridge = oneBridge.begin();
    const auto noteOneBridgeCyclesBefore = [&](std::size_t position) {
        for (; nextOneBridge != oneBridge.end() && nextOneBridge->position <= position;
             ++nextOneBridge)
            state.finalDeletions.push_back(deletionOn(nextOneBridge->bridgeSide));
    };
    for (std::size_t i = 0; i < state.cycles.size(); ++i) {
        noteOneBridgeCyclesBefore(i);
        Component& cycle = state.cycles[i];
        const Edge& f = cycle.front();
        if (f.kind == EdgeKind::block && !isSideB(f)) continue;
        if (f.kind == EdgeKind::block && f.first == 0) {
            state.buckets[Category::circularBlockB].push_back(std::move(cycle));
        } else if (costOnly && isClosedTwoInnerEdges(cycle)) {
            // Most cycles are such; those of `other` stay where they are, to be emptied below.
            if (f.kind == EdgeKind::bridging && cycle.back().kind == EdgeKind::bridging) {
                state.buckets[Category::closed].push_back(std::move(cycle));
            } else {
                appendFinalDeletions(cycle, state.finalDeletions);
            }
        } else {
            fileComponent(state, std::move(cycle), categoryOf(cycle));
        }
    }
    noteOneBridgeCyclesBefore(state.cycles.size());
    state.oneBridgeCycles.clear();
    for (Component& path : state.paths) fileComponent(state, std::move(path), categoryOf(path));
    // From here on the buckets hold every component.
    recycleComponents(state, state.cycles);
    recycleComponents(state, state.paths);
}

}  // namespace varnet
