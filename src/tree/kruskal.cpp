#include "tree/kruskal.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "tree/newick.hpp"

namespace varnet {
namespace {

struct WeightedEdge {
    double weight;
    int32_t a;
    int32_t b;
};

// Orders by weight (any NaN last, so the order stays strict), then by a, then by b.
bool lighter(const WeightedEdge& x, const WeightedEdge& y) {
    if (x.weight < y.weight || (!std::isnan(x.weight) && std::isnan(y.weight))) return true;
    if (y.weight < x.weight || std::isnan(x.weight) != std::isnan(y.weight)) return false;
    return x.a != y.a ? x.a < y.a : x.b < y.b;
}

// The root of `node`'s set; every node on the way is hung directly below the root.
int32_t findRoot(std::vector<int32_t>& parent, int32_t node) {
    int32_t root = node;
    while (parent[static_cast<std::size_t>(root)] != root)
        root = parent[static_cast<std::size_t>(root)];
    while (parent[static_cast<std::size_t>(node)] != root) {
        const int32_t up = parent[static_cast<std::size_t>(node)];
        parent[static_cast<std::size_t>(node)] = root;
        node = up;
    }
    return root;
}

}  // namespace

BuiltTree kruskalTree(const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures, std::ostream& out) {
    const auto n = static_cast<int32_t>(matrix.size());
    std::vector<WeightedEdge> edges;
    edges.reserve(matrix.size() * (matrix.size() - (matrix.empty() ? 0 : 1)) / 2);
    for (int32_t p = 0; p < n; ++p) {
        for (int32_t q = p + 1; q < n; ++q)
            edges.push_back(
                {matrix[static_cast<std::size_t>(p)][static_cast<std::size_t>(q)], p, q});
    }
    std::sort(edges.begin(), edges.end(), lighter);

    std::vector<int32_t> parent(matrix.size());
    std::vector<std::string> labels(matrix.size());
    // The tree node each set's root stands for; join t makes node n + t.
    std::vector<std::size_t> nodeOf(matrix.size());
    std::vector<std::pair<std::size_t, std::size_t>> joins;
    for (int32_t k = 0; k < n; ++k) {
        parent[static_cast<std::size_t>(k)] = k;
        nodeOf[static_cast<std::size_t>(k)] = static_cast<std::size_t>(k);
        labels[static_cast<std::size_t>(k)] =
            newickName(structures[static_cast<std::size_t>(k)].name);
    }
    // Which root goes below the other changes no output; a generator that is never seeded
    // keeps every run identical.
    std::minstd_rand coin;
    for (const WeightedEdge& edge : edges) {
        const int32_t ra = findRoot(parent, edge.a);
        const int32_t rb = findRoot(parent, edge.b);
        if (ra == rb) continue;
        std::string& labelA = labels[static_cast<std::size_t>(ra)];
        std::string& labelB = labels[static_cast<std::size_t>(rb)];
        out << labelA << ' ' << labelB << '\n';
        std::string joined = "(" + labelA + "," + labelB + ")";
        labelA.clear();
        labelB.clear();
        const bool aBelow = (coin() & 1u) != 0;
        const int32_t root = aBelow ? rb : ra;
        parent[static_cast<std::size_t>(aBelow ? ra : rb)] = root;
        labels[static_cast<std::size_t>(root)] = std::move(joined);
        joins.emplace_back(nodeOf[static_cast<std::size_t>(ra)],
                           nodeOf[static_cast<std::size_t>(rb)]);
        nodeOf[static_cast<std::size_t>(root)] = matrix.size() + joins.size() - 1;
    }
    // A single structure makes no join and no tree.
    BuiltTree built;
    if (!joins.empty()) built.tree = joinedTree(matrix.size(), joins);
    built.text = newickText(built.tree, structures, false);
    return built;
}

}  // namespace varnet
