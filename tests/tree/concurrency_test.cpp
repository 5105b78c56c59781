// Tree mode on one and on many worker threads; ThreadSanitizer runs this file on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stop_token>
#include <string>
#include <utility>

#include "compare/special_distance.hpp"
#include "modes/tree_mode.hpp"
#include "solver/solve.hpp"
#include "support/expect_throws.hpp"
#include "support/program_run.hpp"
#include "support/random_structures.hpp"
#include "tree/pair_distances.hpp"
#include "tree/progress_meter.hpp"
#include "tree/worker_count.hpp"

namespace varnet {
namespace {

// The distance computed from scratch, the way dist mode compares two structures.
double specialDistance(const ChromosomalStructure& a, const ChromosomalStructure& b,
                       const OperationWeights& weights) {
    if (a.chromosomes.empty() || b.chromosomes.empty()) return missingStructureDistance;
    const AdjacencyArray adjacencyA = adjacencyOf(a);
    const AdjacencyArray adjacencyB = adjacencyOf(b);
    return (solvedCostOnly(adjacencyA, adjacencyB, weights) +
            solvedCostOnly(adjacencyB, adjacencyA, weights)) *
           0.5;
}

const OperationWeights unitWeights = {1, 1, 1, 1, 1, 1};

// Sharing the hand-out and reusing per-worker tables gives the files of comparing every pair on
// its own, from scratch, whatever the number of workers; so do a jackknife's replicates, whose
// pairs are shared alike.
TEST(Concurrency, SameResultWithOneAndWithManyWorkers) {
    std::vector<ChromosomalStructure> structures = testing::generateNamedStructures(2024, 30);
    structures[5].chromosomes.clear();
    for (const char* method : {"upgma", "nj", "kruskal"}) {
        for (const JackknifeSettings jackknife : {JackknifeSettings{}, {4, 0.4, 5}}) {
            SCOPED_TRACE(std::string(method) +
                         (jackknife.replicates > 0 ? " with replicates" : ""));
            const auto files = [&](unsigned threads) {
                return testing::treeFiles(structures, {.method = method,
                                                       .operationWeights = unitWeights,
                                                       .distanceWeights = {1.0, 0.5},
                                                       .phylip = true,
                                                       .jackknife = jackknife,
                                                       .threads = threads});
            };
            const auto one = files(1);
            EXPECT_EQ(files(8), one);
            EXPECT_EQ(one.count("infile") + one.count("tree.tre") + one.count("replicates.tre"),
                      jackknife.replicates > 0 ? 3u : 2u);
        }
    }
}

// The blocks of an MPI job's ranks, and the pieces each block is sent in, cover every pair once
// and in order, for counts of pairs and ranks that do not divide evenly. Where the pairs are those
// of n structures, the rows each block prints as starting in it are rows 1 .. n - 2, each once,
// and each block's distances land in the cells of its pairs (pair (i, j) numbered row by row).
TEST(PairBlocks, RanksAndTheirPiecesCoverEveryPairOnce) {
    for (const uint64_t pairs : {0, 1, 2, 10, 1035, 3 * (1 << 20) + 1}) {
        uint64_t structures = 0;
        while (pairCount(structures) < pairs) ++structures;
        std::string rows;
        for (uint64_t row = 1; row + 1 < structures; ++row)
            rows += std::to_string(row) + " out of " + std::to_string(structures) + "\n";
        for (const unsigned ranks : {1u, 2u, 3u, 7u, 64u})
            for (const uint64_t most : {1, 4, 1 << 20}) {
                if (pairs / most > 5000) continue;
                SCOPED_TRACE(std::to_string(pairs) + " pairs, " + std::to_string(ranks) +
                             " ranks, pieces of " + std::to_string(most));
                uint64_t next = 0;
                std::ostringstream printed;
                const bool ofStructures = pairCount(structures) == pairs;
                DistanceMatrix placed = makeDistanceMatrix(pairs <= 1035 ? structures : 0);
                for (unsigned rank = 0; rank < ranks; ++rank) {
                    const PairRange block = pairBlock(pairs, rank, ranks);
                    EXPECT_EQ(block.first, next);
                    EXPECT_EQ(block.size(), pairs / ranks + (rank < pairs % ranks ? 1 : 0));
                    for (const PairRange& piece : piecesOf(block, most)) {
                        if (piece.first != next || piece.size() == 0 || piece.size() > most)
                            FAIL() << "piece " << piece.first << ".." << piece.last;
                        next = piece.last;
                    }
                    EXPECT_EQ(next, block.last);
                    if (!ofStructures) continue;
                    printRowsStartingIn(block, structures, printed);
                    if (placed.empty()) continue;
                    std::vector<double> numbers(block.size());
                    std::iota(numbers.begin(), numbers.end(), static_cast<double>(block.first));
                    placeBlock(placed, block, numbers);
                }
                EXPECT_EQ(next, pairs);
                if (!ofStructures) continue;
                EXPECT_EQ(printed.str(), rows);
                for (std::size_t i = 0; i < placed.size(); ++i) {
                    for (std::size_t j = i + 1; j < placed.size(); ++j) {
                        const auto number =
                            static_cast<double>(i * (2 * structures - i - 1) / 2 + j - i - 1);
                        ASSERT_EQ(placed[i][j], number) << i << ", " << j;
                        ASSERT_EQ(placed[j][i], number) << j << ", " << i;
                    }
                }
            }
    }
}

// A structure holding every code of `others` once, in random order and orientation on one
// chromosome.
ChromosomalStructure holdingEveryCode(const std::vector<ChromosomalStructure>& others,
                                      std::mt19937& random) {
    std::set<int32_t> codes;
    for (const ChromosomalStructure& structure : others) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes) codes.insert(std::abs(code));
        }
    }
    std::vector<int32_t> genes(codes.begin(), codes.end());
    std::shuffle(genes.begin(), genes.end(), random);
    for (int32_t& code : genes) code *= random() % 2 == 0 ? 1 : -1;
    return {"whole", {Chromosome{random() % 2 == 0, genes}}};
}

// Pairs read from adjacencies written once per structure and pairs written out for each pair give
// the distance of the pair compared from scratch (pairing copies by order), and the same
// distances as each other pairing copies by context, whatever pairs one calculator met before:
// structures holding every code of the file come between pairs that do not. Either way round, a
// pair has one distance.
TEST(SpecialDistances, EveryWayOfLoadingAPairGivesItsDistance) {
    std::mt19937 random(77);
    GeneTable genes;
    std::vector<ChromosomalStructure> structures = testing::generateNamedStructures(88, 14, &genes);
    const std::vector<ChromosomalStructure> generated = structures;
    for (const std::size_t k : {2, 3, 6, 7, 10, 13})
        structures[k] = holdingEveryCode(generated, random);
    structures[9].chromosomes.clear();
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t i = 0; i < structures.size(); ++i) {
        for (std::size_t j = 0; j < structures.size(); ++j) pairs.emplace_back(i, j);
    }
    std::shuffle(pairs.begin(), pairs.end(), random);
    for (const CopyRule rule : {CopyRule::order, CopyRule::context}) {
        PairSettings settings(unitWeights);
        settings.copies = rule;
        settings.genes = &genes;
        std::vector<double> first;
        for (const bool keep : {true, false}) {
            const StructureTables tables(structures, keep);
            ASSERT_EQ(tables.keepsAdjacencies(), keep);
            SpecialDistanceCalculator calculator(structures, tables, settings);
            std::vector<double> distances;
            for (const auto& [i, j] : pairs) {
                SCOPED_TRACE(std::to_string(i) + " " + std::to_string(j));
                distances.push_back(calculator.distance(i, j));
                if (rule == CopyRule::order) {
                    ASSERT_EQ(distances.back(),
                              specialDistance(structures[i], structures[j], unitWeights));
                }
            }
            if (first.empty()) first = distances;
            EXPECT_EQ(distances, first);
            std::map<std::pair<std::size_t, std::size_t>, double> distanceOf;
            for (std::size_t k = 0; k < pairs.size(); ++k) distanceOf[pairs[k]] = distances[k];
            for (const auto& [pair, distance] : distanceOf)
                EXPECT_EQ(distanceOf.at({pair.second, pair.first}), distance) << "either way round";
        }
    }
}

// Structures written alike, compared once under both copy rules, give the matrix and the progress
// lines of comparing every pair, whether the classes come in order or not, and two structures of
// one class get their own distance (not 0 where neither holds a chromosome).
TEST(Concurrency, StructuresWrittenAlikeAreComparedOnce) {
    GeneTable genes;
    const std::vector<ChromosomalStructure> distinct =
        testing::generateNamedStructures(31, 6, &genes);
    // Classes 0..5 of the distinct structures, the empty one written as class 6.
    const std::vector<std::size_t> classes = {0, 1, 1, 2, 0, 6, 3, 2, 6, 4, 5, 5, 1};
    std::vector<ChromosomalStructure> structures;
    for (const std::size_t c : classes) {
        structures.push_back(c < distinct.size() ? distinct[c] : ChromosomalStructure{});
        structures.back().name = "s" + std::to_string(structures.size());
    }
    for (const CopyRule rule : {CopyRule::order, CopyRule::context}) {
        PairSettings settings(unitWeights);
        settings.copies = rule;
        settings.genes = &genes;
        std::ostringstream everyProgress;
        const DistanceMatrix every =
            PairDistances(settings, structures, everyProgress, {3}).calculate();
        EXPECT_EQ(every[5][8], missingStructureDistance);
        for (const unsigned workers : {1u, 3u}) {
            std::ostringstream progress;
            EXPECT_EQ(calculateSpecialMatrix(settings, structures, progress, {workers}), every);
            EXPECT_EQ(progress.str(), everyProgress.str());
        }
    }
}

// Progress text that requests a stop once it holds `line`, as the hand-out prints it.
class StopAtLine : public std::stringbuf {
public:
    StopAtLine(std::stop_source& stop, std::string line) : stop_(stop), line_(std::move(line)) {}

protected:
    int sync() override {
        if (str().find(line_) != std::string::npos) stop_.request_stop();
        return 0;
    }

private:
    std::stop_source& stop_;
    std::string line_;
};

// A stop ends the hand-out: a calculation with pairs left fails, one whose last pair has been
// handed out gives the whole matrix. A worker's failure reaches the caller once every worker has
// ended, and no matrix does.
TEST(Concurrency, StopOrAWorkerFailureLeavesNoPartialMatrix) {
    const std::vector<ChromosomalStructure> structures = testing::generateNamedStructures(7, 10);
    std::ostringstream unused;
    const DistanceMatrix whole = PairDistances(unitWeights, structures, unused, {1}).calculate();
    std::vector<ChromosomalStructure> failing = structures;
    failing[9].chromosomes.push_back(Chromosome{false, {}});
    for (const unsigned workers : {1u, 4u}) {
        SCOPED_TRACE(workers);
        PairDistances failed(unitWeights, failing, unused, {workers});
        testing::expectThrowsWith([&] { failed.calculate(); }, "a chromosome without genes");
        for (const char* line : {"1 out of 10\n", "8 out of 10\n"}) {
            std::stop_source stop;
            StopAtLine text(stop, line);
            std::ostream progress(&text);
            PairDistances calculation(unitWeights, structures, progress, {workers});
            calculation.stopWhen(stop.get_token());
            if (std::string(line) == "1 out of 10\n") {
                testing::expectThrowsWith([&] { calculation.calculate(); },
                                          "The distance calculation was interrupted");
                EXPECT_EQ(text.str(), line);
            } else {
                EXPECT_EQ(calculation.calculate(), whole);
            }
        }
    }
}

TEST(Concurrency, DistanceThatIsNotFiniteNamesThePairAndWritesNoFile) {
    // B holds two circular blocks that A lacks; deleting them costs 2e308.
    const std::vector<ChromosomalStructure> structures = {
        {"A", {Chromosome{false, {11}}}},
        {"B", {Chromosome{false, {11}}, Chromosome{true, {21}}, Chromosome{true, {31}}}},
        {"C", {Chromosome{false, {11}}}}};
    const testing::TempDir dir;
    std::ostringstream out;
    testing::expectThrowsWith(
        [&] {
            buildTree({.resultDir = dir.path().string(),
                       .method = "nj",
                       .operationWeights = {1, 1, 1, 1, 1e308, 1e308},
                       .distanceWeights = {1, 1},
                       .threads = 2},
                      structures, nullptr, out, out);
        },
        "The distance between structure \"A\" and structure \"B\" is not finite (inf)");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

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

// The count, the rate and the time left; on a terminal the first count draws at once (nothing
// done yet, so no rate), and clearing erases the line once, and only a line that is shown.
TEST(ProgressMeter, PairsRateAndTimeLeftDrawnAndErased) {
    EXPECT_EQ(progressText(0, 15, 0.0), "pairs 0 of 15");
    EXPECT_EQ(progressText(100, 1000, 4.0), "pairs 100 of 1000, 25 pairs/s, 36s left");
    EXPECT_EQ(progressText(10, 200000, 1.0), "pairs 10 of 200000, 10 pairs/s, 5h 33m left");
    EXPECT_EQ(progressText(30, 100, 6.0), "pairs 30 of 100, 5.0 pairs/s, 14s left");
    EXPECT_EQ(progressText(1, 1000, 2.5), "pairs 1 of 1000, 0.4 pairs/s, 41m 38s left");
    EXPECT_EQ(progressText(3, 100, 6.0, "replicates"),
              "replicates 3 of 100, 0.5 replicates/s, 3m 14s left");
    std::ostringstream terminal;
    ProgressMeter meter(&terminal, 3);
    meter.clear();
    meter.pairDone(0);
    meter.clear();
    meter.clear();
    EXPECT_EQ(terminal.str(), "\r\x1b[Kpairs 0 of 3\r\x1b[K");
}

}  // namespace
}  // namespace varnet
