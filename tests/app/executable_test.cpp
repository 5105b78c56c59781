// Runs the built program itself, so the entry's streams and exit statuses are checked end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "support/program_run.hpp"

namespace varnet {
namespace {

using Outcome = testing::ProgramRun;

// Runs the program with `arguments` (already quoted for the shell) inside `dir`; `prefix` is
// shell text run before it, `out` and `err` where its streams go.
Outcome runProgram(const testing::TempDir& dir, const std::string& arguments,
                   const std::string& prefix = "", const std::string& out = "stdout.txt",
                   const std::string& err = "stderr.txt") {
    const std::string command = "cd '" + dir.path().string() + "' && " + prefix + " '" +
                                VARNET_EXECUTABLE "' " + arguments + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw)) << command;
    // A stream sent elsewhere leaves its file missing, which reads as empty.
    return {WEXITSTATUS(raw), dir.read("stdout.txt"), dir.read("stderr.txt")};
}

// A pair with long gene names, whose joint graph printout runs to about 100 KB.
std::string largePair() {
    std::ostringstream text;
    text << "2\nA 1 L1500 ";
    for (int k = 0; k < 1500; ++k) text << "+gene_with_a_long_name_" << k;
    text << "\nB 1 L1500 ";
    for (int k = 0; k < 1500; ++k)
        text << (k % 2 ? '-' : '+') << "gene_with_a_long_name_" << 1499 - k;
    text << '\n';
    return text.str();
}

TEST(Executable, FullDevicesFailTheRunAndLeaveEarlierResultsWhole) {
    const testing::TempDir dir;
    dir.write("weights.txt", "DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2\n");
    dir.write("distance_weights.ini", "[weights]\nspecial=1\nbreakpoint=0\n");
    dir.write("small.txt", "2\nA 1 L2 +a+b\nB 1 L2 +b+a\n");
    dir.write("large.txt", largePair());
    const std::string dist = "-c small.txt -o weights.txt -r out -m dist";
    ASSERT_EQ(runProgram(dir, dist).status, 0);
    const std::map<std::string, std::string> earlier = testing::filesIn(dir.path() / "out");

    // A file system that fills up: the file-size limit makes writes beyond 16 blocks fail the
    // way a full device does (the signal it raises is ignored, as a full device raises none).
    const Outcome full = runProgram(dir, "-c large.txt -o weights.txt -r out -m dist",
                                    "trap '' XFSZ; ulimit -f 16;");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("Error occured: Failed to write file out/joint_graph.txt"),
              std::string::npos)
        << full.err;
    EXPECT_EQ(testing::filesIn(dir.path() / "out"), earlier) << "no temporary file is left";

    // Console text that cannot be written fails the run; the other stream says so.
    const Outcome noOut =
        runProgram(dir, "-c small.txt -o weights.txt -r tree -m tree -p nj", "", "/dev/full");
    EXPECT_EQ(noOut.status, 1);
    EXPECT_EQ(noOut.err,
              "Parsing parameters: \nDone.\nError occured: Failed to write to standard output");
    const Outcome noErr = runProgram(dir, dist, "", "stdout.txt", "/dev/full");
    EXPECT_EQ(noErr.status, 1);
    EXPECT_EQ(noErr.out, "Error occured: Failed to write to standard error");
}

}  // namespace
}  // namespace varnet
