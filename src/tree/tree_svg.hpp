#pragma once

#include <ostream>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "tree/newick.hpp"

namespace varnet {

// The tree as an SVG picture: a rectangular phylogram with the root on the left and the leaves
// on the right, each leaf labelled with its structure's full name in a text element of class
// "leaf"; a scale bar when the tree is drawn to scale. Support values, where the tree has them,
// stand left of their inner nodes in text elements of class "support", with a note below.
void writeTreeSvg(std::ostream& out, const RootedTree& tree,
                  const std::vector<ChromosomalStructure>& structures);

}  // namespace varnet
