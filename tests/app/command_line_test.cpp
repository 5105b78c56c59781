#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/program_options.hpp"
#include "support/expect_throws.hpp"
#include "support/temp_dir.hpp"
#include "support/working_directory.hpp"

namespace varnet {
namespace {

using testing::expectThrowsWith;

const std::string parsing = "Parsing parameters: \n";
const std::string helpText =
    "Usage: Varnet -c [file] -o [ini file] -m [mode] -r [directory]\n"
    "Options:\n"
    "  -h [ --help ]                         Show help\n"
    "  -c [ --chrom ] arg                    File with chromosomal structures\n"
    "  -o [ --oper ] arg                     Operation weights\n"
    "  -r [ --res ] arg                      Output directory with result\n"
    "  -m [ --mode ] arg                     Running mode\n"
    "  -f [ --phylip ] arg (=0)              Print matrix in phylip format\n"
    "  -p [ --method ] arg (=upgma)          Tree generation method\n"
    "  -d [ --coeff ] arg (=distance_weights.ini)\n"
    "                                        Weights for sum of special and \n"
    "                                        breakpoint distances\n";
const std::string badAnyCast = "boost::bad_any_cast: failed conversion using boost::any_cast";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

// A fresh working directory holding an operation-weights file and the default
// "distance_weights.ini"; the structure file is never read before a mode runs.
class CommandLine : public ::testing::Test {
protected:
    CommandLine() : cwd_(dir_.path()) {
        dir_.write("weights.txt", "DP=1,SP=2,J=3,C=4,aD=5,bD=6\n");
        dir_.write("distance_weights.ini", "[weights]\nspecial=0.75\nbreakpoint=0.25\n");
    }

    testing::TempDir dir_;
    testing::ScopedWorkingDirectory cwd_;
};

TEST_F(CommandLine, HelpPrintsTheListingAndReadsNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-h"}, {"--help"}, {"-c", "none.txt", "-h", "-r", "new_dir"}}) {
        SCOPED_TRACE(args.size());
        std::filesystem::remove(dir_.path() / "distance_weights.ini");
        const Outcome result = run(args);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, parsing + helpText);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(std::filesystem::exists(dir_.path() / "new_dir"));
    }
}

TEST_F(CommandLine, ReportsEveryFailureWithStatusOne) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<std::string> valid = {"-c", "s.txt", "-o", "weights.txt", "-r", "out"};
    const auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), valid.begin(), valid.end());
        return extra;
    };
    const Case cases[] = {
        {"undeclared option", with({"-m", "dist", "-x"}),
         parsing + "Error occured: unrecognised option '-x'"},
        {"missing value", with({"-m"}),
         parsing + "Error occured: the required argument for option '--mode' is missing"},
        {"bad bool value", with({"-m", "dist", "-f", "maybe"}),
         parsing + "Error occured: the argument ('maybe') for option '--phylip' is invalid. Valid "
                   "choices are 'on|off', 'yes|no', '1|0' and 'true|false'"},
        {"positional argument", with({"-m", "dist", "extra"}),
         parsing + "Error occured: too many positional options have been specified on the command "
                   "line"},
        {"option given twice", with({"-m", "dist", "-m", "tree"}),
         parsing + "Error occured: option '--mode' cannot be specified more than once"},
        {"missing -m", valid, parsing + "Error occured: " + badAnyCast},
        {"missing -c",
         {"-o", "weights.txt", "-r", "out", "-m", "dist"},
         parsing + "Error occured: " + badAnyCast},
        {"missing -r",
         {"-c", "s.txt", "-o", "weights.txt", "-m", "dist"},
         parsing + "Error occured: " + badAnyCast},
        {"missing -o",
         {"-c", "s.txt", "-r", "out", "-m", "dist"},
         parsing + "Error occured: " + badAnyCast},
        {"unreadable operation weights",
         {"-c", "s.txt", "-o", "none.txt", "-r", "out", "-m", "x"},
         parsing + "Error occured: failed to open file with weights"},
        {"unreadable distance weights", with({"-m", "dist", "-d", "none.ini"}),
         parsing + "Error occured: none.ini: cannot open file"},
        {"mode with a capital letter", with({"-m", "Dist"}), parsing + "Done.\nInvalid mode: Dist"},
        {"empty mode", with({"-m", ""}), parsing + "Done.\nInvalid mode: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome result = run(c.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CommandLine, AMissingDefaultDistanceWeightsFileFailsEvenDistMode) {
    std::filesystem::remove(dir_.path() / "distance_weights.ini");
    const Outcome result = run({"-c", "s.txt", "-o", "weights.txt", "-r", "out", "-m", "dist"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, parsing + "Error occured: distance_weights.ini: cannot open file");
}

TEST_F(CommandLine, AResultDirectoryThatCannotBeCreatedIsReported) {
    dir_.write("plain_file", "");
    for (const std::string& resultDir : {std::string("plain_file/out"), std::string("")}) {
        SCOPED_TRACE(resultDir);
        const Outcome result =
            run({"-c", "s.txt", "-o", "weights.txt", "-r", resultDir, "-m", "dist"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(
            result.err.rfind(parsing + "Error occured: boost::filesystem::create_director", 0), 0u)
            << result.err;
    }
}

TEST_F(CommandLine, LooksValuesUpInOrderAndCreatesTheDirectoryBeforeReadingWeights) {
    const auto created = [&](const char* name) {
        return std::filesystem::is_directory(dir_.path() / name);
    };
    // The mode is looked up before the directory is created ...
    EXPECT_EQ(run({"-c", "s.txt", "-o", "weights.txt", "-r", "first"}).status, 1);
    EXPECT_FALSE(created("first"));
    // ... and the weight files are read after it, the operation weights first.
    const Outcome result =
        run({"-c", "s.txt", "-o", "none.txt", "-d", "none.ini", "-r", "a/b/c", "-m", "dist"});
    EXPECT_EQ(result.err, parsing + "Error occured: failed to open file with weights");
    EXPECT_TRUE(created("a/b/c"));
    // An existing directory is no error.
    EXPECT_EQ(run({"-c", "s.txt", "-o", "weights.txt", "-r", "a/b/c", "-m", "x"}).err,
              parsing + "Done.\nInvalid mode: x");
}

TEST_F(CommandLine, ParsesValuesInEveryStyleOfTheOptionLibrary) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string method;
        bool phylip;
    };
    const Case cases[] = {
        {"short options and defaults",
         {"-c", "s.txt", "-o", "weights.txt", "-r", "out", "-m", "tree"},
         "upgma",
         false},
        {"attached short values",
         {"-cs.txt", "-oweights.txt", "-rout", "-mtree", "-f1", "-pnj"},
         "nj",
         true},
        {"long options with = and with the next word",
         {"--chrom=s.txt", "--oper", "weights.txt", "--res=out", "--mode", "tree", "--phylip=yes",
          "--method=kruskal"},
         "kruskal",
         true},
        {"bool words",
         {"-c", "s.txt", "-o", "weights.txt", "-r", "out", "-m", "tree", "-f", "off"},
         "upgma",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream err;
        const std::optional<ProgramOptions> options = parseOptions(c.args, err);
        ASSERT_TRUE(options.has_value());
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(options->chromFile, "s.txt");
        EXPECT_EQ(options->resultDir, "out");
        EXPECT_EQ(options->mode, "tree");
        EXPECT_EQ(options->method, c.method);
        EXPECT_EQ(options->phylip, c.phylip);
        EXPECT_EQ(options->operationWeights, (OperationWeights{1, 2, 3, 4, 6, 5}));
        EXPECT_EQ(options->distanceWeights, (DistanceWeights{0.75, 0.25}));
    }
}

TEST_F(CommandLine, DistanceWeightsComeFromTheFileNamedByD) {
    dir_.write("sub/other.ini", "[weights]\nspecial=2\nbreakpoint=3\n");
    std::ostringstream err;
    const std::optional<ProgramOptions> options = parseOptions(
        {"-c", "s.txt", "-o", "weights.txt", "-r", "out", "-m", "dist", "-d", "sub/other.ini"},
        err);
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->distanceWeights, (DistanceWeights{2, 3}));
    expectThrowsWith(
        [] {
            std::ostringstream ignored;
            parseOptions({"-c", "s", "-o", "weights.txt", "-r", "out", "-m", "dist", "-d", "sub"},
                         ignored);
        },
        "sub(1): read error");
}

}  // namespace
}  // namespace varnet
