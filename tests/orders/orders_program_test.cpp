#include "orders/orders_program.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>

#include "support/temp_dir.hpp"

namespace varnet {
namespace {

// A two-genome set that imports cleanly; the error cases each spoil one part of it.
const std::string goodTable = "Orthogroup\tA\tB\nOG1\ta1, a2\tb1\nOG2\ta3\tb2\n";
const std::string goodA =
    "##gff-version "
    "3\nc1\tx\tCDS\t1\t90\t.\t+\t0\tID=a1\nc1\tx\tCDS\t100\t190\t.\t-\t0\tID=a2\n"
    "c1\tx\tCDS\t200\t290\t.\t+\t0\tID=a3\n";
const std::string goodB = "c1\tx\tCDS\t5\t90\t.\t-\t0\tID=b1\nc2\tx\tCDS\t7\t90\t.\t+\t0\tID=b2\n";
// What it imports to in native format.
const std::string goodOut = "2\nA: 1; L3: +OG1-OG1+OG2\nB: 2; L1: -OG1; L1: +OG2\n";

// The good set with some files replaced, added or taken away (`files`, no text), and options
// replaced or added (`extraArgs`, pairs).
struct Variation {
    std::map<std::string, std::optional<std::string>> files = {};
    std::vector<std::string> extraArgs = {};
};

// Each row varies the good set: a success writes the structures expected to the result file;
// every failure ends with status 1, one message naming what is wrong and where, nothing on
// standard output, and the earlier result file left as it was.
TEST(OrdersProgram, OptionsAndBadInputOfEveryKind) {
    struct Case {
        Variation variation;
        std::string expected;  // the result file, or a fragment of the message after the name
        int status = 1;
        std::string errStart = {};  // how the messages of a success begin
    };
    const std::string bWithRegions = "c2\tx\tregion\t1\t900\t.\t+\t.\tIs_circular=true\n" + goodB;
    const std::string aSwapped =
        "c1\tx\tCDS\t1\t90\t.\t+\t0\tID=a3;locus_tag=a1\n"
        "c1\tx\tCDS\t100\t190\t.\t-\t0\tID=a2;locus_tag=a2\n"
        "c1\tx\tCDS\t200\t290\t.\t+\t0\tID=a1;locus_tag=a3\n";
    const std::string bByLocusTag =
        "c1\tx\tCDS\t5\t90\t.\t-\t0\tlocus_tag=b1\nc2\tx\tCDS\t7\t90\t.\t+\t0\tlocus_tag=b2\n";
    const std::string aByGeneId =
        "c1\tx\tCDS\t1\t90\t.\t+\t0\tID=cds1;gene_id=a1\n"
        "c1\tx\tCDS\t100\t190\t.\t-\t0\tID=cds2;gene_id=a2\n"
        "c1\tx\tCDS\t200\t290\t.\t+\t0\tID=cds3;gene_id=x3\n";
    std::string tooManyMissing = goodTable;
    for (int k = 0; k < 12; ++k)
        tooManyMissing += "X" + std::to_string(k) + "\tm" + std::to_string(k) + "\t\n";
    // Annotations compressed elsewhere, for names, or spoiled.
    const std::string gz = testing::readFile(VARNET_ORDERS_FIXTURES "/gff/EcoliB.gff.gz");
    Variation tenLeftOut{{{"g/E.gff.gz", gz}}};
    for (char name = 'F'; name <= 'N'; ++name)
        tenLeftOut.files["g/" + std::string(1, name) + ".gff3"] = goodB;
    const Case cases[] = {
        // Linear without region lines; all circular; circular as the region says; all linear
        // whatever it says.
        {{}, goodOut, 0},
        {{{}, {"--topology", "circular"}},
         "2\nA: 1; C3: +OG1-OG1+OG2\nB: 2; C1: -OG1; C1: +OG2\n",
         0},
        {{{{"g/B.gff3", bWithRegions}}},
         "2\nA: 1; L3: +OG1-OG1+OG2\nB: 2; C1: +OG2; L1: -OG1\n",
         0},
        {{{{"g/B.gff3", bWithRegions}}, {"--topology", "linear"}},
         "2\nA: 1; L3: +OG1-OG1+OG2\nB: 2; L1: +OG2; L1: -OG1\n",
         0},
        // Percent-escapes decoded: one whose first digit is 0, lower-case and upper-case digits.
        {{{{"t.tsv", "Orthogroup\tA\tB\nOG1\ta1, a2\tb1\nOG2\ta\x01=*3\tb2\n"},
           {"g/A.gff", goodA.substr(0, goodA.size() - 2) + "%01%3d%2A3\n"}}},
         goodOut,
         0},
        // Further feature types.
        {{{{"t.tsv", goodTable + "OG3\t\tb3\n"},
           {"g/B.gff3", goodB + "c1\tx\ttRNA\t50\t60\t.\t-\t.\tID=b3\n"}},
          {"--types", "tRNA, CDS"}},
         "2\nA: 1; L3: +OG1-OG1+OG2\nB: 2; L2: -OG1-OG3; L1: +OG2\n",
         0},
        // The first attribute the table lists; only the attribute named.
        {{{{"g/A.gff", aSwapped}}}, "2\nA: 1; L3: +OG2-OG1+OG1\nB: 2; L1: -OG1; L1: +OG2\n", 0},
        {{{{"g/A.gff", aSwapped}, {"g/B.gff3", bByLocusTag}}, {"--id-attribute", "locus_tag"}},
         goodOut,
         0},
        {{{{"g/A.gff", goodA + "c1\tx\tCDS\t300\t390\t.\t+\t0\n"}}},
         "g/A.gff, line 5: 8 tab-separated columns where a GFF3 feature has 9"},
        {{{{"g/A.gff", "c1\tx\tCDS\t1O\t90\t.\t+\t0\tID=a1\n"}}},
         "g/A.gff, line 1: the start \"1O\" is not a coordinate"},
        {{{{"g/B.gff3", "c1\tx\tgene\t100000000000000000\t0\t.\t+\t.\tID=q\n" + goodB}}},
         "g/B.gff3, line 1: the end \"0\" is not a coordinate (a whole number from 1)"},
        {{{{"g/A.gff", goodA + "c1\tx\tCDS\t500\t400\t.\t+\t0\tID=z\n"}}},
         "g/A.gff, line 5: the start 500 is after the end 400"},
        {{{{"g/B.gff3", "c1\tx\tCDS\t5\t90\t.\tplus\t0\tID=b1\n"}}},
         "g/B.gff3, line 1: the strand \"plus\" is not '+', '-', '.' or '?'"},
        {{{{"g/B.gff3", "c1\tx\tCDS\t5\t90\t.\t.\t0\tID=b1\nc2\tx\tCDS\t7\t90\t.\t+\t0\tID=b2\n"}}},
         "g/B.gff3, line 1: the gene \"b1\" has no strand"},
        // Columns without a GFF; GFFs without a column are only left out, up to ten named.
        {{{{"t.tsv", "Orthogroup\tA\tB\tC\tD\nOG1\ta1\tb1\t\t\n"},
           {"g/E.gff.gz", gz},
           {"g/F.gff3", goodB}}},
         "genome columns without a GFF file: \"C\", \"D\" (a genome's file is named like its "
         "column"},
        {tenLeftOut, goodOut, 0,
         "10 GFF files named like no genome column of the table are left out: g/E.gff.gz, "
         "g/F.gff3, g/G.gff3, g/H.gff3, g/I.gff3, g/J.gff3, g/K.gff3, g/L.gff3, g/M.gff3, "
         "g/N.gff3\nA: "},
        {{{{"g/A.gff3.gz", gz}}},
         "the GFF files g/A.gff and g/A.gff3.gz both belong to the genome \"A\""},
        {{{{"t.tsv", ""}}}, "t.tsv: the table is empty"},
        {{{{"t.tsv", "Orthogroup\tA\tB\r\n\r\n"}}}, "t.tsv: the table lists no family"},
        {{{{"t.tsv", "Family\tA\tB\nOG1\ta1\tb1\n"}}}, "t.tsv, line 1: the header is neither"},
        {{{{"t.tsv", "Orthogroup\tA\tB\nOG1\ta1\n"}}},
         "t.tsv, line 2: 2 fields where the header has 3"},
        {{{{"t.csv", "Gene,Non-unique Gene name,Annotation,A,B\n\"OG1,,x,a1,b1\n"}},
          {"-g", "t.csv"}},
         "t.csv, line 2: a quoted field is not closed"},
        {{{{"t.csv", "Gene,Non-unique Gene name,Annotation,A,B\nOG1,,\"x\"y,a1,b1\n"}},
          {"-g", "t.csv"}},
         "t.csv, line 2: text after the closing quote of field 3"},
        // A byte-order mark; quoted fields over two lines and with quotes inside.
        {{{{"t.csv",
            "\xEF\xBB\xBFGene,Non-unique Gene name,Annotation,A,B\r\n"
            "OG1,,\"one \"\"x\"\" two\n\",a1\ta2,b1\nOG2,,,a3,b2\n"}},
          {"-g", "t.csv"}},
         goodOut,
         0},
        {{{{"t.tsv", goodTable + "OG1\t\t\n"}}},
         "t.tsv, line 4: the family \"OG1\" appears again (first on line 2)"},
        {{{{"t.tsv", "Orthogroup\tA\t \nOG1\ta1\t\n"}}},
         "t.tsv, line 1: the genome column 3 has no name"},
        {{{{"t.csv", "Gene,Non-unique Gene name,Annotation,No. isolates\nOG1,,x,1\n"}},
          {"-g", "t.csv"}},
         "t.csv, line 1: the table has no genome column"},
        // GRIMM names families in comments, blanks kept.
        {{{{"t.tsv", "Orthogroup\tA\tB\nOG 1\ta1, a2\tb1\nOG2\ta3\tb2\n"}}, {"--format", "grimm"}},
         "# Gene families numbered in order of first appearance:\n# 1 OG 1\n# 2 OG2\n"
         ">A\n1 -1 2 $\n>B\n-1 $\n2 $\n",
         0},
        {{{{"t.tsv", "Orthogroup\tA\tA\nOG1\ta1\tb1\n"}}},
         "t.tsv, line 1: the genome column \"A\" appears twice"},
        {{{{"t.tsv", goodTable + "OG3\ta1\t\n"}}},
         "the gene \"a1\" of genome \"A\" is listed twice: in the family \"OG1\" (line 2) and in "
         "\"OG3\" (line 4)"},
        // Genes of the table missing from the GFFs: the first 10 and the count.
        {{{{"t.tsv", tooManyMissing}}},
         "12 gene IDs of the table are not in the GFF file of their genome; the first 10: "
         "\"m0\" (genome \"A\", family \"X0\"), \"m1\" (genome \"A\", family \"X1\"), "},
        {{{{"t.tsv", goodTable + "a-b\t\t\na+b\t\t\n"}}},
         "the families \"a-b\" and \"a+b\" both become \"a_b\" in native format"},
        {{{{"g/A.gff.gz", gz.substr(0, 12) + std::string(40, 'x') + gz.substr(52)},
           {"g/A.gff", std::nullopt}}},
         "g/A.gff.gz: corrupt gzip data"},
        {{{{"g/A.gff.gz", gz.substr(0, gz.size() / 2)}, {"g/A.gff", std::nullopt}}},
         "g/A.gff.gz: the gzip data ends early"},
        {{{{"g/A.gff.gz", goodA}, {"g/A.gff", std::nullopt}}}, "g/A.gff.gz: not gzip data"},
        // A name UniMoG would misread: its leading sign replaced.
        {{{{"t.tsv", "Orthogroup\tA\tB\nOG1\ta1, a2\tb1\n-x+\ta3\tb2\n"}}, {"--format", "unimog"}},
         ">A\nOG1 -OG1 _x+ |\n>B\n-OG1 |\n_x+ |\n",
         0},
        {{{}, {"--format", "fasta"}}, "the format \"fasta\" is not native"},
        {{{}, {"--topology", "round"}}, "the topology \"round\""},
        // IDs missing under the attribute given, or under every attribute: what was tried and
        // what came closest. The attribute holding more IDs than the default ones is used.
        {{{}, {"--id-attribute", "Name"}},
         "5 gene IDs of the table are not in the GFF file of their genome: \"a1\" (genome \"A\", "
         "family \"OG1\"), \"a2\" (genome \"A\", family \"OG1\"), \"b1\" (genome \"B\", family "
         "\"OG1\"), \"a3\" (genome \"A\", family \"OG2\"), \"b2\" (genome \"B\", family \"OG2\"); "
         "genome \"A\": the attribute tried (Name) holds 0 of its 3 IDs; the closest other "
         "attribute, \"ID\", holds 3 (--id-attribute chooses it)\n"},
        {{{{"g/A.gff", aByGeneId}}},
         "1 gene ID of the table is not in the GFF file of its genome: \"a3\" (genome \"A\", "
         "family \"OG2\"); genome \"A\": the attributes tried (ID, locus_tag, protein_id, Name, "
         "gene_id) hold 2 of its 3 IDs; no other attribute of its CDS features holds any\n"},
        {{{{"g/A.gff",
            "c1\tx\tCDS\t1\t90\t.\t+\t0\tID=a1;gene_id=z\n"
            "c1\tx\tCDS\t100\t190\t.\t-\t0\tID=a2\n"
            "c1\tx\tCDS\t200\t290\t.\t+\t0\tID=q3;gene_id=a3\n"}}},
         "1 gene ID of the table is not in the GFF file of its genome: \"a3\" (genome \"A\", "
         "family \"OG2\"); genome \"A\": the attributes tried (ID, locus_tag, protein_id, Name) "
         "hold 2 of its 3 IDs; the closest other attribute, \"gene_id\", holds 1 (--id-attribute "
         "chooses it)\n"},
        {{{}, {"-g", "none.tsv"}}, "Failed to open file none.tsv"},
        {{{}, {"--gfff", "g"}},
         "unrecognised option '--gfff' (varnet-orders --help lists the options)"},
        {{{}, {"--gff", "none.gff"}}, "Failed to open file none.gff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::map<std::string, std::optional<std::string>> files = {{"out.txt", "earlier result\n"},
                                                                   {"t.tsv", goodTable},
                                                                   {"g/A.gff", goodA},
                                                                   {"g/B.gff3", goodB}};
        for (const auto& [name, text] : c.variation.files) files[name] = text;
        const testing::TempDir dir;
        for (const auto& [name, text] : files) {
            if (text) dir.write(name, *text);
        }
        std::map<std::string, std::string> options = {
            {"-g", "t.tsv"}, {"--gff", "g"}, {"-o", "out.txt"}};
        const std::vector<std::string>& extra = c.variation.extraArgs;
        for (std::size_t k = 0; k + 1 < extra.size(); k += 2) options[extra[k]] = extra[k + 1];
        std::vector<std::string> args;
        for (const auto& [name, value] : options) args.insert(args.end(), {name, value});
        const testing::ScopedWorkingDirectory inDir(dir.path());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runOrdersProgram(args, out, err), c.status);
        EXPECT_EQ(out.str(), "");
        if (c.status == 0) {
            EXPECT_EQ(dir.read("out.txt"), c.expected) << err.str();
            EXPECT_TRUE(err.str().starts_with(c.errStart)) << err.str();
            continue;
        }
        EXPECT_NE(err.str().find("varnet-orders: " + c.expected), std::string::npos) << err.str();
        EXPECT_EQ(err.str().back(), '\n');
        EXPECT_EQ(dir.read("out.txt"), "earlier result\n");
    }
}

}  // namespace
}  // namespace varnet
