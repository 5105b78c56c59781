#include "solver/solve.hpp"

#include <algorithm>
#include <bit>

#include "solver/adjacency_reduction.hpp"
#include "solver/bucketing.hpp"
#include "solver/case_analysis.hpp"
#include "solver/categories.hpp"
#include "solver/cycle_reduction.hpp"
#include "solver/final_elimination.hpp"
#include "solver/path_end_reduction.hpp"
#include "solver/path_pairing.hpp"

namespace varnet {

void deleteSideABlocks(ChromosomeSet& state, const OperationWeights& weights) {
    // Most graphs have none.
    const auto first =
        std::find_if(state.cycles.begin(), state.cycles.end(), [](const Component& c) {
            const Edge& f = c.front();
            return f.first == 0 && f.kind == EdgeKind::block && !isSideB(f);
        });
    auto i = static_cast<std::size_t>(first - state.cycles.begin());
    while (i < state.cycles.size()) {
        const Component& cycle = state.cycles[i];
        const Edge& f = cycle.front();
        if (f.first != 0 || f.kind != EdgeKind::block || isSideB(f)) {
            ++i;
            continue;
        }
        state.log.recordStep([&] {
            return makeOperationRecord({makeCycleItem(cycle)}, {}, {aDeletionEvent},
                                       "delete block");
        });
        state.cycles.erase(state.cycles.begin() + static_cast<std::ptrdiff_t>(i));
        // The cycles a build for the cost alone left out after this one move up with the rest.
        for (OneBridgeCycle& left : state.oneBridgeCycles) {
            if (left.position > i) --left.position;
        }
        state.log.addCost(weightOf(aDeletionEvent, weights));
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

void regroupBuckets(ChromosomeSet& state, bool refined) {
    // The components of `other`, often the most, stay there without being classified again:
    // both classifiers give `other` to the same components, every component was filed by one of
    // them, and no step changes a component of `other` before the final phase.
    constexpr std::size_t otherIndex = indexOf(Category::other);
    static_assert(otherIndex == categoryCount - 1, "other is the last category");
    std::vector<Category>& targets = state.regroupTargets;
    targets.clear();
    // The categories a component leaves, and those one enters (but `other`).
    CategorySet leaving = 0;
    CategorySet entering = 0;
    // The buckets not touched are empty.
    const CategorySet looked = state.buckets.touched & ~bitOf(Category::other);
    for (CategorySet rest = looked; rest != 0; rest &= rest - 1) {
        const auto k = static_cast<std::size_t>(std::countr_zero(rest));
        const Category category = categoryAt(k);
        // Nor are the closed components: both classifiers call the same components closed, and
        // every one filed as closed before the final phase was classified so (adding genes to an
        // edge, as merging does, changes no category).
        if (category == Category::closed) {
            targets.insert(targets.end(), state.buckets[category].size(), category);
            continue;
        }
        for (const Component& component : state.buckets[category]) {
            const Category target =
                refined ? (category == Category::circularBlockB ? category
                                                                : refinedCategoryOf(component))
                        : categoryOf(component);
            if (target != category) {
                leaving |= bitOf(category);
                entering |= bitOf(target) & ~bitOf(Category::other);
            }
            targets.push_back(target);
        }
    }
    // Where every component stays, the moves below would give every bucket back as it was.
    if (leaving == 0) return;
    // The components leave their buckets in category order and return in that order to the
    // buckets of their new categories; the buckets keep their storage. Those that join `other`
    // go before the ones it holds, which would leave it last. A bucket that no component leaves
    // or enters would get its components back as they are: it keeps them.
    const CategorySet involved = leaving | entering;
    std::vector<Component>& moving = state.regrouping;
    std::size_t next = 0;
    std::size_t kept = 0;
    for (CategorySet rest = looked; rest != 0; rest &= rest - 1) {
        const auto k = static_cast<std::size_t>(std::countr_zero(rest));
        std::vector<Component>& bucket = state.buckets.lists[k];
        if ((involved & (CategorySet{1} << k)) == 0) {
            next += bucket.size();
            continue;
        }
        for (Component& component : bucket) {
            moving.push_back(std::move(component));
            targets[kept++] = targets[next++];
        }
        bucket.clear();
    }
    targets.resize(kept);
    // A cost-only solve notes their deletions in front of the ones noted (see `fileComponent`).
    if (!state.log.keepsRecords()) {
        std::vector<EventCode>& joining = state.joiningDeletions;
        joining.clear();
        for (std::size_t i = 0; i < moving.size(); ++i) {
            if (targets[i] == Category::other) {
                appendFinalDeletions(moving[i], joining);
            } else {
                state.buckets[targets[i]].push_back(std::move(moving[i]));
            }
        }
        state.finalDeletions.insert(state.finalDeletions.begin(), joining.begin(), joining.end());
        recycleComponents(state, moving);
        return;
    }
    std::vector<Component>& others = state.buckets[Category::other];
    const auto joining = std::count(targets.begin(), targets.end(), Category::other);
    others.insert(others.begin(), static_cast<std::size_t>(joining), Component{});
    std::size_t joined = 0;
    for (std::size_t i = 0; i < moving.size(); ++i) {
        if (targets[i] == Category::other) {
            others[joined++] = std::move(moving[i]);
        } else {
            state.buckets[targets[i]].push_back(std::move(moving[i]));
        }
    }
    moving.clear();
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

// A graph whose cycles are all gene-free and only counted, and whose paths are all lone vertices
// or made of adjacency edges: what structures with the same genes give.
bool isGeneFreeGraph(const ChromosomeSet& state) {
    if (!state.cycles.empty() || !state.oneBridgeCycles.empty()) return false;
    return std::all_of(state.paths.begin(), state.paths.end(), [](const Component& path) {
        return (path.size() == 1 && isLoneVertex(path.front())) || hasOnlyAdjacencyEdges(path);
    });
}

// The cost-only solve of a gene-free graph. Both reductions leave of every path a lone vertex or
// nothing, charging what its length and the side of its first edge fix, in the order of the
// paths (see `chargeGeneFreePathCuts` and `chargeGeneFreePathEnds`); lone vertices are filed as
// `other`, without genes, and no later step finds anything. So the charges follow from the
// lengths, in the order the reductions make them, without changing a path.
void solveGeneFreeGraph(ChromosomeSet& state, const OperationWeights& weights) {
    const auto adjacencyPath = [](const Component& path) { return !isLoneVertex(path.front()); };
    if (weightOf(spEvent, weights) >= weightOf(dpEvent, weights)) {
        chargeGeneFreeCycleCuts(state, weights);
        for (const Component& path : state.paths) {
            if (adjacencyPath(path) && path.size() >= 3)
                chargeGeneFreePathCuts(state.log, path.size(), weights);
        }
        // What the cuts leave: one edge of an odd path, two of an even one.
        for (const Component& path : state.paths) {
            if (!adjacencyPath(path)) continue;
            const std::size_t m = path.size();
            const std::size_t left = m < 3 ? m : 2 - m % 2;
            chargeGeneFreePathEnds(state.log, left, path.front(), weights);
        }
    } else {
        for (const Component& path : state.paths) {
            if (adjacencyPath(path))
                chargeGeneFreePathEnds(state.log, path.size(), path.front(), weights);
        }
        chargeGeneFreeCycleCuts(state, weights);
    }
    recycleComponents(state, state.paths);
}

void runPhases(ChromosomeSet& state, const OperationWeights& weights) {
    if (!state.log.keepsRecords() && isGeneFreeGraph(state)) {
        solveGeneFreeGraph(state, weights);
        return;
    }
    deleteSideABlocks(state, weights);
    reduceBeforeBucketing(state, weights);
    bucketComponents(state);
    // The later phases take only what the buckets hold; a cost-only solve often leaves them all
    // empty, and then only the deletions noted for `other` remain to be charged.
    if (!state.log.keepsRecords() && state.buckets.held() == 0) {
        stripTwoEdgeCycles(state, weights);
        return;
    }
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
    return solvedCostOnlyIn(state, weights);
}

double solvedCostOnlyIn(ChromosomeSet& state, const OperationWeights& weights) {
    for (CategorySet rest = state.buckets.touched; rest != 0; rest &= rest - 1)
        recycleComponents(state,
                          state.buckets.lists[static_cast<std::size_t>(std::countr_zero(rest))]);
    state.buckets.markEmpty();
    state.quads.clear();
    state.finalDeletions.clear();
    state.log = StepLog::costOnly();
    runPhases(state, weights);
    return state.log.totalCost();
}

}  // namespace varnet
