#include "tree/pair_distances.hpp"

#include <algorithm>
#include <boost/container_hash/hash.hpp>
#include <chrono>
#include <stdexcept>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace varnet {
namespace {

// The number of the first pair (row, row + 1) of a row.
uint64_t rowStart(uint64_t row, uint64_t structures) {
    return row * (2 * structures - row - 1) / 2;
}

void advance(PairPosition& pair, uint64_t structures) {
    if (++pair.column < structures) return;
    ++pair.row;
    pair.column = pair.row + 1;
}

// The pair numbered `index` (below pairCount(structures)).
PairPosition pairAt(uint64_t index, uint64_t structures) {
    uint64_t row = 0;
    while (row + 2 < structures && rowStart(row + 1, structures) <= index) ++row;
    return {row, row + 1 + (index - rowStart(row, structures))};
}

}  // namespace

// Every solver run allocates and frees its components; by default glibc hands the freed top of
// the heap back to the system after each run and faults it in again in the next.
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

PairRange pairBlock(uint64_t pairs, unsigned part, unsigned parts) {
    const uint64_t base = pairs / parts;
    const uint64_t longer = pairs % parts;  // the first `longer` blocks hold one pair more
    const auto startOf = [&](uint64_t k) { return base * k + std::min(k, longer); };
    return {startOf(part), startOf(part + 1)};
}

std::vector<PairRange> piecesOf(const PairRange& range, uint64_t most) {
    std::vector<PairRange> pieces;
    for (uint64_t first = range.first; first < range.last; first += most)
        pieces.push_back({first, first + std::min(most, range.last - first)});
    return pieces;
}

void printRowsStartingIn(const PairRange& range, uint64_t structures, std::ostream& progress) {
    for (uint64_t row = 1; row + 1 < structures; ++row) {
        const uint64_t start = rowStart(row, structures);
        if (start >= range.first && start < range.last)
            progress << row << " out of " << structures << '\n' << std::flush;
    }
}

void placeBlock(DistanceMatrix& matrix, const PairRange& range, const std::vector<double>& block) {
    if (block.size() != range.size())
        throw std::runtime_error("A block of distances does not match its range of pairs");
    if (block.empty()) return;
    PairPosition pair = pairAt(range.first, matrix.size());
    for (const double distance : block) {
        matrix[pair.row][pair.column] = distance;
        matrix[pair.column][pair.row] = distance;
        advance(pair, matrix.size());
    }
}

PairDistances::PairDistances(const PairSettings& settings,
                             const std::vector<ChromosomalStructure>& structures,
                             std::ostream& progress, const PairWork& work,
                             std::optional<PairRange> range)
    : structures_(structures),
      settings_(settings),
      tables_(structures, settings.copies == CopyRule::order),
      count_(structures.size()),
      range_(range.value_or(PairRange{0, pairCount(count_)})),
      next_(range_.first),
      // A worker beyond the number of pairs would only build its tables and find nothing to do.
      threadCount_(static_cast<unsigned>(
          std::clamp<uint64_t>(work.threadCount, 1, std::max<uint64_t>(1, range_.size())))),
      // Enough pairs that taking them costs little beside computing them, and few enough that
      // the workers finish close together.
      batch_(std::clamp<uint64_t>(range_.size() / (16 * uint64_t{threadCount_}), 1, 32)),
      progress_(progress),
      meter_(work.terminal, range_.size()) {
    // The cursor stands just before the first pair, so that the hand-out's step reaches it.
    if (range_.size() > 0) {
        cursor_ = pairAt(range_.first, count_);
        --cursor_.column;
    }
}

DistanceMatrix PairDistances::calculate() {
    DistanceMatrix matrix = makeDistanceMatrix(count_);
    matrix_ = &matrix;
    run();
    // Each pair wrote only its cell above the diagonal.
    forEachPairBySquares(matrix.size(),
                         [&matrix](std::size_t i, std::size_t j) { matrix[j][i] = matrix[i][j]; });
    return matrix;
}

std::vector<double> PairDistances::calculateBlock() {
    std::vector<double> block(range_.size());
    block_ = block.data();
    run();
    return block;
}

void PairDistances::run() {
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
    if (failure_) std::rethrow_exception(failure_);
    if (interrupted_) throw std::runtime_error("The distance calculation was interrupted");
}

void PairDistances::work() {
    // Catches everything: an exception leaving a thread would end the process.
    try {
        // The per-vertex tables are allocated once, and only by a worker that gets a pair.
        std::optional<SpecialDistanceCalculator> calculator;
        uint64_t index = 0;
        uint64_t count = 0;
        PairPosition pair;
        uint64_t finished = 0;
        while (nextPairs(index, count, pair, finished)) {
            for (finished = 0; finished < count; ++finished, ++index, advance(pair, count_)) {
                // Pairs before a failing one are still computed, so that the earliest failure is
                // found whatever the timing.
                if (index > firstFailure_.load(std::memory_order_relaxed)) return;
                try {
                    if (!calculator) calculator.emplace(structures_, tables_, settings_);
                    const double distance = calculator->distance(pair.row, pair.column);
                    if (matrix_ != nullptr) {
                        // The cell below the diagonal is written once all pairs are done: written
                        // here, each pair of a row would fetch a line of another row.
                        (*matrix_)[pair.row][pair.column] = distance;
                    } else {
                        block_[index - range_.first] = distance;
                    }
                } catch (...) {
                    recordFailure(index, std::current_exception());
                    return;
                }
            }
        }
    } catch (...) {
        recordFailure(std::numeric_limits<uint64_t>::max(), std::current_exception());
    }
}

bool PairDistances::nextPairs(uint64_t& index, uint64_t& count, PairPosition& pair,
                              uint64_t finished) {
    const std::lock_guard<std::mutex> lock(pairLock_);
    if (finished != 0) meter_.pairDone(finished);
    if (stopped_ || next_ == range_.last) return false;
    if (stop_.stop_requested()) {
        interrupted_ = true;
        return false;
    }
    index = next_;
    count = std::min(batch_, range_.last - next_);
    for (uint64_t k = 0; k < count; ++k) {
        advance(cursor_, count_);
        if (k == 0) pair = cursor_;
        if (cursor_.column == cursor_.row + 1 && cursor_.row >= 1) {
            meter_.clear();
            progress_ << cursor_.row << " out of " << count_ << '\n' << std::flush;
        }
    }
    next_ += count;
    return true;
}

void PairDistances::recordFailure(uint64_t index, std::exception_ptr error) {
    const std::lock_guard<std::mutex> lock(pairLock_);
    stopped_ = true;
    if (failure_ && index >= firstFailure_.load(std::memory_order_relaxed)) return;
    firstFailure_.store(index, std::memory_order_relaxed);
    failure_ = std::move(error);
}

namespace {

DistanceMatrix calculateEveryPair(const PairSettings& settings,
                                  const std::vector<ChromosomalStructure>& structures,
                                  std::ostream& progress, const PairWork& work) {
    if (work.distribution != nullptr)
        return work.distribution->calculate(settings, structures, progress, work);
    return PairDistances(settings, structures, progress, work).calculate();
}

// The structures written alike: the same chromosomes, with the same genes in the same order and
// orientations, whatever their names. Classes are numbered in the order of their first
// structures, so the class of structure k is at most k.
struct AlikeStructures {
    std::vector<std::size_t> classOf;  // by structure
    std::vector<std::size_t> firstOf;  // by class
    std::vector<bool> repeated;        // by class: whether it holds several structures
};

AlikeStructures groupAlike(const std::vector<ChromosomalStructure>& structures) {
    const auto hashOf = [&](std::size_t k) {
        std::size_t hash = structures[k].chromosomes.size();
        for (const Chromosome& chromosome : structures[k].chromosomes) {
            boost::hash_combine(hash, chromosome.circular);
            boost::hash_range(hash, chromosome.genes.begin(), chromosome.genes.end());
        }
        return hash;
    };
    AlikeStructures groups;
    groups.classOf = equalClasses(structures.size(), hashOf, [&](std::size_t p, std::size_t q) {
        return structures[p].chromosomes == structures[q].chromosomes;
    });
    for (std::size_t k = 0; k < structures.size(); ++k) {
        if (groups.classOf[k] < groups.firstOf.size()) {
            groups.repeated[groups.classOf[k]] = true;
            continue;
        }
        groups.firstOf.push_back(k);
        groups.repeated.push_back(false);
    }
    return groups;
}

// Turns the matrix of the classes into the matrix of the structures, in place: grows it to N x N
// and gives each cell the distance of its two classes (`within` for two structures of one class).
// A cell (i, j) reads the cell (class of i, class of j), which comes no later in row-major order;
// walking the cells from the last, every cell read still holds what the classes' run computed.
void expandOverClasses(DistanceMatrix& matrix, const std::vector<std::size_t>& classOf,
                       const std::vector<double>& within) {
    const std::size_t n = classOf.size();
    // Growing row by row holds at most one short row beside the finished ones.
    matrix.resize(n);
    for (std::vector<double>& row : matrix) row.resize(n, 0.0);
    for (std::size_t i = n; i-- > 0;) {
        const std::size_t classI = classOf[i];
        for (std::size_t j = n; j-- > 0;) {
            const std::size_t classJ = classOf[j];
            matrix[i][j] = i == j             ? 0.0
                           : classI == classJ ? within[classI]
                                              : matrix[classI][classJ];
        }
    }
}

// The special distances of structures written alike are the same, so one structure of each
// class is compared with one of every other, and two of a class with each other, once. The
// distances of a pair do not depend on which of the two comes first (the mean of the two
// directions, copies paired by context in an order fixed by the two structures' contents), which
// lets a class's distances serve pairs either way round. The progress lines are printed once the
// classes are done.
DistanceMatrix calculateOverClasses(const PairSettings& settings,
                                    const std::vector<ChromosomalStructure>& structures,
                                    const AlikeStructures& groups, std::ostream& progress,
                                    const PairWork& work) {
    checkDistanceMatrixFits(structures.size());
    std::vector<ChromosomalStructure> distinct;
    distinct.reserve(groups.firstOf.size());
    for (const std::size_t first : groups.firstOf) distinct.push_back(structures[first]);
    std::ostream noProgress(nullptr);
    DistanceMatrix matrix = calculateEveryPair(settings, distinct, noProgress, work);
    std::vector<double> within(distinct.size(), 0.0);
    const StructureTables tables(distinct, settings.copies == CopyRule::order);
    std::optional<SpecialDistanceCalculator> calculator;
    for (std::size_t c = 0; c < distinct.size(); ++c) {
        if (!groups.repeated[c]) continue;
        if (!calculator) calculator.emplace(distinct, tables, settings);
        within[c] = calculator->distance(c, c);
    }
    expandOverClasses(matrix, groups.classOf, within);
    printRowsStartingIn({0, pairCount(structures.size())}, structures.size(), progress);
    return matrix;
}

}  // namespace

DistanceMatrix calculateSpecialMatrix(const PairSettings& settings,
                                      const std::vector<ChromosomalStructure>& structures,
                                      std::ostream& progress, const PairWork& work) {
    const AlikeStructures groups = groupAlike(structures);
    if (groups.firstOf.size() < structures.size())
        return calculateOverClasses(settings, structures, groups, progress, work);
    return calculateEveryPair(settings, structures, progress, work);
}

DistanceMatrix computeSpecialMatrix(const PairSettings& settings,
                                    const std::vector<ChromosomalStructure>& structures,
                                    std::ostream& out, const PairWork& work) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    keepFreedMemoryForReuse();
    DistanceMatrix matrix = calculateSpecialMatrix(settings, structures, out, work);
    const auto milliseconds = static_cast<int32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    out << "Time of matrix calculation: " << static_cast<float>(milliseconds) / 1000.0
        << " seconds\n";
    return matrix;
}

}  // namespace varnet
