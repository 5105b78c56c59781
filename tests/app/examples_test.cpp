// The bundled example on a terminal and against PHYLIP; its byte-exact results are golden cases.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/program_run.hpp"

namespace varnet {
namespace {

const std::string sourceDir = VARNET_SOURCE_DIR;

// Every result file of a tree-mode run on an example, standard output with the timing masked,
// and standard error.
struct TreeRun {
    std::map<std::string, std::string> files;
    std::string out;
    std::string err;
};

TreeRun runTreeExample(const std::string& file, bool terminal = false) {
    const testing::TempDir dir;
    const testing::ProgramRun run = testing::runProgram(
        {"-m", "tree", "-c", sourceDir + "/" + file, "-o",
         sourceDir + "/examples/operation_weights.txt", "-d", sourceDir + "/distance_weights.ini",
         "-r", dir.path().string(), "-p", "nj", "-f", "1"},
        terminal);
    EXPECT_EQ(run.status, 0) << run.err;
    return {testing::filesIn(dir.path()), testing::maskTimings(run.out), run.err};
}

// On a terminal the progress line is drawn at the first pair and cleared at the end; no result
// changes.
TEST(Examples, ProgressLineOnATerminalChangesNoResult) {
    const TreeRun plain = runTreeExample("examples/tree_six.txt");
    const TreeRun shown = runTreeExample("examples/tree_six.txt", true);
    EXPECT_EQ(shown.files, plain.files);
    EXPECT_EQ(shown.out, plain.out);
    EXPECT_EQ(shown.err.rfind("Parsing parameters: \nDone.\n\r\x1b[Kpairs 1 of 15", 0), 0u);
    EXPECT_EQ(shown.err.substr(shown.err.size() - 4), "\r\x1b[K");
}

// PHYLIP's own neighbor program reads distance.phy as it stands and finds the same tree length.
TEST(Examples, PhylipNeighborReadsDistancePhy) {
    const std::string neighbor = "/usr/lib/phylip/bin/neighbor";
    if (!std::filesystem::exists(neighbor)) GTEST_SKIP() << "PHYLIP is not installed";
    const TreeRun run = runTreeExample("examples/tree_six.txt");
    const testing::TempDir dir;
    dir.write("infile", run.files.at("distance.phy"));
    const std::string command =
        "cd '" + dir.path().string() + "' && printf 'Y\\n' | " + neighbor + " >log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << dir.read("log");
    const std::string tree = dir.read("outtree");
    for (const char* name :
         {"EcoliK12_N", "EcoliW3110", "EcoliO157_", "EcoliSakai", "EcoliCFT07", "Sflexneri_"})
        EXPECT_NE(tree.find(name), std::string::npos) << name << " in " << tree;
    double total = 0.0;
    for (std::size_t colon = tree.find(':'); colon != std::string::npos;
         colon = tree.find(':', colon + 1))
        total += std::stod(tree.substr(colon + 1));
    EXPECT_NE(run.out.find("Total branch length is " + std::to_string(static_cast<int>(total))),
              std::string::npos)
        << "PHYLIP's total " << total;
}

}  // namespace
}  // namespace varnet
