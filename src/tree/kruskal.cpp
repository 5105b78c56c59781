#include "tree/kruskal.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace varnet {
namespace {

struct WeightedEdge {
    double weight;
    std::size_t a;
    std::size_t b;
};

// Orders by weight (any NaN last, so the order stays strict), then by a, then by b.
bool lighter(const WeightedEdge& x, const WeightedEdge& y) {
    if (x.weight < y.weight || (!std::isnan(x.weight) && std::isnan(y.weight))) return true;
    if (y.weight < x.weight || std::isnan(x.weight) != std::isnan(y.weight)) return false;
    return x.a != y.a ? x.a < y.a : x.b < y.b;
}

// The root of `node`'s set; every node on the way is hung directly below the root.
std::size_t findRoot(std::vector<std::size_t>& parent, std::size_t node) {
    std::size_t root = node;
    while (parent[root] != root) root = parent[root];
    while (parent[node] != root) node = std::exchange(parent[node], root);
    return root;
}

// The edge between p and q (p < q) weighs the cell above the diagonal.
WeightedEdge edgeBetween(const DistanceMatrix& matrix, std::size_t x, std::size_t y) {
    const std::size_t a = std::min(x, y);
    const std::size_t b = std::max(x, y);
    return {matrix[a][b], a, b};
}

// The minimum spanning tree under the strict order `lighter`, grown from structure 0 by Prim's
// method: time proportional to the matrix, memory to its side.
std::vector<WeightedEdge> minimumSpanningTree(const DistanceMatrix& matrix) {
    const std::size_t n = matrix.size();
    std::vector<WeightedEdge> spanning;
    if (n < 2) return spanning;
    spanning.reserve(n - 1);
    std::vector<WeightedEdge> link(n);  // the lightest edge from the tree to each structure
    std::vector<std::size_t> outside;
    for (std::size_t x = 1; x < n; ++x) {
        link[x] = edgeBetween(matrix, 0, x);
        outside.push_back(x);
    }
    while (!outside.empty()) {
        auto nearest = outside.begin();
        for (auto x = outside.begin(); x != outside.end(); ++x) {
            if (lighter(link[*x], link[*nearest])) nearest = x;
        }
        const std::size_t k = *nearest;
        spanning.push_back(link[k]);
        *nearest = outside.back();
        outside.pop_back();
        for (const std::size_t x : outside) {
            const WeightedEdge edge = edgeBetween(matrix, k, x);
            if (lighter(edge, link[x])) link[x] = edge;
        }
    }
    return spanning;
}

}  // namespace

BuiltTree kruskalTree(DistanceMatrix matrix, const std::vector<ChromosomalStructure>& structures,
                      std::ostream& report) {
    const std::size_t n = matrix.size();
    // Kruskal's method over all edges in order joins along exactly the edges of the minimum
    // spanning tree, in order: with edges ordered strictly (weight, then indices) that tree is
    // unique, so the edges it skips change nothing and need not be listed or sorted.
    std::vector<WeightedEdge> edges = minimumSpanningTree(matrix);
    std::sort(edges.begin(), edges.end(), lighter);

    std::vector<std::size_t> parent(n);
    std::vector<std::string> labels(n);
    // The tree node each set's root stands for; join t makes node n + t.
    std::vector<std::size_t> nodeOf(n);
    std::vector<std::pair<std::size_t, std::size_t>> joins;
    for (std::size_t k = 0; k < n; ++k) {
        parent[k] = nodeOf[k] = k;
        labels[k] = newickName(structures[k].name);
    }
    for (const WeightedEdge& edge : edges) {
        const std::size_t ra = findRoot(parent, edge.a);
        const std::size_t rb = findRoot(parent, edge.b);
        if (ra == rb) continue;
        report << labels[ra] << ' ' << labels[rb] << '\n';
        labels[ra] = "(" + labels[ra] + "," + labels[rb] + ")";
        labels[rb].clear();
        parent[rb] = ra;
        joins.emplace_back(nodeOf[ra], nodeOf[rb]);
        nodeOf[ra] = n + joins.size() - 1;
    }
    // A single structure makes no join and no tree.
    BuiltTree built;
    if (!joins.empty()) built.tree = joinedTree(n, joins);
    built.text = newickText(built.tree, structures, false);
    return built;
}

}  // namespace varnet
