#pragma once

#include <cstdint>
#include <exception>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/progress_meter.hpp"
#include "tree/special_distance.hpp"
#include "tree/worker_count.hpp"

namespace varnet {

// Computes the special-distance matrix of a structure list on worker threads. Pairs (i, j),
// i < j, are handed out one at a time in row-major order under one lock; each pair writes only
// its own two cells. With a `terminal`, a live progress line is kept there. Whenever a worker moves
// the hand-out to a new row i (rows from 1), it prints "i out of N" to `progress`. A failure in a
// worker stops the hand-out; once all workers are joined, calculate rethrows the failure of the
// earliest pair in row-major order.
class PairDistances {
public:
    PairDistances(const OperationWeights& weights,
                  const std::vector<ChromosomalStructure>& structures, std::ostream& progress,
                  unsigned threadCount = availableProcessorCount(),
                  std::ostream* terminal = nullptr);
    PairDistances(const PairDistances&) = delete;
    PairDistances& operator=(const PairDistances&) = delete;

    // Runs the workers to the end and hands the filled matrix over by exchanging it with `out`.
    void calculate(DistanceMatrix& out);

private:
    struct Failure {
        uint64_t row = 0;
        uint64_t column = 0;
        std::exception_ptr error;
    };

    void work();
    // Takes the next pair under the lock, counting the one the worker `finished` if any; false
    // when none is left or a worker failed.
    bool nextPair(uint64_t& row, uint64_t& column, bool finished);
    void computePair(int32_t i, int32_t j, SpecialDistanceCalculator& calculator);
    void recordFailure(uint64_t row, uint64_t column, std::exception_ptr error);

    const std::vector<ChromosomalStructure>& structures_;
    OperationWeights operationWeights_;
    StructureEnds ends_;
    DistanceMatrix matrix_;
    uint64_t count_ = 0;
    uint64_t row_ = 0;
    uint64_t column_ = 0;
    std::vector<std::thread> workers_;
    std::mutex pairLock_;
    unsigned threadCount_ = 1;
    std::ostream& progress_;
    bool stopped_ = false;           // guarded by pairLock_
    std::vector<Failure> failures_;  // guarded by pairLock_
    ProgressMeter meter_;            // guarded by pairLock_
};

// The special-distance matrix, then the line "Time of matrix calculation: <s> seconds".
DistanceMatrix computeSpecialMatrix(const OperationWeights& weights,
                                    const std::vector<ChromosomalStructure>& structures,
                                    std::ostream& out,
                                    unsigned threadCount = availableProcessorCount(),
                                    std::ostream* terminal = nullptr);

}  // namespace varnet
