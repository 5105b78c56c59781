#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <ostream>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

#include "compare/pair_settings.hpp"
#include "compare/special_distance.hpp"
#include "compare/structure_tables.hpp"
#include "structures/chromosomal_structure.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/progress_meter.hpp"
#include "tree/worker_count.hpp"

namespace varnet {

// The pairs (i, j), i < j, of N structures are numbered 0, 1, ... in row-major order: (0, 1) is
// pair 0, (0, N-1) pair N-2, (1, 2) pair N-1.
uint64_t pairCount(uint64_t structures);

// Pairs first .. last-1 in that numbering.
struct PairRange {
    uint64_t first = 0;
    uint64_t last = 0;
    uint64_t size() const { return last - first; }
};

struct PairPosition {
    uint64_t row = 0;
    uint64_t column = 0;
};

// Part `part` of `parts` consecutive blocks that together cover `pairs` pairs; their sizes differ
// by at most one.
PairRange pairBlock(uint64_t pairs, unsigned part, unsigned parts);

// The consecutive pieces of at most `most` pairs each, none empty, that cover `range` in order.
std::vector<PairRange> piecesOf(const PairRange& range, uint64_t most);

// Prints the progress line "i out of N" of every row i from 1 whose first pair (i, i+1) lies in
// `range`: the lines the hand-out prints while it computes that range.
void printRowsStartingIn(const PairRange& range, uint64_t structures, std::ostream& progress);

// Stores the distances of `range`, computed in pair order, in both cells of each pair.
void placeBlock(DistanceMatrix& matrix, const PairRange& range, const std::vector<double>& block);

class PairDistribution;

// Where the special distances of a run are computed: by `threadCount` workers here, or by the
// `distribution` when given; with a `terminal`, a live progress line is kept there.
struct PairWork {
    unsigned threadCount = availableProcessorCount();
    std::ostream* terminal = nullptr;
    PairDistribution* distribution = nullptr;
};

// Computes special distances of a structure list on worker threads: all pairs, or one range of
// them. Pairs are handed out in row-major order under one lock, a few consecutive ones at a
// time. Whenever the hand-out reaches the first pair (i, i+1) of a row i from 1, it prints
// "i out of N" to `progress`. A failure in a worker stops the hand-out, and every worker stops
// before its next pair after the failing one; once all workers are joined, the calculation
// rethrows the failure of the earliest pair in row-major order.
class PairDistances {
public:
    // `work.distribution` is not read: the pairs are computed here.
    PairDistances(const PairSettings& settings, const std::vector<ChromosomalStructure>& structures,
                  std::ostream& progress, const PairWork& work = {},
                  std::optional<PairRange> range = {});
    PairDistances(const PairDistances&) = delete;
    PairDistances& operator=(const PairDistances&) = delete;

    // Lets `stop` end the calculation early: once a stop is requested, no worker takes more
    // pairs, and the calculation throws "The distance calculation was interrupted" when pairs were
    // left.
    void stopWhen(std::stop_token stop) { stop_ = std::move(stop); }

    // Runs the workers to the end and returns the N x N matrix; cells of pairs outside the range
    // stay 0.
    DistanceMatrix calculate();
    // Runs the workers to the end and returns the distances of the range in pair order; no
    // matrix is allocated.
    std::vector<double> calculateBlock();

private:
    void run();
    void work();
    // Takes the next pairs under the lock: `count` of them from pair `index`, the first at
    // `pair`. Counts the `finished` pairs of the worker's last ones as done. False when none is
    // left, a worker failed or a stop was requested.
    bool nextPairs(uint64_t& index, uint64_t& count, PairPosition& pair, uint64_t finished);
    void recordFailure(uint64_t index, std::exception_ptr error);

    const std::vector<ChromosomalStructure>& structures_;
    PairSettings settings_;
    StructureTables tables_;
    uint64_t count_ = 0;
    PairRange range_;
    DistanceMatrix* matrix_ = nullptr;  // where the distances go: the matrix, or else block_
    double* block_ = nullptr;
    uint64_t next_ = 0;    // the pair handed out next; guarded by pairLock_
    PairPosition cursor_;  // the pair handed out last; guarded by pairLock_
    std::vector<std::thread> workers_;
    std::mutex pairLock_;
    unsigned threadCount_ = 1;
    uint64_t batch_ = 1;  // pairs handed out at a time
    // The earliest pair that failed so far; read by workers between pairs without the lock.
    std::atomic<uint64_t> firstFailure_{std::numeric_limits<uint64_t>::max()};
    std::ostream& progress_;
    std::stop_token stop_;
    bool stopped_ = false;        // guarded by pairLock_
    bool interrupted_ = false;    // guarded by pairLock_
    std::exception_ptr failure_;  // of the earliest pair; guarded by pairLock_
    ProgressMeter meter_;         // guarded by pairLock_
};

// Computes the special-distance matrix with the help of other processes (the MPI program gives
// tree mode one). It prints the same progress lines as PairDistances over all pairs, and a
// failure is the one the earliest failing pair gives.
class PairDistribution {
public:
    virtual ~PairDistribution() = default;
    virtual DistanceMatrix calculate(const PairSettings& settings,
                                     const std::vector<ChromosomalStructure>& structures,
                                     std::ostream& progress, const PairWork& work) = 0;
};

// Keeps the memory each solver run frees in the process for the next pair, instead of giving it
// back to the system after every run. Called once by every process that computes pairs.
void keepFreedMemoryForReuse();

// The special-distance matrix, with the progress lines "i out of N" on `progress`. Structures
// written alike (the same chromosomes and genes, names aside) are compared once, which many files
// of real genomes hold; their progress lines then come once the pairs are done.
DistanceMatrix calculateSpecialMatrix(const PairSettings& settings,
                                      const std::vector<ChromosomalStructure>& structures,
                                      std::ostream& progress, const PairWork& work);

// `calculateSpecialMatrix`, then the line "Time of matrix calculation: <s> seconds".
DistanceMatrix computeSpecialMatrix(const PairSettings& settings,
                                    const std::vector<ChromosomalStructure>& structures,
                                    std::ostream& out, const PairWork& work = {});

}  // namespace varnet
