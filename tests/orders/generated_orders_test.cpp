// Generated genomes written out as GFF3 annotations and family tables, imported again: whatever
// the line order, split features, decoy attributes and table layout, the structure file read
// back holds the genomes generated.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>

#include "orders/family_table.hpp"
#include "orders/gene_orders.hpp"
#include "orders/gff_annotations.hpp"
#include "orders/order_formats.hpp"
#include "support/structure_text.hpp"

namespace varnet {
namespace {

struct PlannedGene {
    std::size_t family;
    bool reverse;
    int64_t start;
    std::string id;
};

struct PlannedSequence {
    std::string id;
    bool circular;
    std::vector<PlannedGene> genes;  // by start
};

struct PlannedGenome {
    std::string name;
    std::vector<PlannedSequence> sequences;
    std::string gff;
    std::vector<std::size_t> sequenceOrder;  // as first mentioned in the GFF
    std::size_t leftOut = 0;
};

// One line of a GFF file before coordinates are given out.
struct PlannedLine {
    std::size_t sequence;
    std::string type;
    int gene;  // index into the sequence's genes, -1 for other features
    std::string attributes;
};

class Planner {
public:
    explicit Planner(unsigned seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

    PlannedGenome genome(std::size_t index, std::size_t families) {
        PlannedGenome genome{"g" + std::to_string(index), {}, {}, {}, 0};
        const int sequences = 1 + below(3);
        int geneNumber = 0;
        for (int s = 0; s < sequences; ++s) {
            PlannedSequence sequence{"seq" + std::to_string(s), chance(0.5), {}};
            int64_t start = 1;
            for (int k = below(7); k > 0; --k) {
                start += 1 + below(300);
                // '=' and '&' reach the table as they are and the GFF percent-encoded.
                const std::string id = "g" + std::to_string(index) + (chance(0.2) ? "=" : "_") +
                                       std::to_string(geneNumber++) + (chance(0.1) ? "&x" : "");
                sequence.genes.push_back(
                    {static_cast<std::size_t>(below(static_cast<int>(families))), chance(0.5),
                     start, id});
            }
            genome.sequences.push_back(std::move(sequence));
        }
        writeGff(genome);
        return genome;
    }

    std::mt19937& random() { return random_; }

private:
    static std::string encoded(const std::string& id) {
        std::string text;
        for (const char c : id) {
            if (c == '=') {
                text += "%3D";
            } else if (c == '&') {
                text += "%26";
            } else {
                text += c;
            }
        }
        return text;
    }

    // The listed ID under one of the four attributes, after decoys in the attributes tried
    // before it that the table does not list.
    std::string geneAttributes(const std::string& id) {
        static const char* names[] = {"ID", "locus_tag", "protein_id", "Name"};
        const int listedAt = below(4);
        std::string text = "product=some protein";
        for (int k = 0; k < 4; ++k) {
            if (k < listedAt && chance(0.6)) {
                text += std::string(";") + names[k] + "=decoy-" + encoded(id);
            } else if (k == listedAt) {
                text += std::string(";") + names[k] + "=" + encoded(id);
            }
        }
        return text;
    }

    void writeGff(PlannedGenome& genome) {
        std::vector<PlannedLine> lines;
        for (std::size_t s = 0; s < genome.sequences.size(); ++s) {
            const PlannedSequence& sequence = genome.sequences[s];
            if (sequence.circular || chance(0.3)) {
                lines.push_back({s, "region", -1,
                                 sequence.circular
                                     ? (chance(0.5) ? "Is_circular=true" : "ID=r;Is_circular=TRUE")
                                     : "ID=r;Is_circular=false"});
            }
            for (std::size_t g = 0; g < sequence.genes.size(); ++g) {
                const std::string attributes = geneAttributes(sequence.genes[g].id);
                for (int piece = chance(0.3) ? 1 + below(3) : 1; piece > 0; --piece)
                    lines.push_back({s, "CDS", static_cast<int>(g), attributes});
                // A feature of another type under the same ID, anywhere.
                if (chance(0.3))
                    lines.push_back({s, "gene", -1, "locus_tag=" + encoded(sequence.genes[g].id)});
            }
            for (int k = below(3); k > 0; --k) {
                const std::string id = "other" + std::to_string(genome.leftOut++);
                for (int piece = 1 + below(2); piece > 0; --piece)
                    lines.push_back({s, "CDS", -1, "ID=" + id});
            }
        }
        std::shuffle(lines.begin(), lines.end(), random_);

        const std::string lineEnd = chance(0.3) ? "\r\n" : "\n";
        std::ostringstream text;
        text << "##gff-version 3" << lineEnd;
        std::vector<bool> mentioned(genome.sequences.size(), false);
        std::map<std::pair<std::size_t, int>, bool> started;
        for (const PlannedLine& line : lines) {
            if (!mentioned[line.sequence]) {
                mentioned[line.sequence] = true;
                genome.sequenceOrder.push_back(line.sequence);
            }
            const PlannedSequence& sequence = genome.sequences[line.sequence];
            int64_t start = 1 + below(2000);
            char strand = "+-.?"[below(4)];
            if (line.gene >= 0) {
                const PlannedGene& gene = sequence.genes[static_cast<std::size_t>(line.gene)];
                // The first line of a gene holds its position; later pieces lie anywhere.
                if (!started[{line.sequence, line.gene}]) {
                    started[{line.sequence, line.gene}] = true;
                    start = gene.start;
                }
                strand = gene.reverse ? '-' : '+';
            }
            if (chance(0.1)) text << "# a comment" << lineEnd;
            text << sequence.id << "\tsrc\t" << line.type << '\t' << start << '\t'
                 << start + below(500) << "\t.\t" << strand << "\t0\t" << line.attributes
                 << lineEnd;
        }
        if (chance(0.5)) text << "##FASTA" << lineEnd << ">seq0" << lineEnd << "ACGT" << lineEnd;
        genome.gff = text.str();
    }

    std::mt19937 random_;
};

std::string csvField(Planner& planner, const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos && planner.chance(0.5)) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The table in one of its layouts, genome columns in `columns` order, rows shuffled, each
// cell's IDs in random order.
std::string tableText(Planner& planner, const std::vector<PlannedGenome>& genomes,
                      const std::vector<std::size_t>& columns, std::size_t families) {
    std::vector<std::vector<std::vector<std::string>>> cells(
        families, std::vector<std::vector<std::string>>(genomes.size()));
    for (std::size_t g = 0; g < genomes.size(); ++g)
        for (const PlannedSequence& sequence : genomes[g].sequences)
            for (const PlannedGene& gene : sequence.genes) cells[gene.family][g].push_back(gene.id);
    std::vector<std::size_t> rows(families);
    for (std::size_t f = 0; f < families; ++f) rows[f] = f;
    std::shuffle(rows.begin(), rows.end(), planner.random());

    const bool tabs = planner.chance(0.5);
    const bool longer = planner.chance(0.5);
    // Genes in a cell: ", " in OrthoFinder's table, tabs or ';' in Roary's, tabs in Panaroo's
    // (where ';' joins the fragments of one gene).
    const std::string separator = tabs ? ", " : longer && planner.chance(0.5) ? ";" : "\t";
    std::ostringstream text;
    const auto cellText = [&](std::vector<std::string> ids) {
        if (!tabs) {
            // Panaroo's marks: a suffix after the GFF's ID, a refound gene that no GFF holds.
            for (std::string& id : ids)
                if (planner.chance(0.2)) id += planner.chance(0.5) ? "_len" : "_stop";
            if (planner.chance(0.2)) ids.push_back("0_refound_" + std::to_string(planner.below(9)));
        }
        std::shuffle(ids.begin(), ids.end(), planner.random());
        std::string cell;
        for (const std::string& id : ids) cell += (cell.empty() ? "" : separator) + id;
        return cell;
    };
    if (tabs) {
        text << "Orthogroup";
        for (const std::size_t g : columns) text << '\t' << genomes[g].name;
        text << '\n';
        for (const std::size_t f : rows) {
            text << "f" << f;
            for (const std::size_t g : columns) text << '\t' << cellText(cells[f][g]);
            text << '\n';
        }
        return text.str();
    }
    text << "Gene,Non-unique Gene name,Annotation";
    if (longer) text << ",No. isolates,QC,\"Avg group size nuc\"";
    for (const std::size_t g : columns) text << ',' << csvField(planner, genomes[g].name);
    text << "\r\n";
    for (const std::size_t f : rows) {
        text << csvField(planner, "f" + std::to_string(f)) << ",,"
             << csvField(planner, "protein, \"putative\"\nsecond line");
        if (longer) text << ",3,,\"1,5\"";
        for (const std::size_t g : columns) text << ',' << csvField(planner, cellText(cells[f][g]));
        text << "\r\n";
    }
    return text.str();
}

// The genomes as planned, in the native format, written directly from the plan.
std::string plannedStructures(const std::vector<PlannedGenome>& genomes,
                              const std::vector<std::size_t>& columns) {
    std::ostringstream text;
    text << columns.size() << '\n';
    for (const std::size_t g : columns) {
        const PlannedGenome& genome = genomes[g];
        std::vector<const PlannedSequence*> present;
        for (const std::size_t s : genome.sequenceOrder)
            if (!genome.sequences[s].genes.empty()) present.push_back(&genome.sequences[s]);
        text << genome.name << ' ' << present.size();
        for (const PlannedSequence* sequence : present) {
            text << ' ' << (sequence->circular ? 'C' : 'L') << sequence->genes.size() << ' ';
            for (const PlannedGene& gene : sequence->genes)
                text << (gene.reverse ? '-' : '+') << 'f' << gene.family;
        }
        text << '\n';
    }
    return text.str();
}

TEST(GeneratedOrders, ImportReadsBackAsTheGenomesPlanned) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Planner planner(seed);
        const std::size_t families = 1 + static_cast<std::size_t>(planner.below(8));
        std::vector<PlannedGenome> genomes;
        for (std::size_t g = 0, count = 1 + planner.below(4); g < count; ++g)
            genomes.push_back(planner.genome(g, families));
        std::vector<std::size_t> columns(genomes.size());
        for (std::size_t g = 0; g < columns.size(); ++g) columns[g] = g;
        std::shuffle(columns.begin(), columns.end(), planner.random());

        std::istringstream tableIn(tableText(planner, genomes, columns, families));
        const FamilyTable table = readFamilyTable(tableIn, "table");
        ASSERT_EQ(table.genomes.size(), genomes.size());
        const FamilyIndex index(table);
        std::vector<GenomeAnnotation> annotations;
        std::vector<GeneOrder> orders;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const PlannedGenome& genome = genomes[columns[k]];
            ASSERT_EQ(table.genomes[k], genome.name);
            std::istringstream gff(genome.gff);
            const ListedId listed = [&](std::string_view id) {
                return index.familyOf(k, id).has_value();
            };
            annotations.push_back(readGff(gff, genome.name, GffSettings{}, listed));
            EXPECT_EQ(annotations.back().leftOut, genome.leftOut) << genome.gff;
            orders.push_back(
                orderGenes(table, index, k, annotations.back(), Topology::FromAnnotation));
        }
        checkEveryListedGeneFound(table, annotations, "");

        const testing::ReadResult expected = testing::readText(plannedStructures(genomes, columns));
        for (const OrderFormat format :
             {OrderFormat::Native, OrderFormat::UniMoG, OrderFormat::Grimm}) {
            std::ostringstream out;
            writeGeneOrders(out, table, orders, format);
            const testing::ReadResult got = testing::readText(out.str());
            EXPECT_EQ(got.structures, expected.structures) << out.str();
            if (format != OrderFormat::Grimm) {
                EXPECT_EQ(got.table, expected.table);
            }
        }
    }
}

}  // namespace
}  // namespace varnet
