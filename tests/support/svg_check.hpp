#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace varnet::testing {

// An element of an XML document: its name, attributes, own character data (entities decoded,
// without that of the elements inside it) and the index of the element that holds it.
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;
    std::size_t parent = static_cast<std::size_t>(-1);  // none for the document's root

    // The attribute's value, or "" when the element has none of that name.
    std::string attribute(const std::string& key) const {
        const auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
    }
};

// Checks with Expat that `text` is a well-formed XML document in UTF-8 and returns its elements
// in document order. Throws std::runtime_error naming the offset of the first fault.
std::vector<XmlElement> elementsOfSvg(const std::string& text);

// The same check, returning the texts of the elements with the attribute class="`elementClass`".
std::vector<std::string> textsOfSvgClass(const std::string& text, const std::string& elementClass);

}  // namespace varnet::testing
