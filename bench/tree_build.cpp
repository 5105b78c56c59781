// Builds a tree from a generated distance matrix and prints it, timing the tree method alone:
//   varnet_tree_build COUNT SEED KIND METHOD [exact]
// KIND "real" draws distances uniformly from [1, 100); "int" draws whole numbers from 1 to 9, so
// that ties are everywhere. METHOD is "upgma", "nj" (which also prints the tree graph, and with
// "exact" every branch length to the last bit from a second run on a copy of the matrix) or
// "kruskal". The tree goes to standard output, the seconds spent in the tree method to standard
// error. The method takes the matrix over, so without "exact" the peak memory is one matrix and
// the method's own.
#include <chrono>
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
        std::cerr << "usage: varnet_tree_build COUNT SEED real|int upgma|nj|kruskal [exact]\n";
        return 1;
    }
    const auto n = static_cast<std::size_t>(std::stoul(argv[1]));
    std::mt19937 random(static_cast<uint32_t>(std::stoul(argv[2])));
    const std::string kind = argv[3];
    const std::string method = argv[4];

    DistanceMatrix matrix(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            matrix[i][j] = matrix[j][i] =
                kind == "int" ? std::uniform_int_distribution<int>(1, 9)(random)
                              : std::uniform_real_distribution<double>(1, 100)(random);
        }
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
