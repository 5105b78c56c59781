#include "tree/neighbour_joining.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <tuple>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "tree/newick.hpp"
#include "tree/tree_files.hpp"

namespace varnet {
namespace {

// A pair whose Q value is not lower than the current best by more than this counts as a tie,
// and the earlier pair in row-major order keeps its place.
constexpr double tieTolerance = 0.00001;
constexpr double pairScanStart = 1000000.0;

struct Join {
    int32_t node;
    int32_t first;
    double firstLength;
    int32_t second;
    double secondLength;
};

std::string defaultFormat(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The clusters still to be joined over one working copy of the matrix. A cluster keeps its slot
// until the matrix is compacted, so slot order is position order; a joined cluster takes the
// slot of the earlier of its two parts. Cells of removed clusters hold 0.0, which leaves every
// row sum as it is.
class JoiningMatrix {
public:
    JoiningMatrix(const DistanceMatrix& distances, std::vector<int32_t> ids)
        : stride_(distances.size()),
          width_(stride_),
          active_(stride_),
          cells_(stride_ * stride_),
          ids_(std::move(ids)),
          alive_(stride_, 1),
          sums_(stride_),
          lowestCell_(stride_),
          largestSumAfter_(stride_ + 1) {
        for (std::size_t p = 0; p < stride_; ++p) {
            if (distances[p].size() != stride_)
                throw std::invalid_argument("neighbour joining needs a square distance matrix");
            std::copy(distances[p].begin(), distances[p].end(), &cell(p, 0));
            for (std::size_t q = 0; q < p; ++q) {
                if (std::bit_cast<uint64_t>(cell(p, q)) != std::bit_cast<uint64_t>(cell(q, p)))
                    symmetric_ = false;
            }
        }
        for (std::size_t p = 0; p < stride_; ++p) findLowestCell(p);
    }

    std::size_t activeCount() const { return active_; }

    // Joins the pair with the lowest Q value and returns the join; the new cluster is `node`.
    Join joinNext(int32_t node) {
        computeRowSums();
        const auto [i, j] = choosePair();
        const double delta = (sums_[i] - sums_[j]) / static_cast<int32_t>(active_ - 2);
        const double dij = cell(i, j);
        const Join join{node, ids_[i], (dij + delta) * 0.5, ids_[j], (dij - delta) * 0.5};
        for (std::size_t k = 0; k < width_; ++k) {
            if (k == i || k == j || !alive_[k]) continue;
            const double distance = (cell(j, k) + cell(i, k) - dij) * 0.5;
            cell(i, k) = distance;
            cell(k, i) = distance;
            if (k < i && distance < lowestCell_[k]) lowestCell_[k] = distance;
        }
        alive_[j] = 0;
        for (std::size_t k = 0; k < width_; ++k) cell(k, j) = 0.0;
        ids_[i] = node;
        findLowestCell(i);
        --active_;
        if (4 * (width_ - active_) > width_) compact();
        return join;
    }

    // The last two clusters: (first id, second id, distance first to second, second to first).
    std::tuple<int32_t, int32_t, double, double> lastPair() const {
        std::size_t a = 0;
        while (!alive_[a]) ++a;
        std::size_t b = a + 1;
        while (!alive_[b]) ++b;
        return {ids_[a], ids_[b], cell(a, b), cell(b, a)};
    }

private:
    double& cell(std::size_t p, std::size_t q) { return cells_[p * stride_ + q]; }
    double cell(std::size_t p, std::size_t q) const { return cells_[p * stride_ + q]; }

    // Row sums in column order, the order in which the plain definition adds them up.
    void computeRowSums() {
        std::fill(sums_.begin(), sums_.begin() + static_cast<std::ptrdiff_t>(width_), 0.0);
        rows_.clear();
        for (std::size_t p = 0; p < width_; ++p) {
            if (alive_[p]) rows_.push_back(p);
        }
        if (!symmetric_) {
            for (const std::size_t p : rows_) {
                double sum = 0.0;
                for (std::size_t q = 0; q < width_; ++q) sum += cell(p, q);
                sums_[p] = sum;
            }
            return;
        }
        // A symmetric matrix is read in its upper triangle alone: row p adds its cells left of
        // the diagonal from the column above it (added there row by row, in row order), then
        // its own cells from the diagonal on. Several rows go at once to share the reading of
        // the columns and to overlap their additions.
        constexpr std::size_t block = 8;
        std::size_t start = 0;
        for (; start + block <= rows_.size(); start += block) addRowsOf<block>(&rows_[start]);
        for (; start < rows_.size(); ++start) addRowsOf<1>(&rows_[start]);
    }

    template <std::size_t count>
    void addRowsOf(const std::size_t* rows) {
        std::array<double, count> sum;
        const std::size_t last = rows[count - 1];
        for (std::size_t t = 0; t < count; ++t) {
            const std::size_t p = rows[t];
            sum[t] = sums_[p] + cell(p, p);
            for (std::size_t q = p + 1; q <= last; ++q) {
                sum[t] += cell(p, q);
                sums_[q] += cell(p, q);
            }
        }
        std::array<const double*, count> row;
        for (std::size_t t = 0; t < count; ++t) row[t] = &cell(rows[t], 0);
        for (std::size_t q = last + 1; q < width_; ++q) {
            double column = sums_[q];
            for (std::size_t t = 0; t < count; ++t) {
                sum[t] += row[t][q];
                column += row[t][q];
            }
            sums_[q] = column;
        }
        for (std::size_t t = 0; t < count; ++t) sums_[rows[t]] = sum[t];
    }

    // The first pair in row-major order whose Q value is lower than every earlier choice by
    // more than the tolerance; a row is read pair by pair only when its lowest Q value could
    // replace the current choice.
    std::pair<std::size_t, std::size_t> choosePair() {
        const double factor = static_cast<double>(static_cast<int32_t>(active_) - 2);
        // A removed column gets an infinite Q value, which is never chosen.
        for (std::size_t q = 0; q < width_; ++q) {
            if (!alive_[q]) sums_[q] = -std::numeric_limits<double>::infinity();
        }
        // The largest row sum right of each slot, for a bound on the Q values of a row.
        largestSumAfter_[width_] = -std::numeric_limits<double>::infinity();
        for (std::size_t q = width_; q-- > 0;)
            largestSumAfter_[q] =
                sums_[q] > largestSumAfter_[q + 1] ? sums_[q] : largestSumAfter_[q + 1];
        double best = pairScanStart;
        std::size_t i = 0;
        std::size_t j = 0;
        for (const std::size_t p : rows_) {
            const double* row = &cell(p, 0);
            const double rowSum = sums_[p];
            // Rounding is monotone, so no Q value of the row is below this bound: when the bound
            // cannot replace the choice, the row is not read.
            const double bound = factor * lowestCell_[p] - rowSum - largestSumAfter_[p + 1];
            if (bound >= best - tieTolerance) continue;
            if (!(best - tieTolerance > lowestQ(row, p + 1, factor, rowSum))) continue;
            for (std::size_t q = p + 1; q < width_; ++q) {
                const double value = factor * row[q] - rowSum - sums_[q];
                if (best - tieTolerance > value) {
                    best = value;
                    i = p;
                    j = q;
                }
            }
        }
        if (i != j) return {i, j};
        // Every Q value is huge (distances of 1e6 and more): take the first smallest one.
        i = rows_[0];
        j = rows_[1];
        best = factor * cell(i, j) - sums_[i] - sums_[j];
        for (const std::size_t p : rows_) {
            for (std::size_t q = p + 1; q < width_; ++q) {
                const double value = factor * cell(p, q) - sums_[p] - sums_[q];
                if (value < best) {
                    best = value;
                    i = p;
                    j = q;
                }
            }
        }
        return {i, j};
    }

    // The lowest Q value of row p from column `from` on (infinity when there is none below it).
    double lowestQ(const double* row, std::size_t from, double factor, double rowSum) const {
        double lowest = std::numeric_limits<double>::infinity();
        std::size_t q = from;
#ifdef __SSE2__
        // Two cells per instruction; each lane computes exactly what the scalar loop computes.
        const __m128d factors = _mm_set1_pd(factor);
        const __m128d rowSums = _mm_set1_pd(rowSum);
        __m128d lowestA = _mm_set1_pd(lowest);
        __m128d lowestB = lowestA;
        for (; q + 4 <= width_; q += 4) {
            const __m128d a =
                _mm_sub_pd(_mm_sub_pd(_mm_mul_pd(factors, _mm_loadu_pd(row + q)), rowSums),
                           _mm_loadu_pd(&sums_[q]));
            const __m128d b =
                _mm_sub_pd(_mm_sub_pd(_mm_mul_pd(factors, _mm_loadu_pd(row + q + 2)), rowSums),
                           _mm_loadu_pd(&sums_[q + 2]));
            // min(x, y) takes x only when x < y, so a NaN Q value is never taken.
            lowestA = _mm_min_pd(a, lowestA);
            lowestB = _mm_min_pd(b, lowestB);
        }
        std::array<double, 4> lanes;
        _mm_storeu_pd(&lanes[0], lowestA);
        _mm_storeu_pd(&lanes[2], lowestB);
        for (const double lane : lanes) lowest = lane < lowest ? lane : lowest;
#endif
        for (; q < width_; ++q) {
            const double value = factor * row[q] - rowSum - sums_[q];
            lowest = value < lowest ? value : lowest;
        }
        return lowest;
    }

    // Removing a column later only raises a row's lowest cell, so the value stays a bound.
    void findLowestCell(std::size_t p) {
        double lowest = std::numeric_limits<double>::infinity();
        for (std::size_t q = p + 1; q < width_; ++q) {
            if (alive_[q] && cell(p, q) < lowest) lowest = cell(p, q);
        }
        lowestCell_[p] = lowest;
    }

    // Moves the clusters still present to the first slots, in order.
    void compact() {
        std::size_t to = 0;
        for (std::size_t p = 0; p < width_; ++p) {
            if (!alive_[p]) continue;
            std::size_t column = 0;
            for (std::size_t q = 0; q < width_; ++q) {
                if (alive_[q]) cell(to, column++) = cell(p, q);
            }
            ids_[to] = ids_[p];
            lowestCell_[to] = lowestCell_[p];
            ++to;
        }
        width_ = active_;
        std::fill(alive_.begin(), alive_.begin() + static_cast<std::ptrdiff_t>(width_), 1);
    }

    std::size_t stride_;
    std::size_t width_;   // slots in use
    std::size_t active_;  // clusters present
    std::vector<double> cells_;
    std::vector<int32_t> ids_;
    std::vector<char> alive_;
    std::vector<double> sums_;
    std::vector<double> lowestCell_;  // at most every cell right of the diagonal in the row
    std::vector<double> largestSumAfter_;
    std::vector<std::size_t> rows_;  // the slots present, in order
    bool symmetric_ = true;
};

void addBranch(TreeAdjacency& adjacency, int32_t a, int32_t b, double length) {
    adjacency[a].emplace_back(b, length);
    adjacency[b].emplace_back(a, length);
}

std::string nodeName(int32_t node, const std::vector<ChromosomalStructure>& structures) {
    const auto index = static_cast<std::size_t>(node);
    return index < structures.size() ? "structure \"" + structures[index].name + "\""
                                     : "inner node " + std::to_string(node);
}

// Finite distances can still give branch lengths that overflow; such a tree cannot be written.
void checkFiniteBranches(const TreeAdjacency& adjacency,
                         const std::vector<ChromosomalStructure>& structures) {
    for (const auto& [node, neighbours] : adjacency) {
        for (const auto& [neighbour, length] : neighbours) {
            if (std::isfinite(length)) continue;
            throw std::runtime_error("The branch between " + nodeName(node, structures) + " and " +
                                     nodeName(neighbour, structures) + " is not finite (" +
                                     defaultFormat(length) + "): the distances are too large");
        }
    }
}

// Adds the subtree below `node`, reached from the tree node at `parent`, to the tree, and its
// branch lengths to `total` (each below the lengths of its subtree, as the text lists them).
void addSubtree(int32_t node, int32_t parent, double length, const TreeAdjacency& adjacency,
                std::vector<char>& visited, RootedTree& tree, double& total) {
    visited[static_cast<std::size_t>(node)] = 1;
    const auto position = static_cast<int32_t>(tree.nodes.size());
    const auto& neighbours = adjacency.at(node);
    tree.nodes.push_back({parent, {}, neighbours.size() == 1 ? node : -1, length});
    if (parent >= 0) tree.nodes[static_cast<std::size_t>(parent)].children.push_back(position);
    if (neighbours.size() == 1) return;
    for (const auto& [neighbour, branch] : neighbours) {
        if (visited[static_cast<std::size_t>(neighbour)]) continue;
        addSubtree(neighbour, position, branch, adjacency, visited, tree, total);
        total += branch;
    }
}

}  // namespace

TreeAdjacency neighbourJoin(const DistanceMatrix& distances, std::vector<int32_t> ids,
                            int32_t next) {
    TreeAdjacency adjacency;
    if (distances.size() < 2) return adjacency;
    JoiningMatrix clusters(distances, std::move(ids));
    std::vector<Join> joins;
    joins.reserve(distances.size() - 2);
    while (clusters.activeCount() > 2) joins.push_back(clusters.joinNext(next++));
    const auto [first, second, firstToSecond, secondToFirst] = clusters.lastPair();
    adjacency[first].emplace_back(second, firstToSecond);
    adjacency[second].emplace_back(first, secondToFirst);
    for (auto join = joins.rbegin(); join != joins.rend(); ++join) {
        addBranch(adjacency, join->node, join->first, join->firstLength);
        addBranch(adjacency, join->node, join->second, join->secondLength);
    }
    return adjacency;
}

BuiltTree neighbourJoiningTree(const DistanceMatrix& matrix,
                               const std::vector<ChromosomalStructure>& structures,
                               std::ostream& graph) {
    const std::size_t n = matrix.size();
    std::vector<int32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0);
    const TreeAdjacency adjacency = neighbourJoin(matrix, std::move(ids), static_cast<int32_t>(n));
    checkFiniteBranches(adjacency, structures);
    writeGraphFile(graph, adjacency);

    BuiltTree built;
    built.tree.toScale = true;
    if (n == 1) built.tree.nodes.push_back({-1, {}, 0, 0.0});
    if (n == 2) {
        // No inner node: both leaves hang from the middle of their one branch.
        const double half = matrix[0][1] * 0.5;
        built.tree.nodes = {{-1, {1, 2}, -1, 0.0}, {0, {}, 0, half}, {0, {}, 1, half}};
        built.totalBranchLength = matrix[0][1];
    }
    if (n > 2) {
        const int32_t root = adjacency.rbegin()->first;
        std::vector<char> visited(static_cast<std::size_t>(root) + 1, 0);
        addSubtree(root, -1, 0.0, adjacency, visited, built.tree, built.totalBranchLength);
    }
    if (!std::isfinite(built.totalBranchLength)) {
        throw std::runtime_error("The total branch length is not finite (" +
                                 defaultFormat(built.totalBranchLength) +
                                 "): the distances are too large");
    }
    built.text = newickText(built.tree, structures, true);
    return built;
}

}  // namespace varnet
