#include "tree/newick.hpp"

#include <sstream>
#include <string_view>

namespace varnet {

std::string newickName(const std::string& name) {
    constexpr std::string_view reserved = " \t\n\v\f\r()[]':;,";
    if (name.find_first_of(reserved) == std::string::npos) return name;
    std::string quoted = "'";
    for (const char c : name) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

std::string newickText(const RootedTree& tree, const std::vector<ChromosomalStructure>& structures,
                       bool lengths) {
    std::ostringstream text;
    // Node v still to be opened, or ~v: node v's subtree written, its closing text next. Written
    // without recursion, as a tree of thousands of leaves can be a deep comb.
    std::vector<int32_t> pending;
    if (!tree.nodes.empty()) pending.push_back(0);
    while (!pending.empty()) {
        const int32_t item = pending.back();
        pending.pop_back();
        const RootedTree::Node& node =
            tree.nodes[static_cast<std::size_t>(item < 0 ? ~item : item)];
        if (item < 0) {
            if (!node.children.empty()) text << ')';
            if (!tree.support.empty() && tree.support[static_cast<std::size_t>(~item)] >= 0)
                text << tree.support[static_cast<std::size_t>(~item)];
            if (lengths && node.parent >= 0) text << ':' << node.length;
            continue;
        }
        if (node.parent >= 0 &&
            tree.nodes[static_cast<std::size_t>(node.parent)].children[0] != item)
            text << ',';
        if (node.children.empty())
            text << newickName(structures[static_cast<std::size_t>(node.leaf)].name);
        else
            text << '(';
        pending.push_back(~item);
        pending.insert(pending.end(), node.children.rbegin(), node.children.rend());
    }
    text << ';';
    return text.str();
}

RootedTree joinedTree(std::size_t leafCount,
                      const std::vector<std::pair<std::size_t, std::size_t>>& joins,
                      const std::vector<double>& heights) {
    RootedTree tree;
    if (leafCount == 0) return tree;
    const auto heightOf = [&](std::size_t node) {
        return node < leafCount || heights.empty() ? 0.0 : heights[node - leafCount];
    };
    // (node, position of its parent in the tree), taken in preorder.
    std::vector<std::pair<std::size_t, int32_t>> pending = {{leafCount + joins.size() - 1, -1}};
    std::vector<double> heightAt;
    while (!pending.empty()) {
        const auto [node, parent] = pending.back();
        pending.pop_back();
        const auto position = static_cast<int32_t>(tree.nodes.size());
        const bool leaf = node < leafCount;
        heightAt.push_back(heightOf(node));
        tree.nodes.push_back(
            {parent,
             {},
             leaf ? static_cast<int32_t>(node) : -1,
             parent < 0 ? 0.0 : heightAt[static_cast<std::size_t>(parent)] - heightAt.back()});
        if (parent >= 0) tree.nodes[static_cast<std::size_t>(parent)].children.push_back(position);
        if (leaf) continue;
        const auto [first, second] = joins[node - leafCount];
        pending.push_back({second, position});
        pending.push_back({first, position});
    }
    return tree;
}

}  // namespace varnet
