#include "tree/pair_distances.hpp"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "tree/worker_count.hpp"

namespace varnet {
namespace {

// Every solver run allocates and frees its components; by default glibc hands the freed top of
// the heap back to the system after each run and faults it in again in the next. Tree mode
// keeps it instead (it is reused by the next pair within a few microseconds).
void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    constexpr int keptBytes = 256 << 20;
    mallopt(M_TRIM_THRESHOLD, keptBytes);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

uint64_t pairCount(uint64_t structures) {
    return structures < 2 ? 0 : structures * (structures - 1) / 2;
}

}  // namespace

PairDistances::PairDistances(const OperationWeights& weights,
                             const std::vector<ChromosomalStructure>& structures,
                             std::ostream& progress, unsigned threadCount, std::ostream* terminal)
    : structures_(structures),
      operationWeights_(weights),
      ends_(collectStructureEnds(structures)),
      matrix_(makeDistanceMatrix(structures.size())),
      count_(structures.size()),
      // A worker beyond the number of pairs would only build its tables and find nothing to do.
      threadCount_(static_cast<unsigned>(
          std::clamp<uint64_t>(threadCount, 1, std::max<uint64_t>(1, pairCount(count_))))),
      progress_(progress),
      meter_(terminal, pairCount(count_)) {}

void PairDistances::calculate(DistanceMatrix& out) {
    try {
        for (unsigned k = 0; k < threadCount_; ++k)
            workers_.emplace_back(&PairDistances::work, this);
    } catch (...) {
        // Threads already running must finish before the error leaves this object.
        {
            const std::lock_guard<std::mutex> lock(pairLock_);
            stopped_ = true;
        }
        for (std::thread& worker : workers_) worker.join();
        meter_.clear();
        throw;
    }
    for (std::thread& worker : workers_) worker.join();
    meter_.clear();
    if (!failures_.empty()) {
        const auto earliest = std::min_element(
            failures_.begin(), failures_.end(), [](const Failure& a, const Failure& b) {
                return std::pair(a.row, a.column) < std::pair(b.row, b.column);
            });
        std::rethrow_exception(earliest->error);
    }
    std::swap(out, matrix_);
}

void PairDistances::work() {
    // Catches everything: an exception leaving a thread would end the process.
    try {
        // The per-vertex tables are allocated once, and only by a worker that gets a pair.
        std::optional<SpecialDistanceCalculator> calculator;
        uint64_t row = 0;
        uint64_t column = 0;
        bool finished = false;
        while (nextPair(row, column, finished)) {
            finished = true;
            try {
                if (!calculator) calculator.emplace(structures_, ends_, operationWeights_);
                computePair(static_cast<int32_t>(row), static_cast<int32_t>(column), *calculator);
            } catch (...) {
                recordFailure(row, column, std::current_exception());
                return;
            }
        }
    } catch (...) {
        const uint64_t last = std::numeric_limits<uint64_t>::max();
        recordFailure(last, last, std::current_exception());
    }
}

bool PairDistances::nextPair(uint64_t& row, uint64_t& column, bool finished) {
    const std::lock_guard<std::mutex> lock(pairLock_);
    if (finished) meter_.pairDone();
    if (stopped_ || count_ < 2) return false;
    ++column_;
    if (column_ >= count_) {
        ++row_;
        column_ = row_ + 1;
        if (row_ >= count_ - 1) return false;
        meter_.clear();
        progress_ << row_ << " out of " << count_ << '\n' << std::flush;
    }
    row = row_;
    column = column_;
    return true;
}

void PairDistances::computePair(int32_t i, int32_t j, SpecialDistanceCalculator& calculator) {
    const auto row = static_cast<std::size_t>(i);
    const auto column = static_cast<std::size_t>(j);
    const double distance = calculator.distance(row, column);
    matrix_[row][column] = distance;
    matrix_[column][row] = distance;
}

void PairDistances::recordFailure(uint64_t row, uint64_t column, std::exception_ptr error) {
    const std::lock_guard<std::mutex> lock(pairLock_);
    stopped_ = true;
    failures_.push_back({row, column, std::move(error)});
}

DistanceMatrix computeSpecialMatrix(const OperationWeights& weights,
                                    const std::vector<ChromosomalStructure>& structures,
                                    std::ostream& out, unsigned threadCount,
                                    std::ostream* terminal) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    keepFreedMemoryForReuse();
    DistanceMatrix matrix;
    {
        PairDistances calculation(weights, structures, out, threadCount, terminal);
        calculation.calculate(matrix);
    }
    const auto milliseconds = static_cast<int32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    out << "Time of matrix calculation: " << static_cast<float>(milliseconds) / 1000.0
        << " seconds\n";
    return matrix;
}

}  // namespace varnet
