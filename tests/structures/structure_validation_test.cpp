#include "structures/structure_validation.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "structures/structure_reader.hpp"
#include "support/expect_throws.hpp"

namespace varnet {
namespace {

using testing::expectThrowsWith;

struct ReadResult {
    std::vector<ChromosomalStructure> structures;
    GeneNameTable table;
};

ReadResult readText(const std::string& text) {
    ReadResult result;
    std::istringstream in(text);
    readStructures(in, result.structures, result.table);
    return result;
}

TEST(StructureValidation, AcceptsWhatTheGraphCanHold) {
    const ReadResult result = readText("2\nA 2 C9 +a+a+a+a+a+a+a+a+a L1 -b\nB 1 L3 +b-a+a\n");
    for (const ChromosomalStructure& structure : result.structures) {
        SCOPED_TRACE(structure.name);
        EXPECT_NO_THROW(validateForGraph(structure, result.table));
    }
}

TEST(StructureValidation, RejectsATenthCopyAndEmptyChromosomesNamingThem) {
    struct Case {
        const char* name;
        const char* text;
        std::size_t structureIndex;
        const char* message;
    };
    const Case cases[] = {
        {"ten copies in one chromosome", "1\nG1 1 L11 +x+a+a+a+a+a+a+a+a+a+a\n", 0,
         "structure \"G1\": gene \"a\" occurs more than 9 times"},
        {"ten copies over several chromosomes, colliding with the next name",
         "2\nA 1 L1 +b\nG2 3 L5 +a+a+a+a+a C4 -a-a-a-a L2 -a+b\n", 1,
         "structure \"G2\": gene \"a\" occurs more than 9 times"},
        {"an empty chromosome", "1\nE 2 L1 +a C0 +b\n", 0,
         "structure \"E\": chromosome 2 holds no genes"},
        {"a chromosome whose type token has no number", "1\nE 1 Lx +a\n", 0,
         "structure \"E\": chromosome 1 holds no genes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readText(c.text);
        expectThrowsWith(
            [&] { validateForGraph(result.structures.at(c.structureIndex), result.table); },
            c.message);
    }
}

TEST(StructureValidation, AStructureWithoutChromosomesIsAccepted) {
    const ReadResult result = readText("2\nA 1 L1 +a\n");
    EXPECT_NO_THROW(validateForGraph(result.structures[1], result.table));
}

}  // namespace
}  // namespace varnet
