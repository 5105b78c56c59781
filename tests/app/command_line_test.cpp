// The command line and the weight files; whole runs are golden cases.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "modes/weight_files.hpp"
#include "support/program_run.hpp"

namespace varnet {
namespace {

const std::string parsing = "Parsing parameters: \n";
const std::string error = parsing + "Error occured: ";

// A fresh working directory with an operation-weights file and the default distance weights.
class CommandLine : public testing::InTempDir {
protected:
    CommandLine() {
        dir_.write("weights.txt", "DP=1,SP=2,J=3,C=4,aD=5,bD=6\n");
        dir_.write("distance_weights.ini", "[weights]\nspecial=0.75\nbreakpoint=0.25\n");
        dir_.write("plain_file", "");
        dir_.write("s.txt", "3\nspecies_A 1 L2 +a+b\nspecies_B 1 L2 +b+a\nspecies_C 1 L2 +a-b\n");
    }
};

// Every failure: status 1, the whole error text (one ending in "..." is the start of it, Boost
// words the rest), nothing on standard output; values are checked before the result directory
// is made where `made` is false, and after it where it is true.
TEST_F(CommandLine, ReportsEveryFailureWithStatusOne) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
        bool made = false;
    };
    const auto with = [](std::vector<std::string> extra) {
        extra.insert(extra.begin(), {"-c", "s.txt", "-o", "weights.txt", "-r", "out"});
        return extra;
    };
    const auto tree = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), {"-m", "tree"});
        return with(extra);
    };
    const std::string whole =
        error + "The option --jackknife must be a whole number from 0 to 1000000, not ";
    const std::string share =
        error + "The option --jackknife-fraction must be a number above 0 and below 1, not ";
    const std::string copies =
        error + "the argument ('Context') for option '--copies' is invalid: use order or context";
    const std::string badAnyCast =
        error + "boost::bad_any_cast: failed conversion using boost::any_cast";
    const Case cases[] = {
        {with({"-m", "dist", "-x"}), error + "unrecognised option '-x'"},
        {with({"-m"}), error + "the required argument for option '--mode' is missing"},
        {with({"-m", "dist", "-m", "tree"}),
         error + "option '--mode' cannot be specified more than once"},
        {with({}), badAnyCast},
        {{"-o", "weights.txt", "-r", "out", "-m", "dist"}, badAnyCast},
        {{"-c", "s.txt", "-o", "none.txt", "-r", "out", "-m", "x"},
         error + "failed to open file with weights",
         true},
        {with({"-m", "dist", "-d", "none.ini"}), error + "none.ini: cannot open file", true},
        {with({"-m", "Dist"}), parsing + "Done.\nInvalid mode: Dist", true},
        {{"-c", "s", "-o", "weights.txt", "-r", "plain_file/out", "-m", "x"},
         error + "boost::filesystem::create_director..."},
        {with({"-m", "dist", "--copies", "Context"}), copies},
        {tree({"-b", "-1"}), whole + "\"-1\""},
        {tree({"-b", "x"}), whole + "\"x\""},
        {tree({"--jackknife=2.5"}), whole + "\"2.5\""},
        {tree({"-b", "1000001"}), whole + "\"1000001\""},
        {tree({"--jackknife-fraction", "0"}), share + "\"0\""},
        {tree({"--jackknife-fraction", "1"}), share + "\"1\""},
        {tree({"--jackknife-fraction", "nan"}), share + "\"nan\""},
        {tree({"--jackknife-fraction", "0.4x"}), share + "\"0.4x\""},
        {tree({"--seed", "-1"}),
         error + "The option --seed must be a whole number from 0 to 18446744073709551615, not "
                 "\"-1\""},
        {tree({"-b", "5", "-p", "UPGMA"}),
         error + "The jackknife (-b) needs a tree method (-p upgma, nj or kruskal), not \"UPGMA\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        const testing::ProgramRun run = testing::runProgram(c.args);
        EXPECT_EQ(run.status, 1);
        const bool start = c.err.ends_with("...");
        EXPECT_EQ(start ? run.err.substr(0, c.err.size() - 3) + "..." : run.err, c.err);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::filesystem::exists(dir_.path() / "out"), c.made);
        std::filesystem::remove_all(dir_.path() / "out");
    }
}

// On a terminal the progress line is drawn at the first pair and cleared at the end; no result
// changes. The two runs write the same options in two styles: short ones with their values
// attached, long ones abbreviated, with "=" or apart, a bool as 1 or as yes.
TEST_F(CommandLine, ProgressLineOnATerminalChangesNoResultAndOptionsReadInEveryStyle) {
    const std::vector<std::string> styles[] = {
        {"-cs.txt", "-oweights.txt", "-rout", "-mtree", "-f1", "-pnj"},
        {"--chrom=s.txt", "--oper", "weights.txt", "--res=shown", "--mode", "tree", "--phylip=yes",
         "--method=nj"}};
    std::map<std::string, std::string> files[2];  // the result files and "<stdout>"
    for (const bool terminal : {false, true}) {
        const testing::ProgramRun run = testing::runProgram(styles[terminal], terminal);
        ASSERT_EQ(run.status, 0) << run.err;
        files[terminal] = testing::filesIn(dir_.path() / (terminal ? "shown" : "out"));
        // The PHYLIP matrix of -f and neighbour joining's graph.
        EXPECT_TRUE(files[terminal].contains("infile") && files[terminal].contains("graph.txt"));
        files[terminal]["<stdout>"] = testing::maskTimings(run.out);
        if (terminal) {
            EXPECT_TRUE(run.err.starts_with("Parsing parameters: \nDone.\n\r\x1b[Kpairs 1 of 3"))
                << run.err;
            EXPECT_TRUE(run.err.ends_with("\r\x1b[K")) << run.err;
        }
    }
    EXPECT_EQ(files[1], files[0]);
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
