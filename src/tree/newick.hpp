#pragma once

#include <string>

namespace varnet {

// A structure name as a Newick label. A name holding a character that Newick reserves
// (whitespace, "()[]':;,") is enclosed in single quotes with every inner quote doubled, so every
// Newick reader gets the name back; any other name is written as it is.
std::string newickName(const std::string& name);

}  // namespace varnet
