#include "tree/tree_files.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "support/expect_throws.hpp"
#include "support/temp_dir.hpp"
#include "tree/phylip_matrix.hpp"

namespace varnet {
namespace {

std::vector<ChromosomalStructure> named(std::initializer_list<const char*> names) {
    std::vector<ChromosomalStructure> structures;
    for (const char* name : names) structures.push_back({name, {}});
    return structures;
}

template <class Write>
std::string textOf(Write&& write) {
    std::ostringstream out;
    write(out);
    return out.str();
}

TEST(MatrixFile, TabAfterEveryFieldAndDefaultNumbers) {
    const auto structures = named({"A", "B"});
    EXPECT_EQ(textOf([&](std::ostream& out) {
                  writeMatrixFile(out, {{0, 2.5}, {2.5, 0}}, structures);
              }),
              "\tA\tB\t\nA\t0\t2.5\t\nB\t2.5\t0\t\n");
    EXPECT_EQ(textOf([&](std::ostream& out) {
                  writeMatrixFile(out, {{0, 1e6, 1e-7}, {1e6, 0, 12.25}, {1e-7, 12.25, 0}},
                                  named({"x", "y", "z"}));
              }),
              "\tx\ty\tz\t\nx\t0\t1e+06\t1e-07\t\ny\t1e+06\t0\t12.25\t\nz\t1e-07\t12.25\t0\t\n");
    EXPECT_EQ(textOf([&](std::ostream& out) { writeMatrixFile(out, {}, structures); }),
              "\tA\tB\t\n")
        << "a matrix without rows leaves the header line";
    EXPECT_EQ(textOf([&](std::ostream& out) { writeMatrixFile(out, {{0}}, named({"solo"})); }),
              "\tsolo\t\nsolo\t0\t\n");
}

TEST(VectorFile, UpperTriangleRowByRowWithoutLineEnd) {
    EXPECT_EQ(textOf([](std::ostream& out) {
                  writeVectorFile(out, {{0, 1.5, 1e6}, {1.5, 0, 0.25}, {1e6, 0.25, 0}});
              }),
              "1.5 1e+06 0.25 ");
    EXPECT_EQ(textOf([](std::ostream& out) { writeVectorFile(out, {{0}}); }), "");
}

TEST(PhylipFiles, CutNamesAndWriteFixedFiveWithFourSpaces) {
    const auto structures = named({"abcdefghijklmnopqrstuvwxy", "ABCDEFGHI", "Xabcdefghi"});
    EXPECT_EQ(textOf([&](std::ostream& out) { writeMapFile(out, structures); }),
              "qrstuvwxy abcdefghijklmno\nABCDEFGHI ABCDEFGHI\nabcdefghi \n");
    const DistanceMatrix matrix = {{0, 1e6, 1.5}, {1e6, 0, 0.125}, {1.5, 0.125, 0}};
    std::ostringstream phylip;
    phylip << 0.5 << ' ';  // the file's fixed format must not leak into later output
    writePhylipFile(phylip, matrix, structures);
    phylip << 0.5;
    EXPECT_EQ(phylip.str(),
              "0.5 3\n"
              "qrstuvwxy   abcdefghijklmnopqrst   0.00000    1000000.00000    1.50000    \n"
              "ABCDEFGHI   ABCDEFGHI   1000000.00000    0.00000    0.12500    \n"
              "abcdefghi   Xabcdefghi   1.50000    0.12500    0.00000    \n"
              "0.5");
}

TEST(PhylipFiles, ShortNameIsAnErrorBeforeAnyFileIsCreated) {
    const testing::TempDir dir;
    const std::string resultDir = dir.path().string();
    testing::expectThrowsWith(
        [&] {
            writePhylipFiles(resultDir, {{0, 1}, {1, 0}}, named({"long_name_1", "short"}));
        },
        "\"short\" is shorter than 9 characters");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "map.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "infile"));

    writePhylipFiles(resultDir, {{0}}, named({"123456789"}));
    EXPECT_EQ(dir.read("map.txt"), "123456789 123456789\n");
    EXPECT_EQ(dir.read("infile"), "1\n123456789   123456789   0.00000    \n");
}

TEST(SquarePhylip, NamesCutOrPaddedToTenAndMadeUniqueWhereCutsCollide) {
    struct Case {
        const char* name;
        std::vector<ChromosomalStructure> structures;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"short and exact names stay",
         named({"A", "B_c", "0123456789"}),
         {"A", "B_c", "0123456789"}},
        {"long names are cut",
         named({"EcoliK12_NC_000913", "Sflexneri_NC_4"}),
         {"EcoliK12_N", "Sflexneri_"}},
        {"cuts that collide are numbered, past names already taken",
         named({"genome_0001_x", "genome_0001_y", "genome_002", "genome_01", "genome_01"}),
         {"genome_001", "genome_003", "genome_002", "genome_014", "genome_015"}},
        {"a number never takes another row's name",
         named({"ab", "ab", "ab1"}),
         {"ab2", "ab3", "ab1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(phylipRowNames(c.structures), c.rows);
    }
}

TEST(SquarePhylip, FilesHoldTheCountRowsAndNamesOnlyWhenRenamed) {
    const testing::TempDir dir;
    const DistanceMatrix matrix = {{0, 2.5, 1e6}, {2.5, 0, 1e-7}, {1e6, 1e-7, 0}};
    writeSquarePhylipFiles(dir.path().string(), matrix, named({"A", "long_name_one", "xyz"}));
    EXPECT_EQ(dir.read("distance.phy"),
              "3\n"
              "A          0.000000 2.500000 1000000.000000\n"
              "long_name_ 2.500000 0.000000 0.000000\n"
              "xyz        1000000.000000 0.000000 0.000000\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "distance_names.txt"));
    writeSquarePhylipFiles(dir.path().string(), {{0, 1}, {1, 0}}, named({"same", "same"}));
    EXPECT_EQ(dir.read("distance.phy"),
              "2\nsame1      0.000000 1.000000\nsame2      1.000000 0.000000\n");
    EXPECT_EQ(dir.read("distance_names.txt"), "same1 same\nsame2 same\n");
}

TEST(GraphFile, NodesInAscendingOrderWithTheirBranches) {
    const TreeAdjacency adjacency = {
        {3, {{2, 3.0}, {0, 0.5}, {1, 1e-7}}}, {0, {{3, 0.5}}}, {1, {{3, 1e-7}}}, {2, {{3, 3.0}}}};
    EXPECT_EQ(textOf([&](std::ostream& out) { writeGraphFile(out, adjacency); }),
              "0 3 0.5 \n1 3 1e-07 \n2 3 3 \n3 2 3 0 0.5 1 1e-07 \n");
}

}  // namespace
}  // namespace varnet
