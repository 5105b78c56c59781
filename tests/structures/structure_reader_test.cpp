#include "structures/structure_reader.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "structures/structure_validation.hpp"
#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
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

// Every style: the native one, UniMoG's and GRIMM's (gene ids for names), and the genes' names.
// Codes number (gene, copy number) from 1 over the whole file, the copies of a gene consecutive.
TEST(StructureReader, ReadsCodesNamesAndCopies) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* name;
        const char* text;
        std::vector<ChromosomalStructure> expected;
        Names names;
    };
    const ChromosomalStructure empty{"", {}};
    const Names abcde = {"0", "a", "b", "c", "d", "e"};
    const Names numbers = {"0", "1", "2", "3", "4", "5"};  // GRIMM's genes, leading zeros dropped
    const ChromosomalStructure example{"A", {C({1, -2, 3}), L({4, -5})}};
    const std::vector<ChromosomalStructure> documented = {example, {"B", {L({1, 2, -3, 4, 5})}}};
    const Case cases[] = {
        {"spaces, tabs, CRLF and trailing words",
         "1 x\r\nA 2\tC3  +a-b+c L2 +d-e more\r\nB 1 L1 +z\n",
         {example},
         abcde},
        {"separators run together", "1;\nA::2;;C3;+a-b+c:L2:+d-e", {example}, abcde},
        {"ids by first appearance, copies per structure over all its chromosomes",
         "2\nA 2 L3 +y+x-y C1 -y\nB 1 L2 -x+y\n",
         {{"A", {L({1, 4, -2}), C({-3})}}, {"B", {L({-4, 1})}}},
         Names{"0", "y", "x"}},
        {"only an upper-case C is circular; genes beyond the count are ignored",
         "1\nA 3 c1 +a x1 +b C1 +c+d\n",
         {{"A", {L({1}), L({2}), C({3})}}},
         Names{"0", "a", "b", "c"}},
        {"a count stops at a non-digit; a type token without one is an empty chromosome",
         "1\nA 2 L2x +a+b+c L +d\n",
         {{"A", {L({1, 2}), L({})}}},
         Names{"0", "a", "b"}},
        {"missing lines are empty structures",
         "3\r\nA 1 L1 +a\r",
         {{"A", {L({1})}}, empty, empty},
         Names{"0", "a"}},
        {"no count, an empty line",
         "3\nA\n\nB x L1 +a\n",
         {{"A", {}}, empty, {"B", {}}},
         Names{"0"}},
        {"no structures", "two\nA 1 L1 +a\n", {}, Names{"0"}},
        {"a name may occur any number of times: a, held 19 times by C, takes the codes 1 to 19",
         "3\nA 2 L11 +a+a+a+a+a+a+a+a+a+a-b C1 +a\nB 1 L2 +b+a\n"
         "C 1 L20 -c+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a+a\n",
         {{"A", {L({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -20}), C({11})}},
          {"B", {L({20, 1})}},
          {"C", {L({-21, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})}}},
         Names{"0", "a", "b", "c"}},
        {"UniMoG",
         "\n>A\na -b c )\nd -e |  // comment\n\n>B   the rest is ignored\r\n+a b -c d e |\n",
         documented, abcde},
        {"UniMoG, a byte-order mark",
         "\xEF\xBB\xBF// comment\n  >A\na -b c ) d -e|\n>B\na b -c d e |", documented, abcde},
        {"GRIMM", ">A\n1 -2 3 @\n4 -5\n>B\n1 2 -3 4 5 $", documented, numbers},
        {"GRIMM, comments", "# comment\n>A # comment\n+01 -2 3 @ 4 -5 $\n#>C\n>B\n1 2 -3 4 5 $",
         documented, numbers},
        {"UniMoG, names that look like numbers",
         ">x\n12 a\t-12 |\n>y\n",
         {{"x", {L({1, 3, -2})}}, {"y", {}}},
         Names{"0", "12", "a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readText(c.text);
        EXPECT_EQ(result.structures, c.expected);
        EXPECT_EQ(result.table.names(), c.names);
    }
}

// In every style, leaving what it was given to fill as it was.
TEST(StructureReader, RejectsMalformedInputNamingWhere) {
    const std::pair<const char*, const char*> cases[] = {
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
        {">A\na b |\nc - )\n", "line 3, genome \"A\": the gene \"-\" has no name"},
        {">A\na b |\nc $\n", "line 3, genome \"A\": '$' ends GRIMM chromosomes"},
        {">A\na|b |\n", "line 2, genome \"A\": '|' inside the gene \"a|b\""},
        {">A\n)\n", "line 2, genome \"A\": a chromosome without genes ends at ')'"},
        {">A\n1 2 $\n>B\n1 -0 $\n", "line 4, genome \"B\": \"-0\" is not a gene"},
        {"# c\n>A\n1 2 |\n", "line 1: genes before the first genome header"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        std::vector<ChromosomalStructure> structures = {{"old", {}}};
        GeneTable table({"", "old"}, {0, 1});
        std::istringstream in(text);
        expectThrowsWith([&] { readStructures(in, structures, table); }, message);
        EXPECT_EQ(structures, (std::vector<ChromosomalStructure>{{"old", {}}}));
    }
    const testing::TempDir dir;  // a directory opens as a stream on some systems, but is no file
    const std::string path = dir.path().string();
    ReadResult result;
    expectThrowsWith([&] { readStructureFile(path, result.structures, result.table); },
                     "Failed to open file " + path);
}

// Every structure that cannot be compared is named in one message: its line, its name and why,
// the first 20 of them and then how many more. A single one keeps its short message.
TEST(StructureValidation, NamesEveryStructureWithAnEmptyChromosome) {
    const auto fileWithFailures = [](int failing) {
        std::string text = std::to_string(failing + 2) + "\nOK 1 C2 +a+a\n";
        for (int k = 1; k <= failing; ++k) text += "S" + std::to_string(k) + " 2 L1 +a C0 +b\n";
        return text + "E 0\n";
    };
    std::string listed = "21 structures cannot be compared (every chromosome needs a gene):";
    for (int k = 1; k <= 20; ++k) {
        listed += "\nline " + std::to_string(k + 2) + ", structure \"S" + std::to_string(k) +
                  "\": chromosome 2 holds no genes";
    }
    expectThrowsWith([&] { validateForGraph(readText(fileWithFailures(1)).structures); },
                     "structure \"S1\": chromosome 2 holds no genes; every chromosome of a "
                     "compared structure needs at least one");
    expectThrowsWith([&] { validateForGraph(readText(fileWithFailures(21)).structures); },
                     listed + "\nand 1 more");
}

}  // namespace
}  // namespace varnet
