// The command line and the weight files; whole runs are golden cases.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

// --version prints the version alone, before any file is read; the option list of -h stays
// without it.
TEST_F(CommandLine, VersionAloneOnStandardOutput) {
    const std::string version = std::string("varnet ") + versionText() + "\n";
    const std::vector<std::string> versionLines[] = {
        {"--version"}, {"-c", "none.txt", "--version", "-m", "x", "-r", "not_made"}};
    for (const std::vector<std::string>& args : versionLines) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(args, out, err), 0);
        EXPECT_EQ(out.str(), version);
        EXPECT_EQ(err.str(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "not_made"));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runCommandLine({"--version=1"}, out, err), 1);
    EXPECT_EQ(out.str(), "");
    std::ostringstream help;
    EXPECT_EQ(runCommandLine({"-h"}, out, help), 0);
    EXPECT_EQ(help.str().find("version"), std::string::npos) << help.str();
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

TEST_F(CommandLine, JackknifeValuesAreCheckedBeforeAnythingIsCreated) {
    dir_.write("s.txt", "3\nA 1 L2 +a+b\nB 1 L2 +b+a\nC 1 L2 +a-b\n");
    const std::string whole = "The option --jackknife must be a whole number from 0 to 1000000, ";
    const std::string share =
        "The option --jackknife-fraction must be a number above 0 and below "
        "1, not ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-b", "-1"}, whole + "not \"-1\""},
        {{"-b", "x"}, whole + "not \"x\""},
        {{"--jackknife=2.5"}, whole + "not \"2.5\""},
        {{"-b", "1000001"}, whole + "not \"1000001\""},
        {{"--jackknife-fraction", "0"}, share + "\"0\""},
        {{"--jackknife-fraction", "1"}, share + "\"1\""},
        {{"--jackknife-fraction", "nan"}, share + "\"nan\""},
        {{"--jackknife-fraction", "0.4x"}, share + "\"0.4x\""},
        {{"--seed", "-1"},
         "The option --seed must be a whole number from 0 to 18446744073709551615, not \"-1\""},
        {{"-b", "5", "-p", "UPGMA"},
         "The jackknife (-b) needs a tree method (-p upgma, nj or kruskal), not \"UPGMA\""},
    };
    for (const auto& [extra, message] : cases) {
        SCOPED_TRACE(message);
        std::vector<std::string> args = {"-c", "s.txt", "-o", "weights.txt",
                                         "-r", "out",   "-m", "tree"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runCommandLine(args, out, err), 1);
        EXPECT_EQ(err.str(), parsing + "Error occured: " + message);
        EXPECT_FALSE(std::filesystem::exists(dir_.path() / "out"));
    }
}

// Without replicates the other jackknife values change nothing: every file and line stays.
TEST_F(CommandLine, NoReplicatesLeaveEveryOutputAsItIs) {
    dir_.write("s.txt", "4\nA 1 L3 +a+b+c\nB 1 L3 +b+a+c\nC 1 C3 +a-b+c\nD 2 L2 +a+c L1 +b\n");
    for (const char* method : {"upgma", "nj", "kruskal"}) {
        SCOPED_TRACE(method);
        const auto run = [&](const std::string& result, std::vector<std::string> extra) {
            std::vector<std::string> args = {"-c",   "s.txt", "-o",   "weights.txt", "-r",
                                             result, "-m",    "tree", "-p",          method};
            args.insert(args.end(), extra.begin(), extra.end());
            std::ostringstream out;
            std::ostringstream err;
            EXPECT_EQ(runCommandLine(args, out, err), 0) << err.str();
            std::string text = out.str();
            text.erase(text.find("Time of matrix"), text.find(" seconds\n") - text.find("Time"));
            std::map<std::string, std::string> files = {{"<stdout>", text},
                                                        {"<stderr>", err.str()}};
            for (const auto& entry : std::filesystem::directory_iterator(dir_.path() / result))
                files[entry.path().filename().string()] =
                    dir_.read(result + "/" + entry.path().filename().string());
            return files;
        };
        EXPECT_EQ(run(std::string("plain_") + method, {}),
                  run(std::string("zero_") + method,
                      {"-b", "0", "--seed", "9", "--jackknife-fraction", "0.3"}));
    }
}

// A name's copies beyond the ninth take code groups of their own; a replicate still deletes the
// name whole. Here 2 of the 3 names go, so every structure keeps a gene: no distance of a structure
// without chromosomes (1e6) may reach a replicate tree, as it would if X's last copies of a were
// deleted alone.
TEST_F(CommandLine, JackknifeDeletesEveryCopyOfAName) {
    dir_.write("s.txt", "3\nX 1 L14 +a+a+a+a+a+a+a+a+a+a+a+a+b+c\nY 1 L3 +a+b+c\nZ 1 C3 +a+c+b\n");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runCommandLine({"-c", "s.txt", "-o", "weights.txt", "-r", "out", "-m", "tree", "-p",
                              "nj", "-b", "12", "--jackknife-fraction", "0.8"},
                             out, err),
              0)
        << err.str();
    std::istringstream trees(dir_.read("out/replicates.tre"));
    int count = 0;
    for (std::string tree; std::getline(trees, tree); ++count) {
        for (std::size_t at = tree.find(':'); at != std::string::npos; at = tree.find(':', at + 1))
            EXPECT_LT(std::stod(tree.substr(at + 1)), 1000.0) << tree;
    }
    EXPECT_EQ(count, 12);
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
