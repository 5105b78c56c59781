// Runs every case under tests/golden/<mode>/<case>/ through the command line (varnet-orders' for
// the orders cases), in a fresh working directory holding a copy of its inputs, and compares bytes
// (the number of a "Time of matrix calculation: " line masked; a tree drawing by its leaf labels,
// a pair drawing by its cost line); tests/golden/README.md tells how a case is laid out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "orders/orders_program.hpp"
#include "support/program_run.hpp"
#include "support/svg_check.hpp"
#include "varnet.hpp"

namespace varnet {
namespace {

namespace fs = std::filesystem;
using testing::maskTimings;
using testing::readFile;

const fs::path sourceRoot = VARNET_SOURCE_DIR;

struct GoldenCase {
    std::string name;  // "<mode>_<case>"
    fs::path dir;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GoldenCase& golden, std::ostream* out) {
    *out << golden.name;
}

std::vector<GoldenCase> goldenCases() {
    std::vector<GoldenCase> cases;
    for (const char* mode : {"dist", "tree", "orders"}) {
        for (const fs::directory_entry& entry :
             fs::directory_iterator(sourceRoot / "tests/golden" / mode))
            cases.push_back({mode + ("_" + entry.path().filename().string()), entry.path()});
    }
    std::ranges::sort(cases, {}, &GoldenCase::name);
    return cases;
}

// Regular files below `root`, as paths relative to it.
std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(root).string());
    }
    return files;
}

// The cost line of the pair drawing that goes with a step file: its cost and the number of each
// kind of event its steps list ("[consumed] DP, SP [produced] , step: ...").
std::string pairCostLine(const std::string& sequence) {
    const std::vector<std::string> lines = testing::linesOf(sequence);
    std::map<std::string, int> counts;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::size_t from = lines[k].find("] ") + 2;
        std::istringstream events(lines[k].substr(from, lines[k].find(" [", from) - from));
        for (std::string event; std::getline(events >> std::ws, event, ',');) ++counts[event];
    }
    const std::string cost = lines.at(0).substr(lines[0].find("; ") + 2);
    std::string line = "cost " + cost.substr(0, cost.size() - 1) + ":";
    for (const char* kind : {"DP", "SP", "J", "C", "aD", "bD"})
        line += std::string(*kind == 'D' ? " " : ", ") + std::to_string(counts[kind]) + " " + kind;
    return line;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputsMatchByteForByte) {
    const GoldenCase& golden = GetParam();
    const testing::TempDir work;
    for (const fs::directory_entry& entry : fs::directory_iterator(golden.dir)) {
        const std::string name = entry.path().filename().string();
        if (name == "expected" || name == "args" || name == "README.md" || name == "inputs")
            continue;
        fs::copy(entry.path(), work.path() / name, fs::copy_options::recursive);
    }
    std::istringstream shared(readFile(golden.dir / "inputs"));
    for (std::string name, path; shared >> name >> path;)
        fs::copy(sourceRoot / path, work.path() / name);
    const std::set<std::string> inputs = filesBelow(work.path());

    std::istringstream argsText(readFile(golden.dir / "args"));
    const std::vector<std::string> args{std::istream_iterator<std::string>(argsText),
                                        std::istream_iterator<std::string>()};
    const testing::ScopedWorkingDirectory inWork(work.path());
    std::ostringstream out;
    std::ostringstream err;
    const int status = golden.name.starts_with("orders_") ? runOrdersProgram(args, out, err)
                                                          : runCommandLine(args, out, err);
    // The console is compared as files the run created, the way expected/ holds it.
    work.write("stdout", out.str());
    work.write("stderr", err.str());
    work.write("status", std::to_string(status) + "\n");
    const fs::path expected = golden.dir / "expected";

    std::set<std::string> expectedFiles;
    std::set<std::string> drawings;
    std::map<std::string, std::string> pairDrawings;  // to their step files
    for (std::string file : filesBelow(expected)) {
        if (file.ends_with(".labels")) {
            file.erase(file.size() - 7);
            drawings.insert(file);
        }
        if (file.ends_with("shortest_sequence.txt")) {
            const std::string picture =
                (fs::path(file).parent_path() / "pair.svg").lexically_normal().string();
            pairDrawings[picture] = file;
            expectedFiles.insert(picture);
        }
        expectedFiles.insert(file);
    }
    std::set<std::string> created = filesBelow(work.path());
    for (const std::string& input : inputs) created.erase(input);
    EXPECT_EQ(created, expectedFiles) << "files created by the run";
    for (const std::string& file : expectedFiles) {
        if (!created.contains(file)) continue;
        if (pairDrawings.contains(file)) {
            EXPECT_EQ(
                testing::textsOfSvgClass(readFile(work.path() / file), "cost"),
                std::vector<std::string>{pairCostLine(readFile(expected / pairDrawings[file]))})
                << file;
            continue;
        }
        if (drawings.contains(file)) {
            EXPECT_EQ(testing::textsOfSvgClass(readFile(work.path() / file), "leaf"),
                      testing::linesOf(readFile(expected / (file + ".labels"))))
                << file;
            continue;
        }
        EXPECT_EQ(maskTimings(readFile(expected / file)), maskTimings(readFile(work.path() / file)))
            << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(goldenCases()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace varnet
