// The command line and the weight files; whole runs are golden cases.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/program_options.hpp"
#include "app/weight_files.hpp"
#include "support/temp_dir.hpp"
#include "support/working_directory.hpp"

namespace varnet {
namespace {

const std::string parsing = "Parsing parameters: \n";
const std::string badAnyCast = "boost::bad_any_cast: failed conversion using boost::any_cast";

// A fresh working directory with an operation-weights file and the default distance weights.
class CommandLine : public ::testing::Test {
protected:
    CommandLine() : cwd_(dir_.path()) {
        dir_.write("weights.txt", "DP=1,SP=2,J=3,C=4,aD=5,bD=6\n");
        dir_.write("distance_weights.ini", "[weights]\nspecial=0.75\nbreakpoint=0.25\n");
        dir_.write("plain_file", "");
    }
    testing::TempDir dir_;
    testing::ScopedWorkingDirectory cwd_;
};

TEST_F(CommandLine, ReportsEveryFailureWithStatusOne) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<std::string> valid = {"-c", "s.txt", "-o", "weights.txt", "-r", "out"};
    const auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), valid.begin(), valid.end());
        return extra;
    };
    const std::string error = parsing + "Error occured: ";
    const Case cases[] = {
        {with({"-m", "dist", "-x"}), error + "unrecognised option '-x'"},
        {with({"-m"}), error + "the required argument for option '--mode' is missing"},
        {with({"-m", "dist", "-m", "tree"}),
         error + "option '--mode' cannot be specified more than once"},
        {valid, error + badAnyCast},
        {{"-o", "weights.txt", "-r", "out", "-m", "dist"}, error + badAnyCast},
        {{"-c", "s.txt", "-o", "none.txt", "-r", "out", "-m", "x"},
         error + "failed to open file with weights"},
        {with({"-m", "dist", "-d", "none.ini"}), error + "none.ini: cannot open file"},
        {with({"-m", "Dist"}), parsing + "Done.\nInvalid mode: Dist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(c.args, out, err), 1);
        EXPECT_EQ(err.str(), c.err);
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine({"-c", "s", "-o", "weights.txt", "-r", "plain_file/out", "-m", "x"},
                             out, err),
              1);
    EXPECT_EQ(err.str().rfind(error + "boost::filesystem::create_director", 0), 0u) << err.str();
}

TEST_F(CommandLine, ParsesValuesInEveryStyle) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-cs.txt", "-oweights.txt", "-rout", "-mtree", "-f1", "-pnj"},
          {"--chrom=s.txt", "--oper", "weights.txt", "--res=out", "--mode", "tree", "--phylip=yes",
           "--method=nj"}}) {
        std::ostringstream err;
        const std::optional<ProgramOptions> options = parseOptions(args, err);
        ASSERT_TRUE(options.has_value());
        EXPECT_EQ(options->chromFile, "s.txt");
        EXPECT_EQ(options->resultDir, "out");
        EXPECT_EQ(options->mode, "tree");
        EXPECT_EQ(options->method, "nj");
        EXPECT_TRUE(options->phylip);
        EXPECT_EQ(options->operationWeights, (OperationWeights{1, 2, 3, 4, 6, 5}));
        EXPECT_EQ(options->distanceWeights, (DistanceWeights{0.75, 0.25}));
    }
}

TEST_F(CommandLine, CostThatIsNotFiniteIsAnErrorBeforeAFileHoldsIt) {
    // Two blocks deleted at 1e308 each: the sum overflows.
    dir_.write("s.txt", "2\nA 3 L1 +a C1 +x C1 +y\nB 1 L1 +a\n");
    dir_.write("huge.txt", "aD=1e308");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        runCommandLine({"-c", "s.txt", "-o", "huge.txt", "-r", "result", "-m", "dist"}, out, err),
        1);
    EXPECT_NE(err.str().find("Error occured: The cost of turning structure \"A\" into structure "
                             "\"B\" is not finite (inf): the operation weights are too large"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir_.path() / "result" / "joint_graph.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "result" / "final.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "result" / "shortest_sequence.txt"));
}

TEST(WeightFiles, ReadsKeysInAnyOrderWithEitherSeparator) {
    struct Case {
        const char* text;
        OperationWeights expected;
    };
    const Case cases[] = {
        {"SP 1 DP 2", {2, 1, 0, 0, 0, 0}},
        {"bD=1,aD=2,J=3,C=4", {0, 0, 3, 4, 1, 2}},
        {"J=1\nDP=5,SP=5", {0, 0, 1, 0, 0, 0}},
        {"C=1,C=4", {0, 0, 0, 4, 0, 0}},
        {"x=1,x=2,x=3,x=4,x=5,x=6,DP=7", {0, 0, 0, 0, 0, 0}},
        {"dp=9,DPX=9,J=2,aD=3", {0, 0, 2, 0, 0, 3}},
        {"DP=-1.5,SP=0,J=1e-3,C=2E2", {-1.5, 0, 0.001, 200, 0, 0}},
        {"DP=1,SP=x,J=2", {1, 0, 0, 0, 0, 0}},
        {"SP=3,SP=x,J=2", {0, 0, 0, 0, 0, 0}},
        {"DP=nan,SP=1", {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::istringstream in(c.text);
        EXPECT_EQ(parseOperationWeights(in), c.expected);
    }
    std::istringstream ini(
        "; costs\n[other]\nspecial=9\n[weights]\r\n breakpoint = 0.25 \nspecial = 2\n");
    EXPECT_EQ(parseDistanceWeights(ini), (DistanceWeights{2, 0.25}));
}

}  // namespace
}  // namespace varnet
