// Generated genomes written out as GFF3 annotations and family tables, imported again: whatever
// the line order, split features, decoy attributes, IDs at several places, table layout and
// Panaroo's marks (merged fragments, "_len"/"_stop", refound genes), the structure file read back
// holds the genomes generated.
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
    std::string id;  // another gene of the genome may have it too: a copy at a second place
    std::vector<std::string> fragments = {};  // merged into the gene by a Panaroo table
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

constexpr int otherFeature = -1;
constexpr int fragmentFeature = -2;

// One line of a GFF file before coordinates are given out.
struct PlannedLine {
    std::size_t sequence;
    std::string type;
    int gene;  // index into the sequence's genes, or otherFeature, or fragmentFeature
    std::string attributes;
};

class Planner {
public:
    explicit Planner(unsigned seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

    // `fragments`: some genes merged from fragments, as a Panaroo table can list them.
    PlannedGenome genome(std::size_t index, std::size_t families, bool fragments) {
        PlannedGenome genome{"g" + std::to_string(index), {}, {}, {}, 0};
        const int sequences = 1 + below(3);
        int geneNumber = 0;
        std::vector<PlannedGene> placed;
        for (int s = 0; s < sequences; ++s) {
            PlannedSequence sequence{"seq" + std::to_string(s), chance(0.5), {}};
            int64_t start = 1;
            for (int k = below(7); k > 0; --k) {
                start += 1 + below(300);
                // '=' and '&' reach the table as they are and the GFF percent-encoded.
                const std::string id = "g" + std::to_string(index) + (chance(0.2) ? "=" : "_") +
                                       std::to_string(geneNumber++) + (chance(0.1) ? "&x" : "");
                PlannedGene gene{static_cast<std::size_t>(below(static_cast<int>(families))),
                                 chance(0.5), start, id};
                if (!placed.empty() && chance(0.1)) {
                    // One protein annotated at a second place.
                    const PlannedGene& first =
                        placed[static_cast<std::size_t>(below(static_cast<int>(placed.size())))];
                    gene.family = first.family;
                    gene.id = first.id;
                } else if (fragments && chance(0.2)) {
                    for (int f = 1 + below(2); f > 0; --f)
                        gene.fragments.push_back(id + ".f" + std::to_string(f));
                }
                placed.push_back(gene);
                sequence.genes.push_back(std::move(gene));
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
    // before it that the table does not list. With a `featureId`, that is the ID attribute and
    // the listed ID one of the others.
    std::string geneAttributes(const std::string& id, const std::string& featureId = "") {
        static const char* names[] = {"ID", "locus_tag", "protein_id", "Name"};
        const int first = featureId.empty() ? 0 : 1;
        const int listedAt = first + below(4 - first);
        std::string text = featureId.empty() ? "product=some protein" : "ID=" + featureId;
        for (int k = first; k < 4; ++k) {
            if (k < listedAt && chance(0.6)) {
                text += std::string(";") + names[k] + "=decoy-" + encoded(id);
            } else if (k == listedAt) {
                text += std::string(";") + names[k] + "=" + encoded(id);
            }
        }
        return text;
    }

    void writeGff(PlannedGenome& genome) {
        std::map<std::string, int> places;
        for (const PlannedSequence& sequence : genome.sequences)
            for (const PlannedGene& gene : sequence.genes) ++places[gene.id];
        std::vector<PlannedLine> lines;
        for (std::size_t s = 0; s < genome.sequences.size(); ++s) {
            const PlannedSequence& sequence = genome.sequences[s];
            if (sequence.circular || chance(0.3)) {
                lines.push_back({s, "region", otherFeature,
                                 sequence.circular
                                     ? (chance(0.5) ? "Is_circular=true" : "ID=r;Is_circular=TRUE")
                                     : "ID=r;Is_circular=false"});
            }
            for (std::size_t g = 0; g < sequence.genes.size(); ++g) {
                const PlannedGene& gene = sequence.genes[g];
                // The features of an ID at several places are told apart by their own IDs.
                const std::string attributes = geneAttributes(
                    gene.id, places[gene.id] > 1 ? sequence.id + "-cds" + std::to_string(g) : "");
                for (int piece = chance(0.3) ? 1 + below(3) : 1; piece > 0; --piece)
                    lines.push_back({s, "CDS", static_cast<int>(g), attributes});
                for (const std::string& fragment : gene.fragments) {
                    const std::size_t at =
                        static_cast<std::size_t>(below(static_cast<int>(genome.sequences.size())));
                    const std::string fragmentAttributes = geneAttributes(fragment);
                    for (int piece = 1 + below(2); piece > 0; --piece)
                        lines.push_back({at, "CDS", fragmentFeature, fragmentAttributes});
                }
                // A feature of another type under the same ID, anywhere.
                if (chance(0.3))
                    lines.push_back({s, "gene", otherFeature, "locus_tag=" + encoded(gene.id)});
            }
            for (int k = below(3); k > 0; --k) {
                const std::string id = "other" + std::to_string(genome.leftOut++);
                for (int piece = 1 + below(2); piece > 0; --piece)
                    lines.push_back({s, "CDS", otherFeature, "ID=" + id});
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
            char strand = "+-.?"[below(line.gene == fragmentFeature ? 2 : 4)];
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

// A table layout: OrthoFinder's (tabs), Roary's (longer) or Panaroo's.
struct TableLayout {
    bool tabs;
    bool longer;
    bool panaroo() const { return !tabs && !longer; }
};

// The table in `layout`, genome columns in `columns` order, rows shuffled, each cell's genes in
// random order, an ID at several places listed once.
std::string tableText(Planner& planner, const std::vector<PlannedGenome>& genomes,
                      const std::vector<std::size_t>& columns, std::size_t families,
                      TableLayout layout) {
    // Per family and genome, each gene as its ID and fragments.
    std::vector<std::vector<std::vector<std::vector<std::string>>>> cells(
        families, std::vector<std::vector<std::vector<std::string>>>(genomes.size()));
    for (std::size_t g = 0; g < genomes.size(); ++g) {
        for (const PlannedSequence& sequence : genomes[g].sequences) {
            for (const PlannedGene& gene : sequence.genes) {
                auto& cell = cells[gene.family][g];
                if (std::none_of(cell.begin(), cell.end(),
                                 [&](const auto& listed) { return listed[0] == gene.id; })) {
                    cell.push_back({gene.id});
                    cell.back().insert(cell.back().end(), gene.fragments.begin(),
                                       gene.fragments.end());
                }
            }
        }
    }
    std::vector<std::size_t> rows(families);
    for (std::size_t f = 0; f < families; ++f) rows[f] = f;
    std::shuffle(rows.begin(), rows.end(), planner.random());

    const bool tabs = layout.tabs;
    const bool longer = layout.longer;
    // Genes in a cell: ", " in OrthoFinder's table, tabs or ';' in Roary's, tabs in Panaroo's
    // (where ';' joins the fragments of one gene).
    const std::string separator = tabs ? ", " : longer && planner.chance(0.5) ? ";" : "\t";
    std::ostringstream text;
    const auto refound = [&] { return "0_refound_" + std::to_string(planner.below(9)); };
    const auto cellText = [&](std::vector<std::vector<std::string>> genes) {
        if (!tabs) {
            // Panaroo's marks: a suffix after the GFF's ID, a refound gene or fragment that no
            // GFF holds.
            for (std::vector<std::string>& pieces : genes) {
                for (std::string& id : pieces)
                    if (planner.chance(0.2)) id += planner.chance(0.5) ? "_len" : "_stop";
                if (layout.panaroo() && planner.chance(0.1)) {
                    pieces.insert(pieces.begin() + planner.below(static_cast<int>(pieces.size())),
                                  refound());
                }
            }
            if (planner.chance(0.2)) genes.push_back({refound()});
        }
        std::shuffle(genes.begin(), genes.end(), planner.random());
        std::string cell;
        for (const std::vector<std::string>& pieces : genes) {
            cell += cell.empty() ? "" : separator;
            for (std::size_t k = 0; k < pieces.size(); ++k) cell += (k > 0 ? ";" : "") + pieces[k];
        }
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
        const TableLayout layout{planner.chance(0.5), planner.chance(0.5)};
        std::vector<PlannedGenome> genomes;
        for (std::size_t g = 0, count = 1 + planner.below(4); g < count; ++g)
            genomes.push_back(planner.genome(g, families, layout.panaroo()));
        std::vector<std::size_t> columns(genomes.size());
        for (std::size_t g = 0; g < columns.size(); ++g) columns[g] = g;
        std::shuffle(columns.begin(), columns.end(), planner.random());

        std::istringstream tableIn(tableText(planner, genomes, columns, families, layout));
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
