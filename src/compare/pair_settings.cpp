#include "compare/pair_settings.hpp"

#include <stdexcept>

namespace varnet {

std::string_view copyRuleName(CopyRule rule) {
    return rule == CopyRule::order ? "order" : "context";
}

CopyRule parseCopyRule(const std::string& text) {
    if (text == "order") return CopyRule::order;
    if (text == "context") return CopyRule::context;
    throw std::runtime_error("the argument ('" + text +
                             "') for option '--copies' is invalid: use order or context");
}

}  // namespace varnet
