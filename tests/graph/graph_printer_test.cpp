#include "graph/graph_printer.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "graph/joint_graph.hpp"
#include "support/expect_throws.hpp"
#include "support/temp_dir.hpp"

namespace varnet {
namespace {

// Gene ids 1..3 are x, y and a; a gene with code g has the ends 10g+1 and 10g+2, so the ends of
// the first copy of x are 111 and 112, of its second copy 121 and 122.
const GeneNameTable names{{0, "0"}, {1, "x"}, {2, "y"}, {3, "a"}};

Edge withGenes(Edge edge, std::vector<int32_t> genes) {
    edge.genes = std::move(genes);
    return edge;
}

std::string edgeText(const Edge& edge, bool first) {
    std::ostringstream out;
    printEdge(out, edge, names, first);
    return out.str();
}

std::string componentText(const Component& component) {
    std::ostringstream out;
    printComponent(out, component, names);
    return out.str();
}

std::string recordText(const OperationRecord& record) {
    std::ostringstream out;
    printOperationRecord(out, record, names);
    return out.str();
}

TEST(GraphPrinter, EdgesByKindAndPosition) {
    struct Case {
        const char* name;
        Edge edge;
        bool first;
        const char* text;
    };
    // Genes -21 and 12 read "yx": neither sign nor copy number shows.
    const Case cases[] = {
        {"lone vertex", makeLoneVertex(111), true, "x.1"},
        {"lone vertex, not first", makeLoneVertex(312), false, "a.2"},
        {"block edge of B without genes", makeEdge(blockEdge, true, 0), true, "b"},
        {"block edge with genes", withGenes(makeEdge(blockEdge, false, 0), {-21, 12}), false,
         "yxa"},
        {"end edge first", withGenes(makeEdge(endEdge, false, 111), {-21, 12}), true, "yxa_x.1"},
        {"end edge later", withGenes(makeEdge(endEdge, true, 111), {-21, 12}), false, "_yxb"},
        {"adjacency edge first", makeEdge(adjacencyEdge, false, 112, 211), true, "x.2_ay.1"},
        {"adjacency edge later", makeEdge(adjacencyEdge, true, 211, 122), false, "_bx.2"},
        {"bridging edge first", withGenes(makeEdge(bridgingEdge, true, 112, 311), {31}), true,
         "x.2_ab_a.1"},
        {"bridging edge later", makeEdge(bridgingEdge, false, 112, 311), false, "_a_a.1"},
        {"the end 0 reads 0.2", makeEdge(adjacencyEdge, false, 0, 0), true, "0.2_a0.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(edgeText(c.edge, c.first), c.text);
    }
}

TEST(GraphPrinter, ComponentsWriteEachSharedEndOnce) {
    EXPECT_EQ(componentText({makeEdge(adjacencyEdge, false, 112, 211),
                             makeEdge(adjacencyEdge, true, 211, 112)}),
              "x.2_ay.1_bx.2");
    EXPECT_EQ(
        componentText({makeEdge(endEdge, false, 111), makeEdge(adjacencyEdge, true, 111, 212)}),
        "a_x.1_by.2");
    // Both copies of x print alike.
    EXPECT_EQ(componentText({makeEdge(adjacencyEdge, false, 111, 121),
                             makeEdge(adjacencyEdge, true, 121, 111)}),
              "x.1_ax.1_bx.1");
}

TEST(GraphPrinter, UnknownGeneIdFails) {
    std::ostringstream out;
    testing::expectThrowsWith([&] { printEdge(out, makeLoneVertex(411), names, true); },
                              "invalid map<K, T> key");
    testing::expectThrowsWith(
        [&] { printEdge(out, withGenes(makeEdge(blockEdge, true, 0), {-51}), names, true); },
        "invalid map<K, T> key");
}

TEST(GraphPrinter, JointGraphListsAndSpecialEdgeCounts) {
    ChromosomeSet graph(
        {{makeEdge(bridgingEdge, false, 112, 311), makeEdge(adjacencyEdge, true, 311, 112)},
         {makeEdge(blockEdge, true, 0)}},
        {{makeLoneVertex(111)},
         {makeEdge(endEdge, true, 211), makeEdge(adjacencyEdge, false, 211, 312),
          makeEdge(endEdge, true, 312)}});
    std::ostringstream out;
    printJointGraph(out, graph, names);
    EXPECT_EQ(out.str(),
              "Cycles (2): x.2_a_a.1_bx.2; b; \n"
              "Paths (2): x.1; b_y.1_aa.2_b; \n"
              "a-spnodes: 1, b-spnodes: 3\n");

    std::ostringstream empty;
    printJointGraph(empty, ChromosomeSet({}, {{makeLoneVertex(111)}}), names);
    EXPECT_EQ(empty.str(), "Cycles (0): \nPaths (1): x.1; \na-spnodes: 0, b-spnodes: 0\n");
}

AdjacencyArray adjacencyOf(std::vector<Chromosome> chromosomes) {
    return buildAdjacency(groupChromosomes(ChromosomalStructure{"", std::move(chromosomes)}));
}

TEST(GraphPrinter, BuiltJointGraphs) {
    struct Case {
        const char* name;
        GeneNameTable names;
        std::vector<Chromosome> a;
        std::vector<Chromosome> b;
        const char* text;
    };
    const Case cases[] = {
        {"the same single gene",
         {{0, "0"}, {1, "a"}},
         {{false, {11}}},
         {{false, {11}}},
         "Cycles (0): \nPaths (2): a.1; a.2; \na-spnodes: 0, b-spnodes: 0\n"},
        {"the same circle",
         {{0, "0"}, {1, "a"}, {2, "b"}},
         {{true, {11, 21}}},
         {{true, {11, 21}}},
         "Cycles (2): a.1_ab.2_ba.1; a.2_ab.1_ba.2; \nPaths (0): \na-spnodes: 0, b-spnodes: 0\n"},
        {"x only in A, between a and b",
         {{0, "0"}, {1, "a"}, {2, "x"}, {3, "b"}},
         {{false, {11, 21, 31}}},
         {{false, {11, 31}}},
         "Cycles (1): a.2_a_b.1_ba.2; \nPaths (2): a.1; b.2; \na-spnodes: 1, b-spnodes: 0\n"},
        {"x only in A, at a telomere; b and a swapped in B",
         {{0, "0"}, {1, "a"}, {2, "b"}, {3, "x"}},
         {{false, {11, 21, 31}}},
         {{false, {21, 11}}},
         "Cycles (0): \nPaths (2): b.1_aa.2; a_b.2_ba.1; \na-spnodes: 1, b-spnodes: 0\n"},
        {"x, y and z only in B",
         {{0, "0"}, {1, "x"}, {2, "b"}, {3, "c"}, {4, "y"}, {5, "z"}},
         {{false, {21, 31}}},
         {{false, {11, 21, 41, 31, 51}}},
         "Cycles (1): b.2_ac.1_b_b.2; \nPaths (2): b_b.1; b_c.2; \na-spnodes: 0, b-spnodes: 3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream out;
        printJointGraph(out, *buildJointGraph(adjacencyOf(c.a), adjacencyOf(c.b)), c.names);
        EXPECT_EQ(out.str(), c.text);
    }
}

TEST(GraphPrinter, OperationRecords) {
    const Component cycle{makeEdge(adjacencyEdge, false, 112, 211),
                          makeEdge(adjacencyEdge, true, 211, 112)};
    const Component path{makeEdge(endEdge, false, 111), makeEdge(adjacencyEdge, true, 111, 212)};
    const Component lone{makeLoneVertex(111)};
    const ComponentItem marker{Component{}, 'L'};
    const ComponentItem c = makeCycleItem(cycle);
    const ComponentItem p = makeLinearItem(path);
    const ComponentItem v = makeLinearItem(lone);
    struct Case {
        const char* name;
        OperationRecord record;
        const char* text;
    };
    const Case cases[] = {
        {"deleted block: nothing after",
         makeOperationRecord({makeCycleItem({makeEdge(blockEdge, false, 0)})}, {}, {4},
                             "delete block"),
         "[a(C)] aD [] , step: delete block\n"},
        {"empty label", makeOperationRecord({p}, {p, c}, {0}, ""),
         "[a_x.1_by.2(L)] DP [a_x.1_by.2(L), x.2_ay.1_bx.2(C)] , step: \n"},
        {"several items and events", makeOperationRecord({c, p}, {v}, {1, 3, 2, 5}, "3.4"),
         "[x.2_ay.1_bx.2(C), a_x.1_by.2(L)] SP, J, C, bD [x.1(L)] , step: 3.4\n"},
        {"alternatives", makeOperationRecord({p}, {c, p, v, c, marker}, {1}, "3.8"),
         "[a_x.1_by.2(L)] SP [(x.2_ay.1_bx.2(C), a_x.1_by.2(L)) or (x.1(L), x.2_ay.1_bx.2(C))] "
         ", step: 3.8\n"},
        {"alternatives and further items, written straight after the parenthesis",
         makeOperationRecord({p}, {c, p, v, c, v, p, marker}, {1}, "3.18"),
         "[a_x.1_by.2(L)] SP [(x.2_ay.1_bx.2(C), a_x.1_by.2(L)) or (x.1(L), x.2_ay.1_bx.2(C))"
         "x.1(L), a_x.1_by.2(L)] , step: 3.18\n"},
        {"a marker behind fewer than four items lists them plainly",
         makeOperationRecord({p}, {c, v, marker}, {1}, "x"),
         "[a_x.1_by.2(L)] SP [x.2_ay.1_bx.2(C), x.1(L)] , step: x\n"},
        {"a lone marker", makeOperationRecord({}, {marker}, {}, ""), "[]  [] , step: \n"},
        {"an empty cycle item is no marker", makeOperationRecord({}, {{Component{}, 'C'}}, {6}, ""),
         "[] NoEvent [(C)] , step: \n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(recordText(k.record), k.text);
    }
}

TEST(GraphPrinter, ShortestSequenceFile) {
    const testing::TempDir dir;
    const std::string path = (dir.path() / "sequence.txt").string();
    ChromosomeSet graph({}, {});
    graph.totalCost = 2.5;
    writeShortestSequence(graph, path, names);
    EXPECT_EQ(dir.read("sequence.txt"), "0; 2.5;\n");

    graph.sequence.push_back(makeOperationRecord({makeCycleItem({makeEdge(blockEdge, false, 0)})},
                                                 {}, {4}, "delete block"));
    graph.sequence.push_back(
        makeOperationRecord({makeLinearItem({makeLoneVertex(111)})}, {}, {1, 3}, ""));
    graph.totalCost = 1000000;
    writeShortestSequence(graph, path, names);  // truncates the earlier content
    EXPECT_EQ(dir.read("sequence.txt"),
              "3; 1e+06;\n"
              "[a(C)] aD [] , step: delete block\n"
              "[x.1(L)] SP, J [] , step: \n");
}

TEST(GraphPrinter, CostsInTheDefaultNumberFormat) {
    const testing::TempDir dir;
    const std::string path = (dir.path() / "s.txt").string();
    for (const auto& [cost, text] :
         std::vector<std::pair<double, std::string>>{{3, "3"},
                                                     {0.1 + 0.2, "0.3"},
                                                     {1234567, "1.23457e+06"},
                                                     {0.0001, "0.0001"},
                                                     {0.00001, "1e-05"},
                                                     {-2, "-2"},
                                                     {999999.5, "1e+06"}}) {
        SCOPED_TRACE(text);
        ChromosomeSet graph({}, {});
        graph.totalCost = cost;
        writeShortestSequence(graph, path, names);
        EXPECT_EQ(dir.read("s.txt"), "0; " + text + ";\n");
    }
}

TEST(GraphPrinter, UncreatableFileFails) {
    const testing::TempDir dir;
    const std::string file = dir.write("plain", "x");
    // A path through a regular file cannot be created, not even by root.
    const std::string path = file + "/shortest_sequence.txt";
    testing::expectThrowsWith([&] { writeShortestSequence(ChromosomeSet({}, {}), path, names); },
                              "Failed to create file " + path);
}

}  // namespace
}  // namespace varnet
