// Builds a tree from a generated distance matrix and prints it, timing the tree method alone:
//   varnet_tree_build COUNT SEED KIND METHOD [exact]
// KIND "real" draws distances uniformly from [1, 100); "int" draws whole numbers from 1 to 9, so
// that ties are everywhere; "groups" makes a matrix like that of real gene orders, where many
// genomes are written alike: COUNT / 5 groups of identical rows (one holding half the taxa, the
// others of random sizes, the rows of a group scattered), whole-number distances between groups
// along a random tree plus a little noise. METHOD is "upgma", "nj" (which also prints the tree
// graph, and with "exact" every branch length to the last bit from a second run on a copy of the
// matrix), "kruskal", or "phylip", which builds nothing and prints the matrix as a square PHYLIP
// file (for PHYLIP's neighbor). The tree goes to standard output, the seconds spent in the tree
// method to standard error. The method takes the matrix over, so without "exact" the peak memory
// is one matrix and the method's own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/upgma.hpp"

int main(int argc, char** argv) {
    using namespace varnet;
    if (argc != 5 && !(argc == 6 && std::string(argv[5]) == "exact")) {
        std::cerr << "usage: varnet_tree_build COUNT SEED real|int|groups upgma|nj|kruskal|phylip "
                     "[exact]\n";
        return 1;
    }
    const auto n = static_cast<std::size_t>(std::stoul(argv[1]));
    std::mt19937 random(static_cast<uint32_t>(std::stoul(argv[2])));
    const std::string kind = argv[3];
    const std::string method = argv[4];

    DistanceMatrix matrix(n, std::vector<double>(n, 0.0));
    if (kind == "groups") {
        const std::size_t groups = std::max<std::size_t>(2, n / 5);
        // Half the taxa in group 0, one in each other group, the rest spread at random.
        std::vector<std::size_t> groupOf(n, 0);
        for (std::size_t k = n / 2; k < n; ++k) {
            groupOf[k] = k - n / 2 + 1 < groups
                             ? k - n / 2 + 1
                             : std::uniform_int_distribution<std::size_t>(1, groups - 1)(random);
        }
        std::shuffle(groupOf.begin(), groupOf.end(), random);
        // A random tree over the groups: each hangs from an earlier one, 1 to 6 below it.
        std::vector<std::size_t> parent(groups, 0);
        std::vector<int> depth(groups, 0);
        for (std::size_t g = 1; g < groups; ++g) {
            parent[g] = std::uniform_int_distribution<std::size_t>(0, g - 1)(random);
            depth[g] = depth[parent[g]] + std::uniform_int_distribution<int>(1, 6)(random);
        }
        DistanceMatrix between(groups, std::vector<double>(groups, 0.0));
        for (std::size_t g = 0; g < groups; ++g) {
            for (std::size_t h = g + 1; h < groups; ++h) {
                std::size_t a = g;
                std::size_t b = h;
                while (a != b) (a > b ? a : b) = parent[a > b ? a : b];
                between[g][h] = between[h][g] = depth[g] + depth[h] - 2 * depth[a] +
                                                std::uniform_int_distribution<int>(0, 2)(random);
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) matrix[i][j] = between[groupOf[i]][groupOf[j]];
        }
    }
    for (std::size_t i = 0; kind != "groups" && i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            matrix[i][j] = matrix[j][i] =
                kind == "int" ? std::uniform_int_distribution<int>(1, 9)(random)
                              : std::uniform_real_distribution<double>(1, 100)(random);
        }
    }
    if (method == "phylip") {
        std::printf("%zu\n", n);
        for (std::size_t i = 0; i < n; ++i) {
            std::printf("t%-9zu", i);
            for (const double cell : matrix[i]) std::printf(" %g", cell);
            std::printf("\n");
        }
        return 0;
    }
    std::vector<ChromosomalStructure> structures(n);
    for (std::size_t k = 0; k < n; ++k)
        structures[k].name = std::string("t").append(std::to_string(k));

    // Every branch length to the last bit, for comparing two builds of the program.
    const bool exact = method == "nj" && argc == 6;
    const DistanceMatrix copy = exact ? matrix : DistanceMatrix();

    const auto start = std::chrono::steady_clock::now();
    std::string text;
    std::ostringstream graph;
    std::ostringstream joins;
    if (method == "upgma") {
        text = upgmaTree(std::move(matrix), structures, joins).text;
    } else if (method == "kruskal") {
        text = kruskalTree(std::move(matrix), structures, joins).text;
    } else {
        const BuiltTree tree = neighbourJoiningTree(std::move(matrix), structures, graph);
        text = tree.text + "\n" +
               (std::ostringstream() << std::setprecision(17) << tree.totalBranchLength).str();
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::cout << text << '\n' << graph.str() << joins.str();
    if (exact) {
        std::vector<int32_t> ids(n);
        for (std::size_t k = 0; k < n; ++k) ids[k] = static_cast<int32_t>(k);
        std::cout.precision(17);
        for (const auto& [node, neighbours] : neighbourJoin(copy, ids, static_cast<int32_t>(n))) {
            for (const auto& [neighbour, length] : neighbours)
                std::cout << node << ' ' << neighbour << ' ' << length << '\n';
        }
    }
    std::cerr << method << " on " << n << " taxa: " << seconds.count() << " s\n";
    return 0;
}
