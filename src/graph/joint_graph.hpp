#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "graph/component.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_code.hpp"

namespace varnet {

// A cycle of one bridging edge and one adjacency edge, left out of a build for the cost alone:
// the side of its bridging edge, and how many cycles the graph made before it.
struct OneBridgeCycle {
    uint32_t position = 0;
    Side bridgeSide = Side::a;

    bool operator==(const OneBridgeCycle&) const = default;
};

// What a build for the cost alone leaves out of the graph (see `buildJointGraph`): the cycles
// made of adjacency edges only, counted with their edges, and the cycles of one bridging and one
// adjacency edge, in the order the cycles would have had.
struct LeftOutCycles {
    uint64_t geneFree = 0;
    uint64_t geneFreeEdges = 0;
    std::vector<OneBridgeCycle> oneBridge;

    void clear() {
        geneFree = 0;
        geneFreeEdges = 0;
        oneBridge.clear();
    }
    bool operator==(const LeftOutCycles&) const = default;
};

// The components of the joint graph of two structures: closed ones and open ones.
struct JointGraph {
    std::vector<Component> cycles;
    std::vector<Component> paths;
    // Emptied components whose storage the next build into this graph fills before allocating
    // any; the build keeps as many as it made components and drops the rest.
    std::vector<Component> spare;
};

// Empties `component`, keeping its storage in `spare` for a later build to fill.
inline void recycleComponent(Component&& component, std::vector<Component>& spare) {
    if (component.capacity() == 0) return;
    component.clear();
    spare.push_back(std::move(component));
}
// Empties `components`, keeping the storage of each component in `graph.spare`: a solver that
// builds graph after graph into one object hands back what it no longer needs.
inline void recycleComponents(JointGraph& graph, std::vector<Component>& components) {
    for (Component& component : components) recycleComponent(std::move(component), graph.spare);
    components.clear();
}

// The two structures of the next joint graph and the builder's per-vertex scratch tables.
//
// The tables are indexed by gene end and allocated once, sized to the largest end seen; they
// are reused by every build. Loading a pair and building its graph touch only the entries of
// the ends the pair holds, so one input object can serve thousands of builds.
//
// The vertices are gene ends (see `enteringEnd`). The arrays are not copied: they must outlive the
// builds that use them and must not change between a load and its builds. They must be as
// `adjacencyOf` makes them (symmetric, both ends of every gene present).
//
// A build right after `exchangeStructures`, of the same kind as the build before it, turns that
// build's traced sequences round instead of walking the graph again.
class JointGraphInput {
public:
    explicit JointGraphInput(std::size_t vertexCount = 0);
    // A copy would view the ends of the original; a moved input keeps viewing its own.
    JointGraphInput(const JointGraphInput&) = delete;
    JointGraphInput& operator=(const JointGraphInput&) = delete;
    JointGraphInput(JointGraphInput&&) = default;
    JointGraphInput& operator=(JointGraphInput&&) = default;

    // Makes A and B the pair of the next builds; finds the ends each holds by scanning its array.
    void load(const AdjacencyArray& a, const AdjacencyArray& b);
    // As above, given the union of the two structures' ends in increasing order and whether each
    // structure holds every one of them. The ends are not copied either: they must outlive the
    // builds that use them.
    void load(const AdjacencyArray& a, const AdjacencyArray& b, std::span<const uint32_t> ends,
              bool eachHoldsAll);

    // Exchanges the two structures of the loaded pair: the next builds give the graph of the
    // other direction, without finding the ends again.
    void exchangeStructures() {
        std::swap(partners_[0], partners_[1]);
        exchanged_ = !exchanged_;
    }

    std::size_t vertexCount() const { return visited_.size(); }

private:
    friend class JointGraphBuilder;

    void ensureVertexCount(std::size_t count);

    // The partner tables of A and B, both as long as the longer one, so that a build reads
    // them without bounds tests: a shorter array is copied into `padded_` and lengthened with
    // zeros (ends it does not hold).
    std::array<const int32_t*, 2> partners_{};
    std::array<std::vector<int32_t>, 2> padded_;
    // Ends held by A or B, in increasing order: the only vertices a build visits. They lie in
    // `unitedEnds_` unless the load was given them.
    std::span<const uint32_t> ends_;
    std::vector<uint32_t> unitedEnds_;
    // A and B hold the same ends.
    bool sameEnds_ = false;
    // Per vertex, the number of the build that visited it and of the run test that collected
    // it: a new build or test finds every vertex unmarked without a pass that clears them, and
    // 64-bit numbers never come round again.
    std::vector<uint64_t> visited_;
    std::vector<uint64_t> collected_;
    uint64_t lastBuild_ = 0;
    uint64_t lastRunTest_ = 0;
    // The traced vertex sequence of one component: `size` entries of `lists_` from `start`. The
    // graph lists its components in the order of their owners.
    struct TracedList {
        uint32_t owner = 0;
        uint32_t start = 0;
        uint32_t size = 0;
        // The end the walk started from: the smallest of the component in either direction.
        uint32_t from = 0;
        // Entries that mark a run of genes; none in a list of common ends only.
        uint32_t markers = 0;
        // Side of the component's first edge: 0 A, 1 B, 2 lone vertex.
        uint8_t startSide = 0;
        bool closed = false;
    };
    // The traced sequences one after another; 0 marks a run of genes that only one structure
    // holds. A component is traced whole before the next, so the list being traced is last.
    std::vector<uint32_t> lists_;
    // The lists owned by the ends they were traced from, and those a walk gave another owner.
    std::vector<TracedList> traced_;
    std::vector<TracedList> moved_;
    std::vector<uint32_t> collectedEnds_;
    // The structures have been exchanged since the load an odd number of times.
    bool exchanged_ = false;
    // The lists hold a whole trace of the loaded pair: whether the structures were exchanged
    // then, and whether the build left cycles out. A build of the same pair of the same kind
    // traces nothing anew.
    bool holdsTrace_ = false;
    bool traceExchanged_ = false;
    bool traceLeftOut_ = false;
    // Gene-free cycles that the trace counted without listing them.
    uint64_t tracedGeneFreeCycles_ = 0;
    uint64_t tracedGeneFreeCycleEdges_ = 0;
};

// Builds the joint graph of the loaded pair into `graph`, whose lists are emptied first and keep
// their storage: a caller that builds graph after graph into one object allocates only for the
// components. The components are traced from the ends in increasing order, each list ordered by
// owner vertex.
//
// Given `leftOut`, the build is one for the cost alone. A cycle made of adjacency edges only (no
// run of genes that one structure lacks lies on it) is traced but not made: `leftOut` counts it
// and its edges. The solver's steps on such a cycle never involve another component, and its
// cost follows from its length. The most common one, a cycle of two adjacency edges (an
// adjacency both structures hold), costs nothing and is not even counted. Nor is a cycle of one
// bridging and one adjacency edge made: the solver never takes one into a step with another
// component, and all it costs is the deletion of the bridging edge's genes, charged in the order
// of the cycles among the other final deletions; `leftOut` notes its place and that edge's side.
void buildJointGraph(JointGraphInput& input, JointGraph& graph, LeftOutCycles* leftOut = nullptr);

// One-off build with tables sized to the two arrays.
JointGraph buildJointGraph(const AdjacencyArray& a, const AdjacencyArray& b);

}  // namespace varnet
