// Tree methods on hand-worked distance matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <random>
#include <span>
#include <sstream>
#include <tuple>

#include "compare/breakpoint_distance.hpp"
#include "support/expect_throws.hpp"
#include "support/random_structures.hpp"
#include "support/temp_dir.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/kruskal.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/newick.hpp"
#include "tree/phylip_matrix.hpp"
#include "tree/shared_genes.hpp"
#include "tree/tree_files.hpp"
#include "tree/upgma.hpp"

namespace varnet {
namespace {

// Structures without chromosomes named s0, s1, ...
std::vector<ChromosomalStructure> named(std::size_t count) {
    std::vector<ChromosomalStructure> structures;
    for (std::size_t k = 0; k < count; ++k) structures.push_back({"s" + std::to_string(k), {}});
    return structures;
}

std::vector<ChromosomalStructure> named(std::initializer_list<const char*> names) {
    std::vector<ChromosomalStructure> structures;
    for (const char* name : names) structures.push_back({name, {}});
    return structures;
}

using Method = decltype(&upgmaTree);

// The tree text and the report (NJ's graph, Kruskal's joins, nothing from UPGMA), worked by hand:
// one and two structures, and names with reserved characters, quoted, a quote doubled. NJ on more
// structures is checked by golden cases and against the plain method below.
TEST(TreeMethods, HandWorkedTrees) {
    struct Case {
        const char* name;
        Method method;
        DistanceMatrix matrix;
        const char* text;
        const char* report = "";
        std::vector<ChromosomalStructure> structures = {};  // s0, s1, ... where none are given
    };
    // UPGMA and Kruskal both join A-B (3), then C (4.5 as an average, 4 as an edge), then D.
    const DistanceMatrix reserved = {{0, 3, 4, 6}, {3, 0, 5, 7}, {4, 5, 0, 6}, {6, 7, 6, 0}};
    const auto reservedNames = named({"A(x,y)", "B);evil", "C[c]'q", "D:d"});
    const char* quoted = "((('A(x,y)','B);evil'),'C[c]''q'),'D:d');";
    const Case cases[] = {
        {"NJ: one structure", neighbourJoiningTree, {{0}}, "s0;"},
        {"NJ: two structures",
         neighbourJoiningTree,
         {{0, 1}, {1, 0}},
         "(s0:0.5,s1:0.5);",
         "0 1 1 \n1 0 1 \n"},
        {"UPGMA: one structure", upgmaTree, {{0}}, "s0;"},
        {"UPGMA: quoted names", upgmaTree, reserved, quoted, "", reservedNames},
        {"Kruskal: one structure", kruskalTree, {{0}}, ";"},
        {"Kruskal: quoted names", kruskalTree, reserved, quoted,
         "'A(x,y)' 'B);evil'\n('A(x,y)','B);evil') 'C[c]''q'\n(('A(x,y)','B);evil'),'C[c]''q') "
         "'D:d'\n",
         reservedNames},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream report;
        const BuiltTree tree = c.method(
            c.matrix, c.structures.empty() ? named(c.matrix.size()) : c.structures, report);
        EXPECT_EQ(tree.text, c.text);
        EXPECT_EQ(report.str(), c.report);
    }
}

// The two methods as plainly written: each join erases a row and a column, and the whole matrix
// is read again for the next.
std::string referenceUpgma(DistanceMatrix w, std::vector<std::string> labels) {
    std::vector<double> members(w.size(), 1.0);
    while (w.size() > 1) {
        std::size_t i = 0, j = 1;
        double smallest = std::numeric_limits<double>::infinity();
        for (std::size_t p = 0; p < w.size(); ++p) {
            for (std::size_t q = p + 1; q < w.size(); ++q) {
                if (w[p][q] < smallest) std::tie(smallest, i, j) = std::tuple(w[p][q], p, q);
            }
        }
        const double ni = members[i], nj = members[j];
        for (std::size_t p = 0; p < i; ++p) w[p][i] = (nj * w[p][j] + ni * w[p][i]) / (ni + nj);
        for (std::size_t q = i + 1; q < w.size(); ++q) {
            if (q != j) w[i][q] = (nj * (q < j ? w[q][j] : w[j][q]) + ni * w[i][q]) / (ni + nj);
        }
        for (auto& row : w) row.erase(row.begin() + long(j));
        w.erase(w.begin() + long(j));
        labels[i] = "(" + labels[i] + "," + labels[j] + ")";
        labels.erase(labels.begin() + long(j));
        members[i] += members[j];
        members.erase(members.begin() + long(j));
    }
    return labels[0] + ";";
}

TreeAdjacency referenceNeighbourJoin(DistanceMatrix d, std::vector<int32_t> ids, int32_t next) {
    const std::size_t n = d.size();
    if (n == 2) return {{ids[0], {{ids[1], d[0][1]}}}, {ids[1], {{ids[0], d[1][0]}}}};
    std::vector<double> r(n, 0.0);
    for (std::size_t p = 0; p < n; ++p) {
        for (const double cell : d[p]) r[p] += cell;
    }
    const double factor = double(int32_t(n) - 2);
    auto q = [&](std::size_t a, std::size_t b) { return factor * d[a][b] - r[a] - r[b]; };
    std::size_t i = 0, j = 0;
    double best = 1000000.0;
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = a + 1; b < n; ++b) {
            if (best - 0.00001 > q(a, b)) std::tie(best, i, j) = std::tuple(q(a, b), a, b);
        }
    }
    if (i == j) {
        std::tie(best, i, j) = std::tuple(q(0, 1), 0, 1);
        for (std::size_t a = 0; a < n; ++a) {
            for (std::size_t b = a + 1; b < n; ++b) {
                if (q(a, b) < best) std::tie(best, i, j) = std::tuple(q(a, b), a, b);
            }
        }
    }
    const double delta = (r[i] - r[j]) / int32_t(n - 2), dij = d[i][j];
    const int32_t node = next, idI = ids[i], idJ = ids[j];
    for (std::size_t k = 0; k < n; ++k) {
        if (k != i && k != j) d[i][k] = d[k][i] = (d[j][k] + d[i][k] - dij) * 0.5;
    }
    d.erase(d.begin() + long(j));
    for (auto& row : d) row.erase(row.begin() + long(j));
    ids.erase(ids.begin() + long(j));
    ids[i] = next;
    TreeAdjacency adjacency = referenceNeighbourJoin(std::move(d), std::move(ids), next + 1);
    for (const auto& [child, length] :
         {std::pair(idI, (dij + delta) * 0.5), {idJ, (dij - delta) * 0.5}}) {
        adjacency[node].emplace_back(child, length);
        adjacency[child].emplace_back(node, length);
    }
    return adjacency;
}

// Kruskal's method as plainly written: every edge listed, sorted, and taken unless it closes a
// cycle. Returns the tree text and the join lines.
std::pair<std::string, std::string> referenceKruskal(const DistanceMatrix& m,
                                                     std::vector<std::string> labels) {
    std::vector<std::tuple<double, std::size_t, std::size_t>> edges;
    for (std::size_t p = 0; p < m.size(); ++p) {
        for (std::size_t q = p + 1; q < m.size(); ++q) edges.emplace_back(m[p][q], p, q);
    }
    std::sort(edges.begin(), edges.end());
    std::vector<std::size_t> set(m.size());
    for (std::size_t k = 0; k < m.size(); ++k) set[k] = k;
    std::string text, joins;
    for (const auto& [weight, a, b] : edges) {
        const std::size_t sa = set[a], sb = set[b];
        if (sa == sb) continue;
        joins += labels[sa] + " " + labels[sb] + "\n";
        text = labels[sa] = "(" + labels[sa] + "," + labels[sb] + ")";
        for (std::size_t& s : set) s = s == sb ? sa : s;
    }
    return {text + ";", joins};
}

TEST(TreeMethods, AgreeWithThePlainMethodsOnGeneratedMatrices) {
    // Ties, near-ties below the tolerance, huge distances that leave no Q value below the scan's
    // start, unequal halves (read as written, row by row; in row 0 alone, where rows that are
    // equal elsewhere must not be taken for a group), and groups of identical rows (as many
    // genomes written alike give: distance 0 within, whole distances to the others, some groups
    // at distance 0 from each other, half the rows in one group; or distances of either sign so
    // large that the order in which two row sums are subtracted decides between two pairs of the
    // same two groups), at sizes that remove many clusters, and a few matrices large enough that
    // neighbour joining reads only part of each row; every branch length must agree to the bit.
    std::mt19937 random(16);
    for (int round = 0; round < 276; ++round) {
        const std::size_t n = round < 240 ? 2 + static_cast<std::size_t>(round % 40)
                                          : 90 + 20 * static_cast<std::size_t>(round % 12);
        const int kind = round % 9;
        DistanceMatrix d(n, std::vector<double>(n, 0.0));
        for (std::size_t p = 0; p < n; ++p) {
            for (std::size_t q = p + 1; q < n; ++q) {
                const int whole = std::uniform_int_distribution<int>(1, 6)(random);
                const double real = std::uniform_real_distribution<double>(0.1, 50)(random);
                d[p][q] = d[q][p] = kind == 0   ? real
                                    : kind == 1 ? whole
                                    : kind == 2 ? whole + 0.000003 * (random() % 3)
                                    : kind == 3 ? (random() % 4 == 0 ? 3e7 : real)
                                                : -1e6 * whole;
                if (kind == 5) d[q][p] = real;
            }
        }
        if (kind >= 6) {
            const std::size_t groups = 1 + random() % std::max<std::size_t>(1, n / 3);
            std::vector<std::size_t> groupOf(n);
            for (std::size_t k = 0; k < n; ++k)
                groupOf[k] = kind == 7 && random() % 2 == 0 ? 0 : random() % groups;
            std::vector<std::vector<double>> between(groups, std::vector<double>(groups, 0.0));
            for (std::size_t g = 0; g < groups; ++g) {
                for (std::size_t h = g + 1; h < groups; ++h)
                    between[g][h] = between[h][g] =
                        kind == 8 ? std::uniform_real_distribution<double>(-50, 50)(random) * 1e9
                                  : static_cast<double>(random() % (kind == 6 ? 6 : 40));
            }
            for (std::size_t p = 0; p < n; ++p) {
                for (std::size_t q = 0; q < n; ++q) d[p][q] = between[groupOf[p]][groupOf[q]];
            }
            if (kind == 6 && round % 2 == 1) {
                for (std::size_t q = 1; q < n; ++q) d[0][q] -= double(q);
            }
        }
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << n << " clusters");
        const std::vector<ChromosomalStructure> structures = named(n);
        std::vector<std::string> names;
        for (const ChromosomalStructure& structure : structures) names.push_back(structure.name);
        std::vector<int32_t> ids(n);
        std::iota(ids.begin(), ids.end(), 0);
        if (kind != 5) {
            std::ostringstream joins;
            EXPECT_EQ(upgmaTree(d, structures, joins).text, referenceUpgma(d, names));
            const std::string text = kruskalTree(d, structures, joins).text;
            EXPECT_EQ(std::make_pair(text, joins.str()), referenceKruskal(d, names));
        }
        EXPECT_EQ(neighbourJoin(d, ids, int32_t(n)), referenceNeighbourJoin(d, ids, int32_t(n)));
    }
}

TEST(NeighbourJoining, BranchLengthThatOverflowsIsAnErrorBeforeTheGraphIsWritten) {
    const double huge = 1e308;  // finite, but the row sums overflow
    std::ostringstream graph;
    testing::expectThrowsWith(
        [&] {
            neighbourJoiningTree({{0, huge, huge}, {huge, 0, huge}, {huge, huge, 0}},
                                 named({"A", "B", "C"}), graph);
        },
        "is not finite");
    EXPECT_EQ(graph.str(), "");
}

// Names cut to ten characters, which golden cases show with short names padded, are numbered
// where cuts collide, and renamed rows are listed beside the names they stand for.
TEST(SquarePhylip, NamesCutToTenAreMadeUniqueAndListedWithTheirNames) {
    struct Case {
        const char* name;
        std::vector<ChromosomalStructure> structures;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
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
    const testing::TempDir dir;
    writeSquarePhylipFiles(dir.path().string(), {{0, 1}, {1, 0}}, named({"same", "same"}));
    EXPECT_EQ(dir.read("distance.phy"),
              "2\nsame1      0.000000 1.000000\nsame2      1.000000 0.000000\n");
    EXPECT_EQ(dir.read("distance_names.txt"), "same1 same\nsame2 same\n");
}

// Cells print as printf's %g (6 significant digits) and %.Nf forms print them, ties rounded to
// even on the exact binary value. Small whole and half numbers are formatted once per writer;
// every cell still prints as printf prints it, where a kept text would be too long to keep too.
TEST(MatrixCells, PrintAsPrintfDoesForGeneratedCells) {
    std::vector<double> cells = {0,       0.5,       -0.5,   -3,        0.25, 1e-7,
                                 1.0 / 3, 0.1 + 0.2, 2.5e-7, 123456789, -0.0, 0.125,
                                 1e300,   1023.5,    1024,   0,         -0.0, 1023.5};
    std::mt19937_64 random(5);
    for (int k = 0; k < 2000; ++k) {
        const double whole = static_cast<double>(random() % 2000000);
        cells.push_back(k % 2 == 0 ? whole : (whole + 0.5) / (k % 3 == 0 ? 1 : 16));
        cells.push_back(std::ldexp(static_cast<double>(random() >> 11), -(k % 60)));
        cells.push_back(static_cast<double>(random() % 2100) / 2);
    }
    const std::pair<CellFormat, const char*> formats[] = {
        {{}, "%.6g"},
        {{std::chars_format::fixed, 6}, "%.6f"},
        {{std::chars_format::fixed, 5}, "%.5f"},
        {{std::chars_format::fixed, 2}, "%.2f"},
        {{std::chars_format::fixed, 1}, "%.1f"},
        {{std::chars_format::fixed, 30}, "%.30f"}};
    for (const auto& [format, conversion] : formats) {
        SCOPED_TRACE(conversion);
        std::ostringstream written;
        // Two rows through one writer: the second meets the texts the first kept.
        CellWriter writer(format, " ", ",");
        writer.write(written, std::span(cells).first(cells.size() / 2));
        writer.write(written, std::span(cells).subspan(cells.size() / 2));
        std::string expected;
        char number[400];
        for (const double cell : cells) {
            std::snprintf(number, sizeof number, conversion, cell);
            expected += " " + std::string(number) + ",";
        }
        EXPECT_EQ(written.str(), expected);
    }
}

ChromosomalStructure structureOf(std::vector<Chromosome> chromosomes) {
    ChromosomalStructure structure;
    structure.chromosomes = std::move(chromosomes);
    return structure;
}

// Breakpoint distances worked by hand (codes 10 * gene + copy): adjacencies either structure
// lacks, read the same from both strands, plus genes that take part in an adjacency in one only.
// The tables kept per structure give them, and give the sorted profiles' count on every pair of
// generated structures; a file whose codes are far apart falls back to the profiles.
TEST(BreakpointDistances, TablesGiveTheHandWorkedAndTheProfilesCounts) {
    const bool linear = false;
    const bool circular = true;
    const std::vector<std::tuple<ChromosomalStructure, ChromosomalStructure, int32_t>> rows = {
        {structureOf({{linear, {11, 21, 31}}}), structureOf({{linear, {11, 21, 31}}}), 0},
        {structureOf({{linear, {11, 21, 31}}}), structureOf({{linear, {11, -21, 31}}}), 4},
        {structureOf({{linear, {11, 21}}}), structureOf({{linear, {-21, -11}}}), 0},
        {structureOf({{circular, {11}}}), structureOf({{linear, {11, 21}}}), 3},
        {structureOf({{linear, {11}}}), structureOf({{linear, {21, 31}}}), 3},
        {structureOf({{linear, {11, 12}}}), structureOf({{linear, {11}}}), 3},
        {structureOf({{circular, {11, 21}}}), structureOf({{linear, {11, 21}}}), 1},
        {structureOf({}), structureOf({{linear, {11, 21}}, {circular, {31}}}), 5},
    };
    for (const auto& [a, b, expected] : rows) {
        const BreakpointTables tables({a, b});
        EXPECT_EQ(tables.distance(0, 1), expected);
    }
    std::vector<ChromosomalStructure> structures = testing::generateNamedStructures(41, 24);
    for (const auto& [a, b, expected] : rows) structures.insert(structures.end(), {a, b});
    const std::vector<AdjacencyProfile> profiles = buildAdjacencyProfiles(structures);
    const BreakpointTables tables(structures);
    structures.push_back(structureOf({{linear, {10 * 1000000 + 1, 21}}}));
    const BreakpointTables farApart(structures);
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        for (std::size_t j = 0; j < profiles.size(); ++j) {
            SCOPED_TRACE(std::to_string(i) + " " + std::to_string(j));
            ASSERT_EQ(tables.distance(i, j), breakpointDistance(profiles[i], profiles[j]));
            ASSERT_EQ(farApart.distance(i, j), tables.distance(i, j));
        }
    }
}

// Pairs sharing fewer than half the genes of the smaller structure, worked by hand. A code stands
// for one copy of a gene, and every copy counts as a gene of its own.
TEST(SharedGenes, CountsPairsSharingLittleAndNamesTheLeast) {
    const auto genome = [](std::vector<int32_t> codes) {
        return codes.empty() ? structureOf({}) : structureOf({{false, std::move(codes)}});
    };
    struct Case {
        const char* name;
        std::vector<ChromosomalStructure> structures;
        SharedGeneCount expected;
    };
    const auto fields = [](const SharedGeneCount& n) {
        return std::tuple(n.pairs, n.first, n.second, n.shared, n.firstGenes, n.secondGenes);
    };
    const Case cases[] = {
        {"half shared is enough", {genome({1, 2, 3, 4}), genome({1, -2, 5, 6})}, {}},
        {"one short of half", {genome({1, 2, 3, 4}), genome({1, 5, 6})}, {1, 0, 1, 1, 4, 3}},
        // Codes 1, 2 and 3 as three copies of one gene: A shares one of them with B.
        {"copies are genes", {genome({1, 2, 3}), genome({1, 4, 5})}, {1, 0, 1, 1, 3, 3}},
        // A-B share 2 of 10, A-C and B-C 1 of 3: the least part is A-B's, not the fewest genes.
        {"the least part of the smaller structure",
         {genome({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), genome({1, 2, 11, 12, 13, 14, 15, 16, 17, 18}),
          genome({1, 21, 22})},
         {3, 0, 1, 2, 10, 10}},
        {"of equal parts the first pair",
         {genome({1, 2}), genome({3, 4, 5}), genome({6, 7})},
         {3, 0, 1, 0, 2, 3}},
        {"structures holding the same genes, and one without genes",
         {genome({1, 2}), genome({3, 4}), genome({-2, -1}), genome({})},
         {2, 0, 1, 0, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fields(countPairsSharingLittle(c.structures)), fields(c.expected));
    }
}

}  // namespace
}  // namespace varnet
