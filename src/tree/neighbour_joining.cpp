#include "tree/neighbour_joining.hpp"

#include <numeric>
#include <sstream>

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

std::pair<std::size_t, std::size_t> choosePair(const DistanceMatrix& d,
                                               const std::vector<double>& rowSums) {
    const std::size_t n = d.size();
    const double factor = static_cast<double>(static_cast<int32_t>(n) - 2);
    auto q = [&](std::size_t p, std::size_t r) {
        return factor * d[p][r] - rowSums[p] - rowSums[r];
    };
    double best = pairScanStart;
    std::size_t i = 0;
    std::size_t j = 0;
    for (std::size_t p = 0; p < n; ++p) {
        for (std::size_t r = p + 1; r < n; ++r) {
            const double value = q(p, r);
            if (best - tieTolerance > value) {
                best = value;
                i = p;
                j = r;
            }
        }
    }
    if (i != j) return {i, j};
    // Every Q value is huge (distances of 1e6 and more): take the first smallest one.
    i = 0;
    j = 1;
    best = q(0, 1);
    for (std::size_t p = 0; p < n; ++p) {
        for (std::size_t r = p + 1; r < n; ++r) {
            const double value = q(p, r);
            if (value < best) {
                best = value;
                i = p;
                j = r;
            }
        }
    }
    return {i, j};
}

// Replaces clusters i and j by one cluster at the smaller of the two positions.
void reduce(DistanceMatrix& d, std::size_t i, std::size_t j) {
    const std::size_t lo = std::min(i, j);
    const std::size_t hi = std::max(i, j);
    const double dij = d[i][j];
    for (std::size_t k = 0; k < d.size(); ++k) {
        if (k == i || k == j) continue;
        const double distance = (d[j][k] + d[i][k] - dij) * 0.5;
        d[lo][k] = distance;
        d[k][lo] = distance;
    }
    d.erase(d.begin() + static_cast<std::ptrdiff_t>(hi));
    for (std::vector<double>& row : d) row.erase(row.begin() + static_cast<std::ptrdiff_t>(hi));
}

void addBranch(TreeAdjacency& adjacency, int32_t a, int32_t b, double length) {
    adjacency[a].emplace_back(b, length);
    adjacency[b].emplace_back(a, length);
}

std::string newickFrom(int32_t node, double& total, const TreeAdjacency& adjacency,
                       std::vector<char>& visited, const std::vector<ChromosomalStructure>& names) {
    visited[static_cast<std::size_t>(node)] = 1;
    const auto& neighbours = adjacency.at(node);
    if (neighbours.size() == 1) return names[static_cast<std::size_t>(node)].name;
    std::string text = "(";
    for (const auto& [neighbour, length] : neighbours) {
        if (visited[static_cast<std::size_t>(neighbour)]) continue;
        text += newickFrom(neighbour, total, adjacency, visited, names);
        text += ':';
        text += defaultFormat(length);
        text += ',';
        total += length;
    }
    text.back() = ')';
    return text;
}

}  // namespace

TreeAdjacency neighbourJoin(DistanceMatrix distances, std::vector<int32_t> ids, int32_t next) {
    TreeAdjacency adjacency;
    if (distances.size() < 2) return adjacency;
    std::vector<Join> joins;
    std::vector<double> rowSums;
    while (distances.size() > 2) {
        const std::size_t n = distances.size();
        rowSums.assign(n, 0.0);
        for (std::size_t p = 0; p < n; ++p) {
            for (const double cell : distances[p]) rowSums[p] += cell;
        }
        const auto [i, j] = choosePair(distances, rowSums);
        const double delta = (rowSums[i] - rowSums[j]) / static_cast<int32_t>(n - 2);
        const double dij = distances[i][j];
        joins.push_back({next, ids[i], (dij + delta) * 0.5, ids[j], (dij - delta) * 0.5});
        reduce(distances, i, j);
        const std::size_t lo = std::min(i, j);
        const std::size_t hi = std::max(i, j);
        ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(hi));
        ids[lo] = next++;
    }
    adjacency[ids[0]].emplace_back(ids[1], distances[0][1]);
    adjacency[ids[1]].emplace_back(ids[0], distances[1][0]);
    // Deeper joins come first in every list: replay the joins from the last one back.
    for (auto join = joins.rbegin(); join != joins.rend(); ++join) {
        addBranch(adjacency, join->node, join->first, join->firstLength);
        addBranch(adjacency, join->node, join->second, join->secondLength);
    }
    return adjacency;
}

NeighbourJoiningTree neighbourJoiningTree(const DistanceMatrix& matrix,
                                          const std::vector<ChromosomalStructure>& structures,
                                          std::ostream& graph) {
    const std::size_t n = matrix.size();
    std::vector<int32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0);
    const TreeAdjacency adjacency = neighbourJoin(matrix, ids, static_cast<int32_t>(n));
    writeGraphFile(graph, adjacency);

    NeighbourJoiningTree tree;
    if (n == 0) return tree;
    if (n == 1) {
        tree.text = structures[0].name + ";";
        return tree;
    }
    if (n == 2) {
        // No inner node: both leaves hang from the middle of their one branch.
        const std::string half = defaultFormat(matrix[0][1] * 0.5);
        tree.text =
            "(" + structures[0].name + ":" + half + "," + structures[1].name + ":" + half + ");";
        tree.totalBranchLength = matrix[0][1];
        return tree;
    }
    const int32_t root = adjacency.rbegin()->first;
    std::vector<char> visited(static_cast<std::size_t>(root) + 1, 0);
    tree.text = newickFrom(root, tree.totalBranchLength, adjacency, visited, structures) + ";";
    return tree;
}

}  // namespace varnet
