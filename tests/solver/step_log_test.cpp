#include "solver/step_log.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/builders.hpp"

namespace varnet {
namespace {

auto recordOf(std::string step) {
    return [step] { return OperationRecord{{}, {}, {spEvent}, step}; };
}

// A record reaches the writer only once it and every record before it are settled, in order,
// with the outcomes listed while it was open.
TEST(StepLog, HandsARecordOverOnceEveryRecordUpToItIsSettled) {
    StepLog log;
    std::vector<std::string> written;
    log.setWriter([&written](const OperationRecord& record) {
        written.push_back(record.step + ":" + std::to_string(record.after.size()));
    });
    log.recordStep(recordOf("first"));
    const uint64_t outer = log.openStep(recordOf("outer"));
    const uint64_t inner = log.openStep(recordOf("inner"));
    log.recordStep(recordOf("after"));
    EXPECT_EQ(written, std::vector<std::string>{"first:0"});
    log.addOutcome(inner, Component{testing::lone(11)});
    log.settle(inner);
    log.recordStep(recordOf("next"));
    EXPECT_EQ(written, std::vector<std::string>{"first:0"});
    log.addOutcome(outer, Component{testing::lone(21)});
    log.addOutcome(outer, Component{testing::lone(22)});
    log.settle(outer);
    log.recordStep(recordOf("last"));
    EXPECT_EQ(written, (std::vector<std::string>{"first:0", "outer:2", "inner:1", "after:0",
                                                 "next:0", "last:0"}));
    log.writeRemaining();
    EXPECT_EQ(written.size(), 6u);
}

}  // namespace
}  // namespace varnet
