#include "tree/parallel_upgma.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
#include "tree/worker_count.hpp"

namespace varnet {
namespace {

const OperationWeights unitWeights = {1, 1, 1, 1, 1, 1};

// `count` structures drawn pairwise from the generator, named s0, s1, ...
std::vector<ChromosomalStructure> generatedStructures(uint32_t seed, std::size_t count) {
    std::mt19937 random(seed);
    std::vector<ChromosomalStructure> structures;
    while (structures.size() < count) {
        auto [a, b] = testing::generatePair(random, {});
        structures.push_back(std::move(a));
        structures.push_back(std::move(b));
    }
    structures.resize(count);
    for (std::size_t k = 0; k < count; ++k)
        structures[k].name = (std::ostringstream() << "s" << k).str();
    return structures;
}

struct MatrixRun {
    DistanceMatrix matrix;
    std::string progress;
};

MatrixRun calculate(const std::vector<ChromosomalStructure>& structures, unsigned workers) {
    std::ostringstream progress;
    MatrixRun run;
    ParallelUpgma calculation(unitWeights, structures, progress, workers);
    calculation.calculate(run.matrix);
    run.progress = progress.str();
    return run;
}

TEST(ParallelUpgma, AnnouncesEveryRowFromOneOnceInOrder) {
    struct Case {
        std::size_t count;
        const char* expected;
    };
    for (const Case& c : {Case{1, ""}, Case{2, ""}, Case{3, "1 out of 3\n"},
                          Case{6, "1 out of 6\n2 out of 6\n3 out of 6\n4 out of 6\n"}}) {
        for (const unsigned workers : {1u, 3u, 8u}) {
            SCOPED_TRACE(::testing::Message()
                         << c.count << " structures, " << workers << " workers");
            const MatrixRun run = calculate(generatedStructures(c.count, c.count), workers);
            EXPECT_EQ(run.progress, c.expected);
            ASSERT_EQ(run.matrix.size(), c.count);
            for (std::size_t i = 0; i < c.count; ++i) {
                EXPECT_EQ(run.matrix[i][i], 0.0);
                for (std::size_t j = 0; j < c.count; ++j)
                    EXPECT_EQ(run.matrix[i][j], run.matrix[j][i]);
            }
        }
    }
}

TEST(ParallelUpgma, StructureWithoutChromosomesIsAMillionFromEveryOther) {
    std::vector<ChromosomalStructure> structures = generatedStructures(7, 4);
    structures[2].chromosomes.clear();
    structures[3] = structures[0];
    const MatrixRun run = calculate(structures, 2);
    for (const std::size_t k : {0u, 1u, 3u}) {
        EXPECT_EQ(run.matrix[2][k], 1e6);
        EXPECT_EQ(run.matrix[k][2], 1e6);
    }
    EXPECT_EQ(run.matrix[2][2], 0.0);
    EXPECT_EQ(run.matrix[0][3], 0.0) << "identical structures cost nothing either way";
}

TEST(ParallelUpgma, WorkerFailureReachesTheCallerAfterAllWorkersEnd) {
    std::vector<ChromosomalStructure> structures = generatedStructures(11, 12);
    structures[9].chromosomes.push_back(Chromosome{false, {}});
    for (const unsigned workers : {1u, 4u}) {
        SCOPED_TRACE(::testing::Message() << workers << " workers");
        std::ostringstream progress;
        ParallelUpgma calculation(unitWeights, structures, progress, workers);
        DistanceMatrix out;
        testing::expectThrowsWith([&] { calculation.calculate(out); },
                                  "a chromosome without genes");
        EXPECT_TRUE(out.empty()) << "no matrix is handed over after a failure";
    }
}

TEST(ParallelUpgma, TimingLineFollowsTheProgressLines) {
    std::ostringstream out;
    const DistanceMatrix matrix =
        computeSpecialMatrix(unitWeights, generatedStructures(3, 4), out, 2);
    EXPECT_EQ(matrix.size(), 4u);
    const std::string text = out.str();
    const std::string prefix = "1 out of 4\n2 out of 4\nTime of matrix calculation: ";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(text.substr(text.size() - 9), " seconds\n");
}

// The property the workers must keep: sharing the hand-out and reusing per-worker tables gives
// the matrix of comparing every pair on its own, from scratch.
TEST(WorkerCount, QuotaInWholeProcessorsAndTheVariableOverAll) {
    const std::pair<const char*, std::optional<unsigned>> quotas[] = {
        {"max 100000\n", std::nullopt}, {"200000 100000\n", 2u},    {"150000 100000", 2u},
        {"50000 100000\n", 1u},         {"0 100000", std::nullopt}, {"garbage", std::nullopt}};
    for (const auto& [text, processors] : quotas)
        EXPECT_EQ(processorsOfCpuMax(text), processors) << text;
    EXPECT_GE(availableProcessorCount(), 1u);
    EXPECT_EQ(workerCount(nullptr, 6), 6u);
    EXPECT_EQ(workerCount("1", 6), 1u);
    EXPECT_EQ(workerCount("64", 2), 64u);
    for (const char* bad : {"0", "-2", "two", "4097", "3 ", ""})
        testing::expectThrowsWith([&] { workerCount(bad, 2); },
                                  "VARNET_THREADS must be a whole number");
}

TEST(ProgressMeter, PairsRateAndTimeLeft) {
    EXPECT_EQ(progressText(0, 15, 0.0), "pairs 0 of 15");
    EXPECT_EQ(progressText(100, 1000, 4.0), "pairs 100 of 1000, 25 pairs/s, 36s left");
    EXPECT_EQ(progressText(10, 200000, 1.0), "pairs 10 of 200000, 10 pairs/s, 5h 33m left");
    EXPECT_EQ(progressText(30, 100, 6.0), "pairs 30 of 100, 5.0 pairs/s, 14s left");
    EXPECT_EQ(progressText(1, 1000, 2.5), "pairs 1 of 1000, 0.4 pairs/s, 41m 38s left");
}

TEST(ParallelUpgmaConcurrency, MatrixEqualsSequentialPairComputation) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    const std::size_t count = 30;  // sanitizers slow every solver run down
#else
    const std::size_t count = 40;
#endif
    for (const uint32_t seed : {101u, 202u}) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::vector<ChromosomalStructure> structures = generatedStructures(seed, count);
        structures[5].chromosomes.clear();
        DistanceMatrix expected(count, std::vector<double>(count, 0.0));
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t j = i + 1; j < count; ++j) {
                expected[i][j] = expected[j][i] =
                    specialDistance(structures[i], structures[j], unitWeights);
            }
        }
        EXPECT_EQ(calculate(structures, 8).matrix, expected);
        EXPECT_EQ(calculate(structures, 1).matrix, expected);
    }
}

}  // namespace
}  // namespace varnet
