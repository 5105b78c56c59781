#pragma once

#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "solver/categories.hpp"
#include "solver/operation_record.hpp"
#include "solver/step_log.hpp"

namespace varnet {

// The solver's working set on top of the joint graph it transforms, and the log of its steps:
// the stages before bucketing work on `cycles` and `paths`, the phases after it on `buckets`.
struct ChromosomeSet : JointGraph {
    ChromosomeSet() = default;
    explicit ChromosomeSet(JointGraph graph) : JointGraph(std::move(graph)) {}

    Buckets buckets;
    // Steps whose outcome stays open between two alternatives, each settled by a later step.
    std::vector<ComponentQuad> quads;
    StepLog log;
    // Scratch storage of `regroupBuckets`, kept from one solve to the next.
    std::vector<Category> regroupTargets;
    std::vector<Component> regrouping;
    std::vector<Component> joiningOther;
};

// Removes the last component of a bucket and hands it over.
inline Component popLast(std::vector<Component>& bucket) {
    Component last = std::move(bucket.back());
    bucket.pop_back();
    return last;
}

}  // namespace varnet
