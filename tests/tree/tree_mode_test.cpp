#include "tree/tree_mode.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "app/tree_mode.hpp"
#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
#include "support/svg_check.hpp"
#include "support/temp_dir.hpp"

namespace varnet {
namespace {

const OperationWeights unitWeights = {1, 1, 1, 1, 1, 1};

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
        structures[k].name = (std::ostringstream() << "genome_" << 1000 + k).str();
    return structures;
}

// Every file of the directory with its bytes, and the standard output with the timing masked.
struct TreeRun {
    std::map<std::string, std::string> files;
    std::string out;
};

TreeRun runTree(const std::vector<ChromosomalStructure>& structures, const std::string& method,
                unsigned workers, DistanceWeights weights = {1.0, 0.5}, bool phylip = true) {
    const testing::TempDir dir;
    std::ostringstream out;
    buildTree(unitWeights, weights, structures, dir.path().string(), method, phylip, out, workers);
    TreeRun run;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        run.files[name] = dir.read(name);
    }
    const std::string text = out.str();
    const std::size_t time = text.find("Time of matrix calculation: ");
    const std::size_t end = text.find(" seconds\n", time);
    run.out = text.substr(0, time) + "<time>" + text.substr(end);
    return run;
}

TEST(TreeModeConcurrency, SameFilesWithOneAndWithEightWorkers) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    const std::size_t count = 30;  // sanitizers slow every solver run down
#else
    const std::size_t count = 36;
#endif
    const std::vector<ChromosomalStructure> structures = generatedStructures(2024, count);
    for (const char* method : {"upgma", "nj", "kruskal"}) {
        SCOPED_TRACE(method);
        const TreeRun one = runTree(structures, method, 1);
        const TreeRun eight = runTree(structures, method, 8);
        EXPECT_EQ(one.files, eight.files);
        EXPECT_EQ(one.out, eight.out);
        EXPECT_TRUE(one.files.count("tree.tre") && one.files.count("infile"));
        EXPECT_EQ(one.files.at("tree.tre").back(), ';');
    }
}

TEST(TreeMode, FailingPairLeavesNoFile) {
    std::vector<ChromosomalStructure> structures = generatedStructures(5, 6);
    structures[4].chromosomes.push_back(Chromosome{true, {}});
    const testing::TempDir dir;
    std::ostringstream out;
    EXPECT_ANY_THROW(
        buildTree(unitWeights, {1.0, 1.0}, structures, dir.path().string(), "nj", true, out, 4));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(TreeMode, DistanceThatIsNotFiniteNamesThePairAndWritesNoFile) {
    // B and C each hold two circular blocks that A lacks; deleting them costs 2e308.
    const std::vector<ChromosomalStructure> structures = {
        {"A", {Chromosome{false, {11}}}},
        {"B", {Chromosome{false, {11}}, Chromosome{true, {21}}, Chromosome{true, {31}}}},
        {"C", {Chromosome{false, {11}}}}};
    const OperationWeights huge = {1, 1, 1, 1, 1e308, 1e308};
    const testing::TempDir dir;
    std::ostringstream out;
    testing::expectThrowsWith(
        [&] {
            buildTree(huge, {1, 1}, structures, dir.path().string(), "nj", false, out, 2);
        },
        "The distance between structure \"A\" and structure \"B\" is not finite (inf)");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(TreeMode, UnknownMethodWritesMatricesAndAnEmptyTree) {
    for (const char* method : {"UPGMA", "Nj", "neighbour", ""}) {
        SCOPED_TRACE(method);
        const TreeRun run = runTree(generatedStructures(9, 3), method, 2);
        EXPECT_EQ(run.files.size(), 7u) << "distance.tsv, distance.phy, distance_names.txt (the "
                                           "names share their first 10 characters), map.txt, "
                                           "infile, tree.tre, tree.svg";
        EXPECT_EQ(run.files.at("tree.tre"), "");
        EXPECT_EQ(run.out, "1 out of 3\n<time> seconds\n");
    }
}

TEST(TreeMode, UpgmaOnOneStructureStillWritesItsThreeFiles) {
    TreeRun run = runTree({{"solo", {Chromosome{false, {11, 21}}}}}, "upgma", 2, {1, 1}, false);
    EXPECT_EQ(testing::leafLabelsOfSvg(run.files["tree.svg"]), std::vector<std::string>{"solo"});
    run.files.erase("tree.svg");
    const std::map<std::string, std::string> expected = {
        {"distance.tsv", "\tsolo\t\nsolo\t0\t\n"},
        {"distance.phy", "1\nsolo       0.000000\n"},
        {"tree_distances_matrix.tsv", "\tsolo\t\nsolo\t0\t\n"},
        {"tree_distances_vector.txt", ""},
        {"discrepancy_matrix.tsv", "\tsolo\t\n"},
        {"tree.tre", "solo;"}};
    EXPECT_EQ(run.files, expected);
    EXPECT_EQ(run.out, "<time> seconds\n");
}

TEST(TreeMode, NeighbourJoiningOnTwoStructuresSplitsTheirDistance) {
    // Breakpoint distance 2: the adjacencies 11.2@21.1 and 11.2@21.2 differ.
    const std::vector<ChromosomalStructure> structures = {{"A", {Chromosome{false, {11, 21}}}},
                                                          {"B", {Chromosome{false, {11, -21}}}}};
    const TreeRun run = runTree(structures, "nj", 2, {0, 1}, false);
    EXPECT_EQ(run.files.at("tree.tre"), "(A:1,B:1);");
    EXPECT_EQ(run.files.at("graph.txt"), "0 1 2 \n1 0 2 \n");
    EXPECT_EQ(run.out, "<time> seconds\nTotal branch length is 2\n");
}

TEST(TreeMode, StructureBeyondTheGraphLimitsFailsBeforeAnyMatrix) {
    const testing::TempDir dir;
    ProgramOptions options;
    options.chromFile = dir.write("structures.txt", "2\nA 1 L2 +a+b\nB 2 L1 +a L0 x\n");
    options.resultDir = (dir.path() / "res").string();
    options.method = "upgma";
    std::filesystem::create_directory(options.resultDir);
    std::ostringstream out;
    testing::expectThrowsWith([&] { runTreeMode(options, out); },
                              "structure \"B\": chromosome 2 holds no genes");
    EXPECT_EQ(out.str(), "") << "nothing is computed";
    EXPECT_TRUE(std::filesystem::is_empty(options.resultDir));
}

}  // namespace
}  // namespace varnet
