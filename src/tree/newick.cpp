#include "tree/newick.hpp"

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

}  // namespace varnet
