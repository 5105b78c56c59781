#include "tree/progress_meter.hpp"

#include <cmath>
#include <iomanip>
#include <sstream>
#include <utility>

namespace varnet {
namespace {

constexpr std::chrono::milliseconds redrawInterval{250};
// Returns to the start of the line and erases it to its end.
constexpr const char* eraseLine = "\r\x1b[K";

std::string duration(double seconds) {
    const auto whole = static_cast<uint64_t>(std::ceil(seconds));
    std::ostringstream text;
    if (whole >= 3600) {
        text << whole / 3600 << "h " << whole / 60 % 60 << "m";
    } else if (whole >= 60) {
        text << whole / 60 << "m " << whole % 60 << "s";
    } else {
        text << whole << "s";
    }
    return text.str();
}

}  // namespace

std::string progressText(uint64_t done, uint64_t total, double seconds, const std::string& unit) {
    std::ostringstream text;
    text << unit << ' ' << done << " of " << total;
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        text << ", ";
        if (rate >= 10) {
            text << static_cast<uint64_t>(std::round(rate));
        } else {
            text << std::fixed << std::setprecision(1) << rate;
        }
        text << ' ' << unit << "/s, " << duration(static_cast<double>(total - done) / rate)
             << " left";
    }
    return text.str();
}

ProgressMeter::ProgressMeter(std::ostream* terminal, uint64_t total, std::string unit)
    : terminal_(terminal),
      total_(total),
      unit_(std::move(unit)),
      start_(Clock::now()),
      drawn_(start_ - redrawInterval) {}

void ProgressMeter::pairDone(uint64_t count) {
    done_ += count;
    if (terminal_ == nullptr) return;
    const Clock::time_point now = Clock::now();
    // Clearing the line does not make it due: it comes back at the next interval.
    if (now - drawn_ < redrawInterval) return;
    const std::chrono::duration<double> elapsed = now - start_;
    *terminal_ << eraseLine << progressText(done_, total_, elapsed.count(), unit_) << std::flush;
    drawn_ = now;
    shown_ = true;
}

void ProgressMeter::clear() {
    if (terminal_ == nullptr || !shown_) return;
    *terminal_ << eraseLine << std::flush;
    shown_ = false;
}

}  // namespace varnet
