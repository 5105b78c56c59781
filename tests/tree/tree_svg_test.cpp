#include "tree/tree_svg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <sstream>

#include "support/svg_check.hpp"
#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/upgma.hpp"

namespace varnet {
namespace {

std::string svgOf(const RootedTree& tree, const std::vector<ChromosomalStructure>& structures) {
    std::ostringstream out;
    writeTreeSvg(out, tree, structures);
    return out.str();
}

// Leaf names in the order a Newick text written with plain names lists them: the names that
// open the text or follow "(" or ",".
std::vector<std::string> newickLeaves(const std::string& text) {
    const std::regex leaf("(^|[(,])([^(),:;]+)");
    std::vector<std::string> leaves;
    for (std::sregex_iterator it(text.begin(), text.end(), leaf), end; it != end; ++it)
        leaves.push_back((*it)[2]);
    return leaves;
}

std::ostream nowhere(nullptr);  // the reports of the tree methods

DistanceMatrix randomMatrix(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    DistanceMatrix matrix(size, std::vector<double>(size, 0.0));
    for (std::size_t p = 0; p < size; ++p) {
        for (std::size_t q = p + 1; q < size; ++q)
            matrix[p][q] = matrix[q][p] = static_cast<double>(1 + random() % 40) / 4;
    }
    return matrix;
}

TEST(TreeSvg, WellFormedWithOneLabelPerLeafInTheOrderOfTheTreeText) {
    for (const std::size_t size : {1u, 2u, 6u, 500u}) {
        const DistanceMatrix matrix = randomMatrix(size, static_cast<uint32_t>(size));
        std::vector<ChromosomalStructure> structures(size);
        for (std::size_t k = 0; k < size; ++k) structures[k].name = "genome_" + std::to_string(k);
        const std::pair<const char*, BuiltTree> methods[] = {
            {"upgma", upgmaTree(matrix, structures, nowhere)},
            {"nj", size > 100 ? BuiltTree() : neighbourJoiningTree(matrix, structures, nowhere)},
            {"kruskal", kruskalTree(matrix, structures, nowhere)},
            {"none", BuiltTree()}};
        for (const auto& [method, built] : methods) {
            if (size > 100 && std::string(method) == "nj") continue;  // cubic, and like upgma
            SCOPED_TRACE(std::string(method) + " on " + std::to_string(size));
            const std::string svg = svgOf(built.tree, structures);
            EXPECT_EQ(testing::textsOfSvgClass(svg, "leaf"), newickLeaves(built.text));
            const bool toScale = std::string(method) == "upgma" || std::string(method) == "nj";
            EXPECT_EQ(svg.find("v8\"/>") != std::string::npos, toScale && size > 1)
                << "a scale bar exactly where branch lengths are drawn";
        }
    }
}

// Genomes all alike: every branch of UPGMA's tree has length 0, so the tree is drawn as
// clusters, and the footer says why instead of drawing a scale bar.
TEST(TreeSvg, TreeWhoseBranchesAllHaveLengthZeroSaysSo) {
    const std::vector<ChromosomalStructure> structures(3);
    const DistanceMatrix zero(3, std::vector<double>(3, 0.0));
    const std::string svg = svgOf(upgmaTree(zero, structures, nowhere).tree, structures);
    EXPECT_NE(svg.find(">every branch length is 0</text>"), std::string::npos) << svg;
}

TEST(TreeSvg, NamesOfAnyBytesKeepThePictureWellFormed) {
    const std::vector<ChromosomalStructure> structures = {
        {"A&B<c>", {}}, {"q\"'", {}}, {"bad\xff\x01utf", {}}, {"\xC3\xA9t\xF0\x9F\x98\x80", {}}};
    const DistanceMatrix matrix = randomMatrix(4, 7);
    std::vector<std::string> labels = testing::textsOfSvgClass(
        svgOf(neighbourJoiningTree(matrix, structures, nowhere).tree, structures), "leaf");
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"A&B<c>", "bad\xEF\xBF\xBD\xEF\xBF\xBDutf", "q\"'",
                                                "\xC3\xA9t\xF0\x9F\x98\x80"}));
}

TEST(TreeSvg, SupportValuesStandAtTheirInnerNodes) {
    const std::vector<ChromosomalStructure> structures(6);
    RootedTree tree = upgmaTree(randomMatrix(6, 3), structures, nowhere).tree;
    const std::string plain = svgOf(tree, structures);
    EXPECT_TRUE(testing::textsOfSvgClass(plain, "support").empty());
    EXPECT_EQ(plain.find("jackknife"), std::string::npos);
    tree.support.assign(tree.nodes.size(), -1);
    std::vector<std::string> expected;
    for (std::size_t v = 1; v < tree.nodes.size(); ++v) {
        if (tree.nodes[v].children.empty()) continue;
        tree.support[v] = static_cast<int32_t>(v * 7);
        expected.push_back(std::to_string(v * 7));
    }
    const std::string svg = svgOf(tree, structures);
    EXPECT_EQ(testing::textsOfSvgClass(svg, "support"), expected);
    EXPECT_EQ(testing::textsOfSvgClass(svg, "leaf"), testing::textsOfSvgClass(plain, "leaf"));
    EXPECT_NE(svg.find("jackknife support"), std::string::npos);
}

TEST(TreeSvg, UpgmaClustersSitAtHalfTheirMeanDistance) {
    // d(A,C) = 1 is the closest pair: (A,C) at height 0.5; the root at (4 + 5) / 2 / 2 = 2.25.
    const DistanceMatrix matrix = {{0, 4, 1}, {4, 0, 5}, {1, 5, 0}};
    const std::vector<ChromosomalStructure> structures(3);
    const RootedTree tree = upgmaTree(matrix, structures, nowhere).tree;
    ASSERT_EQ(tree.nodes.size(), 5u);
    const int32_t leaves[] = {-1, -1, 0, 2, 1};
    const double lengths[] = {0.0, 1.75, 0.5, 0.5, 2.25};
    for (std::size_t v = 0; v < 5; ++v) {
        EXPECT_EQ(tree.nodes[v].leaf, leaves[v]) << v;
        EXPECT_DOUBLE_EQ(tree.nodes[v].length, lengths[v]) << v;
    }
    // Kruskal's branches all have length 0, so its picture draws no scale either way; the flag
    // still decides the picture's note on the lengths.
    EXPECT_FALSE(kruskalTree(matrix, structures, nowhere).tree.toScale);
}

}  // namespace
}  // namespace varnet
