#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace varnet {

// The text of the progress line: pairs (or other `unit`s) done of the total, their number per
// second and the time left.
std::string progressText(uint64_t done, uint64_t total, double seconds,
                         const std::string& unit = "pairs");

// A live progress line on a terminal, redrawn in place at most four times a second. With no
// terminal it prints nothing. Not synchronised: one lock must guard every call.
class ProgressMeter {
public:
    ProgressMeter(std::ostream* terminal, uint64_t total, std::string unit = "pairs");

    // Counts `count` more pairs (units) done, and redraws when the line is old enough.
    void pairDone(uint64_t count = 1);
    // Removes the line, before other text reaches the terminal and at the end.
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    std::ostream* terminal_;
    uint64_t total_;
    std::string unit_;
    uint64_t done_ = 0;
    Clock::time_point start_;
    Clock::time_point drawn_;
    bool shown_ = false;
};

}  // namespace varnet
