#include "app/dist_mode.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/command_line.hpp"
#include "support/temp_dir.hpp"
#include "support/working_directory.hpp"

namespace varnet {
namespace {

namespace fs = std::filesystem;

const std::string consoleUpToSolving =
    "Parsing parameters: \nDone.\nBuilding chromosome structs...\nDone.\n"
    "Building common graph...\nDone.\nCalculating shortest path...\n";

struct RunResult {
    int status = 0;
    std::string out;
    std::string err;
};

// A dist run in `dir` on `structures` with the weights line `weights` and results in "result".
RunResult runDist(const testing::TempDir& dir, const std::string& structures,
                  const std::string& weights = "DP=1,SP=1,J=1,C=1,aD=1,bD=1") {
    dir.write("structures.txt", structures);
    dir.write("weights.txt", weights + "\n");
    dir.write("distance_weights.ini", "[weights]\nbreakpoint = 1\nspecial = 1\n");
    const testing::ScopedWorkingDirectory inDir(dir.path());
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(
        {"-c", "structures.txt", "-o", "weights.txt", "-m", "dist", "-r", "result"}, out, err);
    return {status, out.str(), err.str()};
}

// A side-A circular block next to a shared gene: the cost is the aD weight.
const std::string pairWithBlock = "2\nA 2 L1 +a C1 +x\nB 1 L1 +a\n";

TEST(DistMode, PrintsTheCostInTheDefaultNumberFormatWithoutLineBreak) {
    for (const auto& [weight, text] : std::vector<std::pair<std::string, std::string>>{
             {"2.5", "2.5"}, {"3", "3"}, {"1000000", "1e+06"}, {"0.00001", "1e-05"}}) {
        SCOPED_TRACE(text);
        const testing::TempDir dir;
        const RunResult run = runDist(dir, pairWithBlock, "aD=" + weight + ",bD=7");
        EXPECT_EQ(run.status, successStatus);
        EXPECT_EQ(run.err, consoleUpToSolving + text);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(dir.read("result/shortest_sequence.txt"),
                  "1; " + text + ";\n[a(C)] aD [] , step: delete block\n");
    }
}

TEST(DistMode, ResultFileThatCannotBeCreatedIsAnError) {
    struct Case {
        const char* blocked;  // made a directory, so that the file cannot be created
        std::string console;
        std::vector<std::string> written;
    };
    const std::string lost = "Error occured: Failed to create file result/";
    const Case cases[] = {
        {"joint_graph.txt",
         "Parsing parameters: \nDone.\nBuilding chromosome structs...\nDone.\n"
         "Building common graph...\n" +
             lost + "joint_graph.txt",
         {}},
        {"final.txt", consoleUpToSolving + "1" + lost + "final.txt", {"joint_graph.txt"}},
        {"shortest_sequence.txt",
         consoleUpToSolving + "1" + lost + "shortest_sequence.txt",
         {"joint_graph.txt", "final.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        const testing::TempDir dir;
        fs::create_directories(dir.path() / "result" / c.blocked);
        const RunResult run = runDist(dir, pairWithBlock);
        EXPECT_EQ(run.status, failureStatus);
        EXPECT_EQ(run.err, c.console);
        for (const char* name : {"joint_graph.txt", "final.txt", "shortest_sequence.txt"}) {
            const bool expected =
                std::find(c.written.begin(), c.written.end(), name) != c.written.end();
            EXPECT_EQ(fs::is_regular_file(dir.path() / "result" / name), expected) << name;
        }
    }
}

TEST(DistMode, CostThatIsNotFiniteIsAnErrorBeforeAFileHoldsIt) {
    // Two blocks deleted at 1e308 each: the sum overflows.
    const testing::TempDir dir;
    const RunResult run = runDist(dir, "2\nA 3 L1 +a C1 +x C1 +y\nB 1 L1 +a\n", "aD=1e308");
    EXPECT_EQ(run.status, failureStatus);
    EXPECT_EQ(run.err, consoleUpToSolving +
                           "Error occured: The cost of turning structure \"A\" into structure "
                           "\"B\" is not finite (inf): the operation weights are too large");
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "result" / "joint_graph.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "result" / "final.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "result" / "shortest_sequence.txt"));
}

TEST(DistMode, StructuresBeyondTheGraphLimitsAreRejectedBeforeAnyResultFile) {
    const testing::TempDir dir;
    const RunResult run = runDist(dir, "2\nA 1 L10 +a+a+a+a+a+a+a+a+a+a\nB 1 L1 +a\n");
    EXPECT_EQ(run.status, failureStatus);
    EXPECT_EQ(run.err.rfind("Parsing parameters: \nDone.\nBuilding chromosome structs...\n"
                            "Error occured: ",
                            0),
              0u)
        << run.err;
    EXPECT_TRUE(fs::is_empty(dir.path() / "result"));
}

}  // namespace
}  // namespace varnet
