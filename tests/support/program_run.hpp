#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "modes/tree_mode.hpp"
#include "structures/chromosomal_structure.hpp"
#include "support/temp_dir.hpp"

// Runs of the program's command line inside a test, and what they leave behind.
namespace varnet::testing {

struct ProgramRun {
    int status = 0;
    std::string out;
    std::string err;
};

// runCommandLine with both streams caught.
ProgramRun runProgram(const std::vector<std::string>& args, bool errIsTerminal = false);

// Every file directly inside `dir`, by name.
std::map<std::string, std::string> filesIn(const std::filesystem::path& dir);

// The lines of `text`, without their line feeds.
std::vector<std::string> linesOf(const std::string& text);

// `text` with the number on every "Time of matrix calculation: " line masked.
std::string maskTimings(const std::string& text);

// Every result file `buildTree` writes for `settings` into a fresh result directory, with
// its standard output, the timing masked, as "<stdout>".
std::map<std::string, std::string> treeFiles(const std::vector<ChromosomalStructure>& structures,
                                             RunSettings settings);

// A test run inside a fresh temporary working directory, where relative paths such as the
// default "distance_weights.ini" resolve.
class InTempDir : public ::testing::Test {
protected:
    InTempDir() : cwd_(dir_.path()) {}
    TempDir dir_;
    ScopedWorkingDirectory cwd_;
};

}  // namespace varnet::testing
