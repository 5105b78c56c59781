#include "solver/solve.hpp"

#include <algorithm>
#include <bit>

#include "solver/bucketing.hpp"
#include "solver/case_analysis.hpp"
#include "solver/categories.hpp"
#include "solver/final_elimination.hpp"
#include "solver/path_pairing.hpp"
#include "solver/reductions.hpp"

namespace varnet {

void deleteSideABlocks(ChromosomeSet& state, const OperationWeights& weights) {
    // A deleted block stays where it is: no later step looks at it, and bucketing files no side-A
    // block cycle, so it leaves the graph there. The cycles keep their positions, which the
    // cycles a build for the cost alone left out are noted by.
    for (const Component& cycle : state.cycles) {
        const Edge& f = cycle.front();
        if (f.first != 0 || f.kind != EdgeKind::block || isSideB(f)) continue;
        state.log.chargeOne(state.log.copy(asCycle(cycle)), {}, aDeletionEvent, weights,
                            "delete block");
    }
}

void reduceBeforeBucketing(ChromosomeSet& state, const OperationWeights& weights) {
    // An unordered comparison (a weight that is not a number) cuts path ends first.
    if (weightOf(spEvent, weights) >= weightOf(dpEvent, weights)) {
        reduceAdjacencyEdges(state, weights);
        reducePathEnds(state, weights);
    } else {
        reducePathEnds(state, weights);
        reduceAdjacencyEdges(state, weights);
    }
}

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

void regroupBuckets(ChromosomeSet& state, bool refined) {
    // The components leave their buckets in category order and return in that order to the
    // buckets of their new categories; the buckets keep their storage. The components of
    // `other`, often the most, stay there without being classified again: both classifiers give
    // `other` to the same components, every component was filed by one of them, and no step
    // changes a component of `other` before the final phase. Nor are the closed components
    // classified again: both classifiers call the same components closed, and every one filed as
    // closed before the final phase was classified so (adding genes to an edge, as merging does,
    // changes no category).
    std::vector<Category>& targets = state.regroupTargets;
    std::vector<Component>& moving = state.regrouping;
    targets.clear();
    // The buckets not touched are empty.
    const CategorySet looked = state.buckets.touched & ~bitOf(Category::other);
    for (CategorySet rest = looked; rest != 0; rest &= rest - 1) {
        const auto k = static_cast<std::size_t>(std::countr_zero(rest));
        const Category category = categoryAt(k);
        for (Component& component : state.buckets.lists[k]) {
            const bool kept =
                category == Category::closed || (refined && category == Category::circularBlockB);
            targets.push_back(kept ? category : categoryOf(component, refined));
            moving.push_back(std::move(component));
        }
        state.buckets.lists[k].clear();
    }
    std::vector<Component>& joining = state.joiningOther;
    for (std::size_t i = 0; i < moving.size(); ++i) {
        if (targets[i] == Category::other) {
            joining.push_back(std::move(moving[i]));
        } else {
            state.buckets[targets[i]].push_back(std::move(moving[i]));
        }
    }
    moving.clear();
    // Those that join `other` go before the ones it holds.
    state.log.fileOthersFirst(state.buckets[Category::other], joining, state.spare);
}

void rebuildFinalGraph(ChromosomeSet& state) {
    state.cycles.clear();
    state.paths.clear();
    for (std::vector<Component>& bucket : state.buckets.lists) {
        for (Component& component : bucket) {
            (component.size() > 1 ? state.cycles : state.paths).push_back(std::move(component));
        }
        bucket.clear();
    }
}

namespace {

// The cost-only solve of a gene-free graph: one that a build for the cost alone left with no
// cycle, and whose paths are all lone vertices or made of adjacency edges, as structures with
// the same genes give. Both reductions leave of every path a lone vertex or nothing, charging
// what its length and the side of its first edge fix, in the order of the paths; lone vertices
// are filed as `other`, without genes, and no later step finds anything. So the charges follow
// from the lengths, in the order the reductions make them, without running a phase. False, with
// nothing charged, for any other graph.
bool solvedGeneFree(ChromosomeSet& state, const OperationWeights& weights) {
    if (!state.cycles.empty() || !state.log.leftOut().oneBridge.empty()) return false;
    const auto adjacencyPath = [](const Component& path) { return !isLoneVertex(path.front()); };
    const bool geneFree =
        std::all_of(state.paths.begin(), state.paths.end(), [&](const Component& path) {
            return std::all_of(path.begin(), path.end(), [&](const Edge& edge) {
                return edge.kind == EdgeKind::adjacency || !adjacencyPath(path);
            });
        });
    if (!geneFree) return false;
    const auto charge = [&](EventCode event, std::size_t times) {
        for (std::size_t k = 0; k < times; ++k) state.log.addCost(weightOf(event, weights));
    };
    // Cutting the ends off a path of m adjacency edges whose first edge is `first`: m / 2 SP, and
    // where m is odd the resolution of the edge left, on the side of `first`.
    const auto chargeEnds = [&](std::size_t m, const Edge& first) {
        charge(spEvent, m / 2);
        if (m % 2 == 1) charge(cutsSingleAdjacencyEdge(first, weights) ? cutEvent : joinEvent, 1);
    };
    if (weightOf(spEvent, weights) >= weightOf(dpEvent, weights)) {
        state.log.chargeLeftOutCuts(weights);
        // A path of m >= 3 edges loses (m - 1) / 2 inner edges, one DP each, which leaves one
        // edge where m is odd and two where it is even, the first on the side of the path's first.
        for (const Component& path : state.paths) {
            if (adjacencyPath(path) && path.size() >= 3) charge(dpEvent, (path.size() - 1) / 2);
        }
        for (const Component& path : state.paths) {
            const std::size_t m = path.size();
            if (adjacencyPath(path)) chargeEnds(m < 3 ? m : 2 - m % 2, path.front());
        }
    } else {
        for (const Component& path : state.paths) {
            if (adjacencyPath(path)) chargeEnds(path.size(), path.front());
        }
        state.log.chargeLeftOutCuts(weights);
    }
    recycleComponents(state, state.paths);
    return true;
}

void runPhases(ChromosomeSet& state, const OperationWeights& weights) {
    deleteSideABlocks(state, weights);
    reduceBeforeBucketing(state, weights);
    bucketComponents(state);
    pairPaths(state, weights);
    regroupBuckets(state, true);
    joinRemaining(state, weights);
    regroupBuckets(state, false);
    finishSequence(state, weights);
}

}  // namespace

double solve(ChromosomeSet& state, const OperationWeights& weights) {
    runPhases(state, weights);
    state.log.writeRemaining();
    rebuildFinalGraph(state);
    return state.log.totalCost();
}

double solvedCostOnly(JointGraph graph, const OperationWeights& weights) {
    ChromosomeSet state(std::move(graph));
    state.log.restartCostOnly();
    if (!solvedGeneFree(state, weights)) runPhases(state, weights);
    return state.log.totalCost();
}

double solvedCostOnly(JointGraphInput& input, ChromosomeSet& state,
                      const OperationWeights& weights) {
    for (CategorySet rest = state.buckets.touched; rest != 0; rest &= rest - 1)
        recycleComponents(state,
                          state.buckets.lists[static_cast<std::size_t>(std::countr_zero(rest))]);
    state.buckets.markEmpty();
    state.quads.clear();
    state.log.restartCostOnly();
    buildJointGraph(input, state, &state.log.leftOut());
    if (!solvedGeneFree(state, weights)) runPhases(state, weights);
    return state.log.totalCost();
}

double solvedCostOnly(const AdjacencyArray& a, const AdjacencyArray& b,
                      const OperationWeights& weights) {
    JointGraphInput input(std::max(a.partner.size(), b.partner.size()));
    input.load(a, b);
    ChromosomeSet state;
    return solvedCostOnly(input, state, weights);
}

}  // namespace varnet
