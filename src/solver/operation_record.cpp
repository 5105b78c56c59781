#include "solver/operation_record.hpp"

#include <array>
#include <stdexcept>

namespace varnet {

std::string_view eventName(int32_t code) {
    static constexpr std::array<std::string_view, 6> names = {"DP", "SP", "C", "J", "aD", "bD"};
    if (code < 0 || code >= static_cast<int32_t>(names.size())) {
        throw std::out_of_range("unknown event code " + std::to_string(code));
    }
    return names[static_cast<std::size_t>(code)];
}

void countEvents(const OperationRecord& record, EventCounts& counts) {
    for (const int32_t code : record.events) ++counts.at(static_cast<std::size_t>(code));
}

}  // namespace varnet
