#pragma once

#include <optional>
#include <string_view>

namespace varnet {

// The number of processors this process may run on: the processors of its CPU affinity mask,
// lowered to the CPU quota of its control group (cgroup v2 "cpu.max" of its group and every
// group above, or the v1 quota), at least 1.
unsigned availableProcessorCount();

// Whole processors granted by the text of a cgroup v2 "cpu.max" file ("<quota> <period>" in
// microseconds, rounded up); empty for "max" (no limit) and for text of another shape.
std::optional<unsigned> processorsOfCpuMax(std::string_view text);

// The worker count of tree mode: `setting` (the value of VARNET_THREADS; null when the variable
// is not set) when given, else `available`. Throws std::runtime_error for a setting that is not a
// whole number from 1 to 4096.
unsigned workerCount(const char* setting, unsigned available);

}  // namespace varnet
