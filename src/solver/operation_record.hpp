#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/component.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// Elementary events of a step, numbered as they are printed (not in weight order).
enum EventCode : int32_t {
    dpEvent = 0,
    spEvent = 1,
    cutEvent = 2,
    joinEvent = 3,
    aDeletionEvent = 4,
    bDeletionEvent = 5,
};

std::string_view eventName(int32_t code);

// The index in `OperationWeights` of the weight an event is charged: "aD" costs the weight at
// index 5, "bD" index 4, "C" index 3, "J" index 2. The one place that maps events to weights.
constexpr std::size_t weightIndexOf(EventCode code) {
    constexpr std::size_t indices[] = {0, 1, 3, 2, 5, 4};
    return indices[code];
}
inline double weightOf(EventCode code, const OperationWeights& weights) {
    return weights[weightIndexOf(code)];
}

// A component copied into a record, tagged 'C' (cycle) or 'L' (linear).
struct ComponentItem {
    Component component;
    char tag = 'L';
    bool operator==(const ComponentItem&) const = default;
};

// One step of the shortest sequence.
struct OperationRecord {
    std::vector<ComponentItem> before;
    std::vector<ComponentItem> after;
    std::vector<int32_t> events;
    std::string step;
    bool operator==(const OperationRecord&) const = default;
};

// Two alternative outcomes of one step (components 1 and 2, or 3 and 4) and that step's number
// in the log (`StepLog::openStep`), whose record's after list waits for the outcome.
struct ComponentQuad {
    Component first;
    Component second;
    Component third;
    Component fourth;
    uint64_t recordIndex = 0;
};

// How many events of each code a sequence holds, indexed by `EventCode`.
using EventCounts = std::array<std::size_t, 6>;
// Adds the events of `record` to `counts`.
void countEvents(const OperationRecord& record, EventCounts& counts);

}  // namespace varnet
