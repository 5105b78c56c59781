// Runs the built program itself, so the entry's streams and exit statuses are checked end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.hpp"

namespace varnet {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs the program with `arguments` (already quoted for the shell) inside `dir`.
Outcome runProgram(const testing::TempDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.path().string() + "' && '" VARNET_EXECUTABLE "' " +
                                arguments + " >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw)) << command;
    return {WEXITSTATUS(raw), dir.read("stdout.txt"), dir.read("stderr.txt")};
}

TEST(Executable, HelpSucceedsOnStandardError) {
    const testing::TempDir dir;
    const Outcome result = runProgram(dir, "-h");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("Parsing parameters: \nUsage: Varnet -c [file] -o [ini file] -m "
                               "[mode] -r [directory]\nOptions:\n  -h [ --help ]",
                               0),
              0u)
        << result.err;
}

TEST(Executable, FailuresEndWithStatusOne) {
    const testing::TempDir dir;
    dir.write("weights.txt", "DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2\n");
    dir.write("distance_weights.ini", "[weights]\nspecial=1\nbreakpoint=0\n");
    const Outcome invalid = runProgram(dir, "-c s.txt -o weights.txt -r out -m Dist");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, "Parsing parameters: \nDone.\nInvalid mode: Dist");
    EXPECT_EQ(invalid.out, "");

    const Outcome unknown = runProgram(dir, "--unknown");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "Parsing parameters: \nError occured: unrecognised option '--unknown'");
}

}  // namespace
}  // namespace varnet
