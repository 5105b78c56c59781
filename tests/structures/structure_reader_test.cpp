#include "structures/structure_reader.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "structures/structure_validation.hpp"
#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
#include "support/structure_text.hpp"
#include "support/temp_dir.hpp"

namespace varnet {
namespace {

using testing::expectThrowsWith;
using testing::ReadResult;
using testing::readText;

Chromosome L(std::vector<int32_t> genes) {
    return {false, std::move(genes)};
}
Chromosome C(std::vector<int32_t> genes) {
    return {true, std::move(genes)};
}

// Every style: the native one, UniMoG's and GRIMM's (gene ids for names); the name table is
// checked where one is given.
TEST(StructureReader, ReadsCodesNamesAndCopies) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<ChromosomalStructure> expected;
        std::optional<GeneNameTable> names;
    };
    const ChromosomalStructure empty{"", {}};
    const GeneNameTable abcde = {{0, "0"}, {1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}};
    const ChromosomalStructure example{"A", {C({11, -21, 31}), L({41, -51})}};
    const std::vector<ChromosomalStructure> documented = {example,
                                                          {"B", {L({11, 21, -31, 41, 51})}}};
    // A name may occur any number of times; codes ascend with (gene id, copy number), a name with
    // more than 9 copies taking as many code groups as it needs, and the names after it moving up.
    const std::vector<ChromosomalStructure> copies = {
        {"A", {L({11, 12, 13, 14, 15, 16, 17, 18, 19, 21, -41}), C({22})}},
        {"B", {L({41, 11})}},
        {"C",
         {L({-51, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31})}}};
    const GeneNameTable copyNames = {{0, "0"}, {1, "a"}, {2, "a"}, {3, "a"}, {4, "b"}, {5, "c"}};
    const Case cases[] = {
        {"the documented example", "2\nA: 2; C3: +a-b+c; L2: +d-e\nB 1 L5 +a+b-c+d+e\n", documented,
         abcde},
        {"spaces, tabs, CRLF and trailing words",
         "1 x\r\nA 2\tC3  +a-b+c L2 +d-e more\r\nB 1 L1 +z\n",
         {example},
         abcde},
        {"separators run together", "1;\nA::2;;C3;+a-b+c:L2:+d-e", {example}, abcde},
        {"ids by first appearance, copies per structure over all its chromosomes",
         "2\nA 2 L3 +y+x-y C1 -y\nB 1 L2 -x+y\n",
         {{"A", {L({11, 21, -12}), C({-13})}}, {"B", {L({-21, 11})}}},
         GeneNameTable{{0, "0"}, {1, "y"}, {2, "x"}}},
        {"only an upper-case C is circular; genes beyond the count are ignored",
         "1\nA 3 c1 +a x1 +b C1 +c+d\n",
         {{"A", {L({11}), L({21}), C({31})}}},
         GeneNameTable{{0, "0"}, {1, "a"}, {2, "b"}, {3, "c"}}},
        {"a count stops at a non-digit; a type token without one is an empty chromosome",
         "1\nA 2 L2x +a+b+c L +d\n",
         {{"A", {L({11, 21}), L({})}}},
         GeneNameTable{{0, "0"}, {1, "a"}, {2, "b"}}},
        {"missing lines are empty structures",
         "3\r\nA 1 L1 +a\r",
         {{"A", {L({11})}}, empty, empty},
         GeneNameTable{{0, "0"}, {1, "a"}}},
        {"no count, an empty line",
         "3\nA\n\nB x L1 +a\n",
         {{"A", {}}, empty, {"B", {}}},
         GeneNameTable{{0, "0"}}},
        {"no structures", "two\nA 1 L1 +a\n", {}, GeneNameTable{{0, "0"}}},
        {"many copies",
         "3\nA 2 L11 +a+a+a+a+a+a+a+a+a+a-b C1 +a\nB 1 L2 +b+a\n"
         "C 1 L20 -c+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a\n",
         copies, copyNames},
        {"many copies, UniMoG",
         ">A\na a a a a a a a a a -b |\na )\n>B\nb a |\n>C\n"
         "-c a a a a a a a a a a a a a a a a a a a |\n",
         copies, copyNames},
        {"UniMoG",
         "\n>A\na -b c )\nd -e |  // comment\n\n>B   the rest is ignored\r\n+a b -c d e |\n",
         documented, abcde},
        {"UniMoG, a byte-order mark",
         "\xEF\xBB\xBF// comment\n  >A\na -b c ) d -e|\n>B\na b -c d e |", documented, abcde},
        {"GRIMM", ">A\n1 -2 3 @\n4 -5\n>B\n1 2 -3 4 5 $", documented, std::nullopt},
        {"GRIMM, comments", "# comment\n>A # comment\n+01 -2 3 @ 4 -5 $\n#>C\n>B\n1 2 -3 4 5 $",
         documented, std::nullopt},
        {"UniMoG, names that look like numbers",
         ">x\n12 a\t-12 |\n>y\n",
         {{"x", {L({11, 21, -12})}}, {"y", {}}},
         GeneNameTable{{0, "0"}, {1, "12"}, {2, "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readText(c.text);
        EXPECT_EQ(result.structures, c.expected);
        if (c.names) {
            EXPECT_EQ(result.table, *c.names);
        }
    }
}

// In every style, leaving what it was given to fill as it was.
TEST(StructureReader, RejectsMalformedInputNamingWhere) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"-1\n", "line 1: negative structure count -1"},
        {"4294967297\n", "line 1: structure count 4294967297 does not fit in 32 bits"},
        {"1000001\n", "line 1: structure count 1000001 exceeds the limit of 1000000"},
        {"2\nA 1 L1 +a\nB -2 L1 +a\n", "line 3: negative chromosome count -2"},
        {"1\nA 99999999999 L1 +a\n",
         "line 2: chromosome count 99999999999 does not fit in 32 bits"},
        {"1\nA 2 L1 +a L-1 +b\n", "line 2, structure \"A\", chromosome 2: negative gene count -1"},
        {"1\nA 1 C2147483648 +a\n",
         "line 2, structure \"A\", chromosome 1: gene count 2147483648 does not fit in 32 bits"},
        {"1\nA 2 L1 +a L3 +b-c\n",
         "line 2, structure \"A\", chromosome 2: gene token +b-c holds 2 of the 3 genes announced"},
        {"1\nA 1 L2147483647 +a+b\n", "holds 2 of the 2147483647 genes announced"},
        {"1\nB 2 L1 +a C2\n",
         "line 2, structure \"B\", chromosome 2: the line ends after the type token C2"},
        {"1\nA 2147483647 L1 +a\n", "invalid string position"},
        {"2\nA 1\nL1 +a\n", "invalid string position"},
        {">A\na b |\nc d\n", "line 3, genome \"A\": the chromosome does not end with '|'"},
        {">A\na b |\nc - )\n", "line 3, genome \"A\": the gene \"-\" has no name"},
        {">A\na b |\nc $\n", "line 3, genome \"A\": '$' ends GRIMM chromosomes"},
        {">A\na|b |\n", "line 2, genome \"A\": '|' inside the gene \"a|b\""},
        {">A\n)\n", "line 2, genome \"A\": a chromosome without genes ends at ')'"},
        {"#\n>A\n1 x 3 $\n", "line 3, genome \"A\": \"x\" is not a gene; GRIMM genes are signed"},
        {">A\n1 2 $\n>B\n1 -0 $\n", "line 4, genome \"B\": \"-0\" is not a gene"},
        {"# c\n>A\n1 2 |\n", "line 1: genes before the first genome header"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<ChromosomalStructure> structures = {{"old", {}}};
        GeneNameTable table = {{7, "old"}};
        std::istringstream in(c.text);
        expectThrowsWith([&] { readStructures(in, structures, table); }, c.message);
        EXPECT_EQ(structures, (std::vector<ChromosomalStructure>{{"old", {}}}));
    }
    const testing::TempDir dir;
    const std::string file = dir.write("s.txt", "1\nA 1 L1 +a\n");
    for (const std::string& path : {file + "/inner.txt", dir.path().string()}) {
        ReadResult result;
        expectThrowsWith([&] { readStructureFile(path, result.structures, result.table); },
                         "Failed to open file " + path);
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

// Every structure that cannot be compared is named in one message: its line, its name and why,
// the first 20 of them and then how many more. A single one keeps its short message.
TEST(StructureValidation, NamesEveryStructureWithAnEmptyChromosome) {
    const auto fileWithFailures = [](int failing) {
        std::string text = std::to_string(failing + 2) + "\nOK 1 C2 +a+a\n";
        for (int k = 1; k <= failing; ++k) text += "S" + std::to_string(k) + " 2 L1 +a C0 +b\n";
        return text + "E 0\n";
    };
    const auto listed = [](int from, int to) {
        std::string lines;
        for (int k = from; k <= to; ++k) {
            lines += "\nline " + std::to_string(k + 2) + ", structure \"S" + std::to_string(k) +
                     "\": chromosome 2 holds no genes";
        }
        return lines;
    };
    const std::string head = " structures cannot be compared (every chromosome needs a gene):";
    const std::pair<int, std::string> cases[] = {
        {1,
         "structure \"S1\": chromosome 2 holds no genes; every chromosome of a compared "
         "structure needs at least one"},
        {2, "2" + head + listed(1, 2)},
        {21, "21" + head + listed(1, 20) + "\nand 1 more"},
        {25, "25" + head + listed(1, 20) + "\nand 5 more"},
    };
    for (const auto& [failing, message] : cases) {
        SCOPED_TRACE(failing);
        const ReadResult read = readText(fileWithFailures(failing));
        try {
            validateForGraph(read.structures);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
    EXPECT_NO_THROW(validateForGraph(readText(fileWithFailures(0)).structures));
}

// Generated structures written as text read back gene for gene: names, orientations and copy
// numbers agree, though ids follow the order of first appearance in the text.
TEST(StructureReader, GeneratedFilesReadBack) {
    std::mt19937 random(4242);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto [first, second] = testing::generatePair(random, {});
        const std::vector<ChromosomalStructure> written = {first, second};
        const ReadResult read = readText(testing::structureFileText(written));
        // The written codes with each gene id replaced by the id its name g<id> was read as.
        std::map<std::string, int32_t> idOf;
        for (const auto& [id, name] : read.table) idOf.emplace(name, id);
        std::vector<ChromosomalStructure> expected = written;
        for (ChromosomalStructure& structure : expected) {
            for (Chromosome& chromosome : structure.chromosomes) {
                for (int32_t& code : chromosome.genes) {
                    const int32_t found = 10 * idOf.at("g" + std::to_string(std::abs(code) / 10)) +
                                          std::abs(code) % 10;
                    code = code < 0 ? -found : found;
                }
            }
        }
        ASSERT_EQ(read.structures, expected);
        const ReadResult uniMoG = readText(geneOrderText(read, false));
        ASSERT_EQ(uniMoG.structures, read.structures);
        ASSERT_EQ(uniMoG.table, read.table);
        ASSERT_EQ(readText(geneOrderText(read, true)).structures, read.structures);
    }
}

}  // namespace
}  // namespace varnet
