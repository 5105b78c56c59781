#pragma once

#include <vector>

#include "solver/chromosome_set.hpp"

namespace varnet {

// Moves every component of `cycles` and `paths` into the bucket of its category and leaves both
// lists empty. Side-A block cycles get no bucket; side-B block cycles wait in circularBlockB.
// The cycles of one bridging edge a build for the cost alone left out are `other`: their
// deletions are noted among those of the cycles, in the order of the cycles.
void bucketComponents(ChromosomeSet& state);

// Appends `component` to the bucket of `category`. A cost-only solve files nothing in `other`:
// no step takes a component of `other` or changes one before the final stripping of two-edge
// cycles, which charges one deletion for each of their bridging edges and reads nothing else. So
// the deletions it would charge for the component are noted in `finalDeletions` instead, and the
// component's storage goes back to the graph.
inline void fileComponent(ChromosomeSet& state, Component&& component, Category category);

// What a cost-only solve does instead of filing `component` in `other`.
void setAsideOther(ChromosomeSet& state, Component& component);

// The deletion of the genes of a bridging edge: "bD" on side B, "aD" on side A.
inline EventCode deletionOn(Side side) {
    return side == Side::b ? bDeletionEvent : aDeletionEvent;
}
inline EventCode deletionOf(const Edge& edge) {
    return deletionOn(edge.side);
}

// Appends the deletions the final stripping charges for a component of `other`, in its order.
inline void appendFinalDeletions(const Component& component, std::vector<EventCode>& deletions) {
    if (component.size() != 2) return;
    if (component.front().kind == EdgeKind::bridging)
        deletions.push_back(deletionOf(component.front()));
    if (component.back().kind == EdgeKind::bridging)
        deletions.push_back(deletionOf(component.back()));
}

inline void fileComponent(ChromosomeSet& state, Component&& component, Category category) {
    if (category == Category::other && !state.log.keepsRecords()) {
        setAsideOther(state, component);
        return;
    }
    state.buckets[category].push_back(std::move(component));
}

}  // namespace varnet
