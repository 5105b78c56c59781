#include "compare/pair_settings.hpp"

#include <stdexcept>

namespace varnet {

namespace {

constexpr std::string_view copyRuleNames[] = {"order", "context"};  // in the order of CopyRule

}  // namespace

std::string_view copyRuleName(CopyRule rule) {
    return copyRuleNames[static_cast<int>(rule)];
}

CopyRule parseCopyRule(const std::string& text) {
    for (const CopyRule rule : {CopyRule::order, CopyRule::context}) {
        if (text == copyRuleName(rule)) return rule;
    }
    throw std::runtime_error("the argument ('" + text +
                             "') for option '--copies' is invalid: use order or context");
}

}  // namespace varnet
