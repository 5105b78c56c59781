// Runs every case of tests/golden/tree through the command line in a fresh working directory
// and compares the exit status, both console streams and every result file byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/command_line.hpp"
#include "support/temp_dir.hpp"
#include "support/working_directory.hpp"

namespace varnet {
namespace {

namespace fs = std::filesystem;

const fs::path goldenRoot = fs::path(VARNET_TREE_GOLDEN_DIR);

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Equal texts, or a failure naming the first line that differs.
void expectSameText(const std::string& what, const std::string& expected,
                    const std::string& actual) {
    if (expected == actual) return;
    const std::vector<std::string> want = linesOf(expected);
    const std::vector<std::string> got = linesOf(actual);
    std::size_t line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
    ADD_FAILURE() << what << " differs at line " << line + 1
                  << ":\n  expected: " << (line < want.size() ? want[line] : "<end>")
                  << "\n  actual:   " << (line < got.size() ? got[line] : "<end>")
                  << "\nwhole actual text:\n"
                  << actual;
}

std::map<std::string, std::string> filesBelow(const fs::path& root) {
    std::map<std::string, std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = readAll(entry.path());
    }
    return files;
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(goldenRoot)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TreeGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(TreeGolden, MatchesTheExpectedOutput) {
    const fs::path source = goldenRoot / GetParam();
    const testing::TempDir dir;
    for (const auto& entry : fs::directory_iterator(source)) {
        if (entry.is_regular_file())
            fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
    const std::vector<std::string> args = linesOf(readAll(source / "args"));
    std::ostringstream out;
    std::ostringstream err;
    int status = 0;
    {
        const testing::ScopedWorkingDirectory inside(dir.path());
        status = runCommandLine(args, out, err);
    }
    const fs::path expected = source / "expected";
    EXPECT_EQ(std::to_string(status) + "\n", readAll(expected / "status"));
    // The time taken varies from run to run.
    const std::regex timing("Time of matrix calculation: [^ \n]* seconds");
    expectSameText("standard output", readAll(expected / "stdout"),
                   std::regex_replace(out.str(), timing, "Time of matrix calculation: # seconds"));
    expectSameText("standard error", readAll(expected / "stderr"), err.str());

    const auto wanted = filesBelow(expected / "res");
    const auto written = filesBelow(dir.path() / "res");
    std::vector<std::string> wantedNames;
    std::vector<std::string> writtenNames;
    for (const auto& [name, text] : wanted) wantedNames.push_back(name);
    for (const auto& [name, text] : written) writtenNames.push_back(name);
    EXPECT_EQ(writtenNames, wantedNames) << "result files";
    for (const auto& [name, text] : wanted) {
        if (written.count(name)) expectSameText(name, text, written.at(name));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeGolden, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             return param.param;
                         });

}  // namespace
}  // namespace varnet
