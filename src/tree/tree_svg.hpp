#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"

namespace varnet {

// A rooted tree as it is drawn. Nodes are listed in preorder (a child always after its parent),
// so the leaves appear in the order they are drawn, top to bottom.
struct DrawnTree {
    struct Node {
        int32_t parent = -1;
        std::vector<int32_t> children;
        int32_t leaf = -1;    // structure index of a leaf, -1 for an inner node
        double length = 0.0;  // of the branch above the node
    };
    std::vector<Node> nodes;  // empty when there is no tree
    bool toScale = false;     // false: the branch lengths mean nothing, only the clusters do
};

// The tree of a Newick text whose leaves are written as structure indices ("(0:1.5,(2,1));").
// Throws std::runtime_error for text of any other shape.
DrawnTree parseIndexedNewick(const std::string& text);

// The tree `method` builds from `matrix`, as drawn: "upgma" with the height of every cluster
// half the mean distance between the members of its two parts, "nj" with its branch lengths,
// "kruskal" as clusters only. Empty for any other method. Builds the tree again on index names,
// so that leaves are told apart even where structure names repeat; prints nothing.
DrawnTree drawnTree(const std::string& method, const DistanceMatrix& matrix);

// The tree as an SVG picture: a rectangular phylogram with the root on the left and the leaves
// on the right, each leaf labelled with its structure's full name in a text element of class
// "leaf"; a scale bar when the tree is drawn to scale.
void writeTreeSvg(std::ostream& out, const DrawnTree& tree,
                  const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
