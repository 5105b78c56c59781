// The bundled examples in every format and worker count, and against PHYLIP; their byte-exact
// results are golden cases.
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

TreeRun runTreeExample(const std::string& file, const char* threads, bool terminal = false) {
    if (threads != nullptr) {
        setenv("VARNET_THREADS", threads, 1);
    } else {
        unsetenv("VARNET_THREADS");
    }
    const testing::TempDir dir;
    const testing::ProgramRun run = testing::runProgram(
        {"-m", "tree", "-c", sourceDir + "/" + file, "-o",
         sourceDir + "/examples/operation_weights.txt", "-d", sourceDir + "/distance_weights.ini",
         "-r", dir.path().string(), "-p", "nj", "-f", "1"},
        terminal);
    unsetenv("VARNET_THREADS");
    EXPECT_EQ(run.status, 0) << run.err;
    return {testing::filesIn(dir.path()), testing::maskTimings(run.out), run.err};
}

// The six genomes written natively, in UniMoG style and in GRIMM style give the same files, with
// one worker and with as many as the process may use.
TEST(Examples, TreeSixGivesTheSameResultsInEveryFormatAndWorkerCount) {
    const TreeRun native = runTreeExample("examples/tree_six.txt", nullptr);
    for (const char* file :
         {"examples/tree_six.txt", "examples/tree_six.unimog", "examples/tree_six.grimm"}) {
        for (const char* threads : {"1", "3"}) {
            SCOPED_TRACE(std::string(file) + " with VARNET_THREADS=" + threads);
            const TreeRun run = runTreeExample(file, threads);
            EXPECT_EQ(run.files, native.files);
            EXPECT_EQ(run.out, native.out);
        }
    }
    // On a terminal the progress line is drawn at the first pair and cleared at the end.
    const TreeRun shown = runTreeExample("examples/tree_six.txt", "1", true);
    EXPECT_EQ(shown.files, native.files);
    EXPECT_EQ(shown.out, native.out);
    EXPECT_EQ(shown.err.rfind("Parsing parameters: \nDone.\n\r\x1b[Kpairs 1 of 15", 0), 0u);
    EXPECT_EQ(shown.err.substr(shown.err.size() - 4), "\r\x1b[K");
}

// PHYLIP's own neighbor program reads distance.phy as it stands and finds the same tree length.
TEST(Examples, PhylipNeighborReadsDistancePhy) {
    const std::string neighbor = "/usr/lib/phylip/bin/neighbor";
    if (!std::filesystem::exists(neighbor)) GTEST_SKIP() << "PHYLIP is not installed";
    const TreeRun run = runTreeExample("examples/tree_six.txt", nullptr);
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
