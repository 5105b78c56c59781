#include "structures/structure_reader.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
#include "support/temp_dir.hpp"

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

ChromosomalStructure structure(std::string name, std::vector<Chromosome> chromosomes) {
    return {std::move(name), std::move(chromosomes)};
}

Chromosome linear(std::vector<int32_t> genes) {
    return {false, std::move(genes)};
}
Chromosome circular(std::vector<int32_t> genes) {
    return {true, std::move(genes)};
}

TEST(StructureReader, ReadsTheDocumentedExample) {
    const ReadResult result = readText("2\nA: 2; C3: +a-b+c; L2: +d-e\nB 1 L5 +a+b-c+d+e\n");
    const std::vector<ChromosomalStructure> expected = {
        structure("A", {circular({11, -21, 31}), linear({41, -51})}),
        structure("B", {linear({11, 21, -31, 41, 51})}),
    };
    EXPECT_EQ(result.structures, expected);
    const GeneNameTable names = {{0, "0"}, {1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}};
    EXPECT_EQ(result.table, names);
}

TEST(StructureReader, SeparatorsAndLineEndsDoNotChangeTheStructure) {
    const ChromosomalStructure expected =
        structure("A", {circular({11, -21, 31}), linear({41, -51})});
    for (const char* text :
         {"1\nA: 2; C3: +a-b+c; L2: +d-e\n", "1\nA 2 C3 +a-b+c L2 +d-e\n",
          "1\r\nA 2\tC3  +a-b+c L2 +d-e\r\n", "1;\nA::2;;C3;+a-b+c:L2:+d-e",
          "1 ignored words\nA 2 C3 +a-b+c L2 +d-e trailing words\nB 1 L1 +z\n"}) {
        SCOPED_TRACE(text);
        const ReadResult result = readText(text);
        ASSERT_EQ(result.structures.size(), 1u);
        EXPECT_EQ(result.structures[0], expected);
        EXPECT_EQ(result.table.size(), 6u) << "a name from beyond the counted lines was read";
    }
}

TEST(StructureReader, NumbersNamesOverTheFileAndCopiesPerStructure) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<ChromosomalStructure> expected;
        GeneNameTable names;
    };
    const Case cases[] = {
        {"ids follow first appearance, not name order",
         "2\nA 1 L2 +x+y\nB 1 L2 -y+x\n",
         {structure("A", {linear({11, 21})}), structure("B", {linear({-21, 11})})},
         {{0, "0"}, {1, "x"}, {2, "y"}}},
        {"copies count within one structure over all its chromosomes",
         "2\nA 2 L3 +a+a-a C1 -a\nB 1 L1 +a\n",
         {structure("A", {linear({11, 12, -13}), circular({-14})}), structure("B", {linear({11})})},
         {{0, "0"}, {1, "a"}}},
        {"only an upper-case C makes a circular chromosome",
         "1\nA 3 c1 +a x1 +b C1 +c\n",
         {structure("A", {linear({11}), linear({21}), circular({31})})},
         {{0, "0"}, {1, "a"}, {2, "b"}, {3, "c"}}},
        {"a sign followed by a sign is a gene with an empty name",
         "1\nA 1 L2 ++a\n",
         {structure("A", {linear({11, 21})})},
         {{0, "0"}, {1, ""}, {2, "a"}}},
        {"any character other than - is a forward sign",
         "1\nA 1 L2 xa-b\n",
         {structure("A", {linear({11, -21})})},
         {{0, "0"}, {1, "a"}, {2, "b"}}},
        {"genes beyond the announced count are ignored",
         "1\nA 1 L1 +a+b+c\n",
         {structure("A", {linear({11})})},
         {{0, "0"}, {1, "a"}}},
        {"the gene count stops at the first character that is not a digit",
         "1\nA 1 L2x +a+b+c\n",
         {structure("A", {linear({11, 21})})},
         {{0, "0"}, {1, "a"}, {2, "b"}}},
        {"a type token without a number is a chromosome without genes",
         "1\nA 2 L +a C1 +b\n",
         {structure("A", {linear({}), circular({11})})},
         {{0, "0"}, {1, "b"}}},
        {"names of structures may repeat or be a number",
         "2\nA 1 L1 +a\nA 1 L1 +7\n",
         {structure("A", {linear({11})}), structure("A", {linear({21})})},
         {{0, "0"}, {1, "a"}, {2, "7"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readText(c.text);
        EXPECT_EQ(result.structures, c.expected);
        EXPECT_EQ(result.table, c.names);
    }
}

TEST(StructureReader, MissingCountsAndLinesGiveEmptyStructures) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<ChromosomalStructure> expected;
    };
    const ChromosomalStructure empty = structure("", {});
    const ChromosomalStructure a = structure("A", {linear({11})});
    const Case cases[] = {
        {"empty input", "", {}},
        {"empty first line", "\nA 1 L1 +a\n", {}},
        {"non-numeric first line", "two\nA 1 L1 +a\n", {}},
        {"zero structures", "0\nA 1 L1 +a\n", {}},
        {"missing lines after a final line break", "3\nA 1 L1 +a\n", {a, empty, empty}},
        {"missing lines without a final line break", "3\nA 1 L1 +a", {a, empty, empty}},
        {"missing lines after a carriage return", "3\r\nA 1 L1 +a\r", {a, empty, empty}},
        {"no structure line at all", "2", {empty, empty}},
        {"an empty line in the middle", "3\nA 1 L1 +a\n\nA 1 L1 +a\n", {a, empty, a}},
        {"a structure line without a count", "1\nA\n", {structure("A", {})}},
        {"a non-numeric chromosome count", "1\nA x L1 +a\n", {structure("A", {})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readText(c.text).structures, c.expected);
    }
}

TEST(StructureReader, RejectsMalformedCountsAndTokensNamingWhere) {
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"negative structure count", "-1\n", "line 1: negative structure count -1"},
        {"structure count beyond 32 bits", "4294967297\n",
         "line 1: structure count 4294967297 does not fit in 32 bits"},
        {"structure count above the limit", "1000001\n",
         "line 1: structure count 1000001 exceeds the limit of 1000000"},
        {"negative chromosome count", "2\nA 1 L1 +a\nB -2 L1 +a\n",
         "line 3: negative chromosome count -2"},
        {"chromosome count beyond 32 bits", "1\nA 99999999999 L1 +a\n",
         "line 2: chromosome count 99999999999 does not fit in 32 bits"},
        {"negative gene count", "1\nA 2 L1 +a L-1 +b\n",
         "line 2, structure \"A\", chromosome 2: negative gene count -1"},
        {"gene count beyond 32 bits", "1\nA 1 C2147483648 +a\n",
         "line 2, structure \"A\", chromosome 1: gene count 2147483648 does not fit in 32 bits"},
        {"fewer genes than announced", "1\nA 2 L1 +a L3 +b-c\n",
         "line 2, structure \"A\", chromosome 2: gene token +b-c holds 2 of the 3 genes announced"},
        {"announced genes are not taken from the next token", "1\nA 2 L2 +a L1 +b\n",
         "line 2, structure \"A\", chromosome 1: gene token +a holds 1 of the 2 genes announced"},
        {"line ends after a type token", "1\nB 2 L1 +a C2\n",
         "line 2, structure \"B\", chromosome 2: the line ends after the type token C2"},
        {"line ends after an empty chromosome's type token", "1\nB 1 L0\n",
         "line 2, structure \"B\", chromosome 1: the line ends after the type token L0"},
        {"fewer type tokens than chromosomes", "1\nA 3 L1 +a L1 +b\n", "invalid string position"},
        {"genes are not read from the next line", "2\nA 1\nL1 +a\n", "invalid string position"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectThrowsWith([&] { readText(c.text); }, c.message);
    }
}

TEST(StructureReader, ALargeCountDoesNotMakeTheReaderLoopOrAllocate) {
    // 2147483647 chromosomes on a short line: reading stops at the missing type token.
    expectThrowsWith([] { readText("1\nA 2147483647 L1 +a\n"); }, "invalid string position");
    expectThrowsWith([] { readText("1\nA 1 L2147483647 +a+b\n"); }, "holds 2 of the 2147483647");
    EXPECT_EQ(readText("1000000\n").structures.size(), 1000000u);
}

TEST(StructureReader, OutputsChangeOnlyOnSuccess) {
    std::vector<ChromosomalStructure> structures = {structure("old", {})};
    GeneNameTable table = {{7, "old"}};
    std::istringstream bad("1\nA 2 L1 +a\n");
    EXPECT_ANY_THROW(readStructures(bad, structures, table));
    EXPECT_EQ(structures, std::vector<ChromosomalStructure>{structure("old", {})});

    std::istringstream good("1\nA 1 L1 +a\n");
    readStructures(good, structures, table);
    EXPECT_EQ(structures, std::vector<ChromosomalStructure>{structure("A", {linear({11})})});
    EXPECT_EQ(table, (GeneNameTable{{0, "0"}, {1, "a"}}));
}

TEST(StructureReader, ReadsFilesAndNamesThoseItCannotOpen) {
    const testing::TempDir dir;
    const std::string path = dir.write("pair.txt", "2\nA 1 C2 +a-b\nB 1 L1 +b\n");
    std::vector<ChromosomalStructure> structures;
    GeneNameTable table;
    readStructureFile(path, structures, table);
    EXPECT_EQ(structures.size(), 2u);
    EXPECT_EQ(table.size(), 3u);

    const std::vector<ChromosomalStructure> before = structures;
    const GeneNameTable tableBefore = table;
    for (const std::string& missing : {std::string("x.txt"), (dir.path() / "none.txt").string(),
                                       path + "/inner.txt", dir.path().string()}) {
        SCOPED_TRACE(missing);
        try {
            readStructureFile(missing, structures, table);
            ADD_FAILURE() << "nothing was thrown";
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), "Failed to open file " + missing);
        }
        EXPECT_EQ(structures, before);
        EXPECT_EQ(table, tableBefore);
    }
}

// The structures again in UniMoG style, or in GRIMM style with gene ids for names.
std::string geneOrderText(const ReadResult& read, bool grimm) {
    std::string text = grimm ? "# GRIMM\n" : "";
    for (const ChromosomalStructure& structure : read.structures) {
        text += ">" + structure.name + "\n";
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes) {
                const int32_t id = std::abs(code) / 10;
                text +=
                    (code < 0 ? "-" : "") + (grimm ? std::to_string(id) : read.table.at(id)) + " ";
            }
            text += chromosome.circular ? (grimm ? "@\n" : ")\n") : (grimm ? "$\n" : "|\n");
        }
    }
    return text;
}

TEST(StructureReader, ReadsUniMoGAndGrimmStyles) {
    const std::vector<ChromosomalStructure> documented = {
        structure("A", {circular({11, -21, 31}), linear({41, -51})}),
        structure("B", {linear({11, 21, -31, 41, 51})}),
    };
    for (const char* text :
         {"\n>A\na -b c )\nd -e |  // comment\n\n>B   the rest is ignored\r\n+a b -c d e |\n",
          "\xEF\xBB\xBF// comment\n  >A\na -b c ) d -e|\n>B\na b -c d e |",
          ">A\n1 -2 3 @\n4 -5\n>B\n1 2 -3 4 5 $",
          "# comment\n>A # comment\n+01 -2 3 @ 4 -5 $\n#>C\n>B\n1 2 -3 4 5 $"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readText(text).structures, documented);
    }
    EXPECT_EQ(readText(">x\n12 a\t-12 |\n>y\n").table,
              (GeneNameTable{{0, "0"}, {1, "12"}, {2, "a"}}));
}

TEST(StructureReader, GeneOrderStylesRejectMalformedLinesNamingThem) {
    const std::pair<const char*, const char*> cases[] = {
        {">A\na b |\nc d\n", "line 3, genome \"A\": the chromosome does not end with '|'"},
        {">A\na b |\nc - )\n", "line 3, genome \"A\": the gene \"-\" has no name"},
        {">A\na b |\nc $\n", "line 3, genome \"A\": '$' ends GRIMM chromosomes"},
        {">A\na|b |\n", "line 2, genome \"A\": '|' inside the gene \"a|b\""},
        {">A\n)\n", "line 2, genome \"A\": a chromosome without genes ends at ')'"},
        {"#\n>A\n1 x 3 $\n", "line 3, genome \"A\": \"x\" is not a gene; GRIMM genes are signed"},
        {">A\n1 2 $\n>B\n1 -0 $\n", "line 4, genome \"B\": \"-0\" is not a gene"},
        {"# c\n>A\n1 2 |\n", "line 1: genes before the first genome header"},
    };
    for (const auto& [text, fragment] : cases) {
        SCOPED_TRACE(text);
        expectThrowsWith([&] { readText(text); }, fragment);
    }
}

// Generated structures written as text read back with the same genes: names, orientations and
// copy numbers agree, though ids follow the order of first appearance in the text.
TEST(StructureReader, GeneratedFilesReadBackGeneForGene) {
    const unsigned seed = 4242;
    std::mt19937 random(seed);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        const auto [first, second] = testing::generatePair(random, {});
        const std::vector<ChromosomalStructure> written = {first, second};
        const ReadResult result = readText(testing::structureFileText(written));
        ASSERT_EQ(result.structures.size(), 2u);
        for (std::size_t s = 0; s < 2; ++s) {
            const ChromosomalStructure& read = result.structures[s];
            ASSERT_EQ(read.name, written[s].name);
            ASSERT_EQ(read.chromosomes.size(), written[s].chromosomes.size());
            for (std::size_t c = 0; c < read.chromosomes.size(); ++c) {
                const Chromosome& got = read.chromosomes[c];
                const Chromosome& want = written[s].chromosomes[c];
                ASSERT_EQ(got.circular, want.circular);
                ASSERT_EQ(got.genes.size(), want.genes.size());
                for (std::size_t g = 0; g < got.genes.size(); ++g) {
                    const int32_t gotCode = got.genes[g];
                    const int32_t wantCode = want.genes[g];
                    ASSERT_EQ(gotCode < 0, wantCode < 0);
                    ASSERT_EQ(std::abs(gotCode) % 10, std::abs(wantCode) % 10);
                    ASSERT_EQ(result.table.at(std::abs(gotCode) / 10),
                              std::string("g").append(std::to_string(std::abs(wantCode) / 10)));
                }
            }
        }
        const ReadResult uniMoG = readText(geneOrderText(result, false));
        ASSERT_EQ(uniMoG.structures, result.structures);
        ASSERT_EQ(uniMoG.table, result.table);
        ASSERT_EQ(readText(geneOrderText(result, true)).structures, result.structures);
    }
}

}  // namespace
}  // namespace varnet
