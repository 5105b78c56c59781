#include "tree/worker_count.hpp"

#include <sched.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace varnet {
namespace {

constexpr unsigned maxWorkers = 4096;

std::optional<std::string> fileText(const std::string& path) {
    std::ifstream in(path);
    if (!in.is_open()) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<int64_t> wholeNumber(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void lower(std::optional<unsigned>& limit, std::optional<unsigned> other) {
    if (other && (!limit || *other < *limit)) limit = other;
}

// The tightest quota of the process's cgroup v2 group and the groups above it, or of the v1
// cpu controller as mounted for the process.
std::optional<unsigned> cgroupProcessorLimit() {
    std::optional<unsigned> limit;
    const std::string root = "/sys/fs/cgroup";
    std::istringstream groups(fileText("/proc/self/cgroup").value_or(""));
    std::string line;
    while (std::getline(groups, line)) {
        if (line.rfind("0::", 0) != 0) continue;
        std::string group = line.substr(3);
        while (true) {
            if (const auto text = fileText(root + group + "/cpu.max"))
                lower(limit, processorsOfCpuMax(*text));
            if (group.empty() || group == "/") break;
            group.erase(group.rfind('/'));
        }
    }
    for (const std::string& v1 : {root + "/cpu", root + "/cpu,cpuacct"}) {
        // The two numbers of "cpu.max" in files of their own, -1 for no limit.
        const auto quota = fileText(v1 + "/cpu.cfs_quota_us");
        const auto period = fileText(v1 + "/cpu.cfs_period_us");
        if (quota && period)
            lower(limit, processorsOfCpuMax(quota->substr(0, quota->find('\n')) + " " + *period));
    }
    return limit;
}

}  // namespace

std::optional<unsigned> processorsOfCpuMax(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const auto quota = wholeNumber(text.substr(0, space));
    const auto period = wholeNumber(text.substr(space + 1));
    if (!quota || !period || *quota <= 0 || *period <= 0) return std::nullopt;
    return static_cast<unsigned>(std::min<int64_t>((*quota + *period - 1) / *period, maxWorkers));
}

unsigned availableProcessorCount() {
    // A mask beyond the fixed-size set (over 1024 processors) falls back to the machine's count.
    std::optional<unsigned> count = std::thread::hardware_concurrency();
    cpu_set_t mask;
    if (sched_getaffinity(0, sizeof(mask), &mask) == 0)
        count = static_cast<unsigned>(CPU_COUNT(&mask));
    lower(count, cgroupProcessorLimit());
    return std::max(1u, *count);
}

unsigned workerCount(const char* setting, unsigned available) {
    if (setting == nullptr) return available;
    const auto value = wholeNumber(setting);
    if (!value || *value < 1 || *value > maxWorkers) {
        throw std::runtime_error("VARNET_THREADS must be a whole number from 1 to " +
                                 std::to_string(maxWorkers) + ", not \"" + setting + "\"");
    }
    return static_cast<unsigned>(*value);
}

}  // namespace varnet
