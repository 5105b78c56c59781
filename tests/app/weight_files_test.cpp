#include "app/weight_files.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "support/expect_throws.hpp"
#include "support/temp_dir.hpp"

namespace varnet {
namespace {

using testing::expectThrowsWith;

TEST(OperationWeights, ReadsKeysInAnyOrderWithEitherSeparator) {
    struct Case {
        const char* name;
        const char* text;
        OperationWeights expected;
    };
    const Case cases[] = {
        {"the usual line", "DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2", {1, 1, 0.5, 0.5, 2, 2}},
        {"spaces instead of = and ,", "SP 1 DP 2", {2, 1, 0, 0, 0, 0}},
        {"file order is not index order", "bD=1,aD=2", {0, 0, 0, 0, 1, 2}},
        {"a single key", "DP=3", {3, 0, 0, 0, 0, 0}},
        {"an empty first line", "\nDP=1,SP=1", {0, 0, 0, 0, 0, 0}},
        {"an empty file", "", {0, 0, 0, 0, 0, 0}},
        {"keys on the second line have no effect", "J=1\nDP=5,SP=5", {0, 0, 1, 0, 0, 0}},
        {"a key given twice keeps the later value", "C=1,C=4", {0, 0, 0, 4, 0, 0}},
        {"pairs after the sixth are ignored", "x=1,x=2,x=3,x=4,x=5,x=6,DP=7", {0, 0, 0, 0, 0, 0}},
        {"unknown and wrong-case keys are skipped with their number",
         "dp=9,DPX=9,J=2,aD=3",
         {0, 0, 2, 0, 0, 3}},
        {"negative, zero and exponent numbers enter unchanged",
         "DP=-1.5,SP=0,J=1e-3,C=2E2",
         {-1.5, 0, 0.001, 200, 0, 0}},
        {"a carriage return ends the line like a space", "DP=1,SP=2\r\nJ=3", {1, 2, 0, 0, 0, 0}},
        {"a number that cannot be read stores 0 and ends the line",
         "DP=1,SP=x,J=2",
         {1, 0, 0, 0, 0, 0}},
        {"an unreadable number replaces an earlier value", "SP=3,SP=x,J=2", {0, 0, 0, 0, 0, 0}},
        {"a key at the end of the line stores 0", "DP=1,SP", {1, 0, 0, 0, 0, 0}},
        {"nan cannot be written", "DP=nan,SP=1", {0, 0, 0, 0, 0, 0}},
        {"a number beyond the double range cannot be read", "DP=1e999,SP=1", {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.text);
        EXPECT_EQ(parseOperationWeights(in), c.expected);
    }
}

TEST(OperationWeights, ReadsFilesAndReportsThoseItCannotOpen) {
    const testing::TempDir dir;
    const std::string path = dir.write("weights.txt", "DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2\n");
    EXPECT_EQ(readOperationWeights(path), (OperationWeights{1, 1, 0.5, 0.5, 2, 2}));
    for (const std::string& bad :
         {(dir.path() / "none.txt").string(), path + "/inner.txt", dir.path().string()}) {
        SCOPED_TRACE(bad);
        expectThrowsWith([&] { readOperationWeights(bad); }, "failed to open file with weights");
    }
}

TEST(DistanceWeights, ReadsSpecialAndBreakpointFromTheWeightsSection) {
    struct Case {
        const char* name;
        const char* text;
        DistanceWeights expected;
    };
    const Case cases[] = {
        {"plain", "[weights]\nspecial=1\nbreakpoint=0\n", {1, 0}},
        {"spaces, comments and other sections",
         "; costs\n[other]\nspecial=9\n[weights]\n breakpoint = 0.25 \nspecial = 2\n",
         {2, 0.25}},
        {"line ends with carriage returns", "[weights]\r\nspecial=3\r\nbreakpoint=4\r\n", {3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.text);
        EXPECT_EQ(parseDistanceWeights(in), c.expected);
    }
}

TEST(DistanceWeights, PassesTheLibraryMessagesThrough) {
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"breakpoint is looked up first", "[weights]\nspecial=1\n",
         "No such node (weights.breakpoint)"},
        {"special missing", "[weights]\nbreakpoint=1\n", "No such node (weights.special)"},
        {"keys outside the section", "special=1\nbreakpoint=1\n",
         "No such node (weights.breakpoint)"},
        {"a value that is not a number", "[weights]\nspecial=1\nbreakpoint=low\n",
         "conversion of data to type \""},
        {"an unclosed section", "[weights\nspecial=1\n", "unmatched '['"},
        {"a line without =", "[weights]\nspecial\n", "'=' character not found in line"},
        {"a section twice", "[weights]\nspecial=1\n[weights]\n", "duplicate section name"},
        {"a key twice", "[weights]\nspecial=1\nspecial=2\n", "duplicate key name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.text);
        expectThrowsWith([&] { parseDistanceWeights(in); }, c.message);
    }
}

TEST(DistanceWeights, FileMessagesNameTheFileAndLine) {
    const testing::TempDir dir;
    const std::string good = dir.write("good.ini", "[weights]\nspecial=1\nbreakpoint=0.5\n");
    EXPECT_EQ(readDistanceWeights(good), (DistanceWeights{1, 0.5}));

    const std::string bad = dir.write("bad.ini", "[weights]\nspecial\n");
    expectThrowsWith([&] { readDistanceWeights(bad); },
                     bad + "(2): '=' character not found in line");
    const std::string missing = (dir.path() / "none.ini").string();
    expectThrowsWith([&] { readDistanceWeights(missing); }, missing + ": cannot open file");
    expectThrowsWith([&] { readDistanceWeights(good + "/inner.ini"); }, "cannot open file");
}

}  // namespace
}  // namespace varnet
