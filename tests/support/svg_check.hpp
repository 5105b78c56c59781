#pragma once

#include <string>
#include <vector>

namespace varnet::testing {

// Checks with Expat that `text` is a well-formed XML document in UTF-8 and returns the text of
// every element with the attribute class="leaf", entities decoded, in document order. Throws
// std::runtime_error naming the offset of the first fault.
std::vector<std::string> leafLabelsOfSvg(const std::string& text);

// The same check, returning the texts of the elements with the attribute class="`elementClass`".
std::vector<std::string> textsOfSvgClass(const std::string& text, const std::string& elementClass);

}  // namespace varnet::testing
