#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

// A rooted tree over the structures. Nodes are listed in preorder (the root first, a child
// always after its parent, children in the order they are written), so the leaves appear in the
// order the Newick text names them and the picture draws them, top to bottom.
struct RootedTree {
    struct Node {
        int32_t parent = -1;
        std::vector<int32_t> children;
        int32_t leaf = -1;    // structure index of a leaf, -1 for an inner node
        double length = 0.0;  // of the branch above the node
    };
    std::vector<Node> nodes;  // empty when there is no tree
    bool toScale = false;     // false: the branch lengths mean nothing, only the clusters do
    // Per node, the support of its branch in percent, written after an inner node's closing
    // parenthesis; -1 for none. Empty when the tree has no support values.
    std::vector<int32_t> support;
};

// A tree a method built: the tree itself, its Newick text and the sum of its branch lengths.
struct BuiltTree {
    RootedTree tree;
    std::string text;  // ends in ";"
    double totalBranchLength = 0.0;
};

// A structure name as a Newick label. A name holding a character that Newick reserves
// (whitespace, "()[]':;,") is enclosed in single quotes with every inner quote doubled, so every
// Newick reader gets the name back; any other name is written as it is.
std::string newickName(const std::string& name);

// The tree as Newick text ending in ";" (";" alone for no tree). With `lengths`, every node but
// the root is followed by ":" and its branch length as a stream writes a double by default; an
// inner node's support value, where it has one, stands before that (`(A,B)97:0.5`).
std::string newickText(const RootedTree& tree, const std::vector<ChromosomalStructure>& structures,
                       bool lengths);

// The tree of `leafCount` leaves joined pairwise: join t makes node leafCount + t of its two
// nodes, first written first; the last join is the root (leaf 0 when there is no join). With
// `heights` (one per join), the branch above a node spans its parent's height less its own, a
// leaf standing at height 0.
RootedTree joinedTree(std::size_t leafCount,
                      const std::vector<std::pair<std::size_t, std::size_t>>& joins,
                      const std::vector<double>& heights = {});

}  // namespace varnet
