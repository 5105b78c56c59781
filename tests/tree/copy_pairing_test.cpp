// Copies paired by context: against the cheapest of every pairing on small pairs, unchanged by
// where circles are written to start and by the order of chromosomes and of genomes, and on
// hand-worked pairs.
#include "compare/copy_pairing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <random>
#include <string>

#include "graph/joint_graph.hpp"
#include "solver/solve.hpp"
#include "structures/gene_numbering.hpp"
#include "support/random_structures.hpp"
#include "tree/pair_distances.hpp"

namespace varnet {
namespace {

const OperationWeights unitWeights = {1, 1, 1, 1, 1, 1};

using Genome = std::vector<std::pair<bool, std::vector<int32_t>>>;  // circular?, signed ids

double forwardCost(const ChromosomalStructure& a, const ChromosomalStructure& b) {
    return solvedCostOnly(adjacencyOf(a), adjacencyOf(b), unitWeights);
}

// The two genomes with their copies numbered as the reader numbers them, and the gene of every
// code.
struct CodedPair {
    ChromosomalStructure a;
    ChromosomalStructure b;
    GeneTable genes;
};

// With `otherNames`, the file lists a genome of that many names of its own first, so that the
// pair's genes get numbers far beyond their count.
CodedPair coded(const Genome& a, const Genome& b, int32_t otherNames = 0) {
    std::vector<ChromosomalStructure> file(3);
    if (otherNames > 0) file[0].chromosomes.push_back({false, {}});
    for (int32_t id = 1000; id < 1000 + otherNames; ++id)
        file[0].chromosomes[0].genes.push_back(id);
    for (std::size_t s = 1; s < 3; ++s) {
        for (const auto& [circular, genes] : s == 1 ? a : b)
            file[s].chromosomes.push_back({circular, genes});
    }
    GeneTable genes = testing::numberGenerated(file);
    return {std::move(file[1]), std::move(file[2]), std::move(genes)};
}

double contextCost(const CodedPair& pair) {
    ChromosomalStructure a = pair.a;
    ChromosomalStructure b = pair.b;
    pairCopiesByContext(pair.genes, a, b);
    return forwardCost(a, b);
}

// The cheapest of every complete pairing of the copies, each costed as the structures renumbered
// for it; empty when there are more than `limit` pairings.
std::optional<double> cheapestPairing(const CodedPair& pair, std::size_t limit) {
    const CopyPairing pairing(pair.a, pair.b, pair.genes);
    std::vector<CopyPairing::Pairing> all = {pairing.byContext()};
    std::vector<std::size_t> others;
    std::vector<std::size_t> partnerOfB;
    for (std::size_t choice = 0; choice < pairing.choices().size(); ++choice) {
        pairing.alternatives(choice, others);
        const CopyPairing::Choice& c = pairing.choices()[choice];
        const std::size_t width = std::min(c.inA.size(), c.inB.size());
        std::vector<CopyPairing::Pairing> next;
        for (const CopyPairing::Pairing& base : all) {
            pairing.partnersInB(base, partnerOfB);
            for (std::size_t k = 0; k < others.size(); k += width) {
                CopyPairing::Pairing& other = next.emplace_back(base);
                pairing.apply(choice, std::span(others).subspan(k, width), other, partnerOfB);
            }
            if (next.size() > limit) return std::nullopt;
        }
        all = std::move(next);
    }
    double best = std::numeric_limits<double>::infinity();
    ChromosomalStructure a;
    ChromosomalStructure b;
    for (const CopyPairing::Pairing& candidate : all) {
        pairing.renumber(candidate, a, b);
        best = std::min(best, forwardCost(a, b));
    }
    return best;
}

// Two related genomes of a few names, 1 to 3 of them in 2 to 4 copies on each side: a shuffled
// ancestor split into chromosomes, the second genome with inversions and a moved gene.
std::pair<Genome, Genome> smallPair(std::mt19937& random) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::vector<int32_t> ids;
    const int names = pick(4, 9);
    const int copied = pick(1, 3);
    for (int id = 1; id <= names; ++id)
        ids.insert(ids.end(), static_cast<std::size_t>(id <= copied ? pick(2, 4) : 1), id);
    std::shuffle(ids.begin(), ids.end(), random);
    for (int32_t& id : ids) id *= pick(0, 1) == 0 ? -1 : 1;
    const auto split = [&](std::vector<int32_t> genes) {
        Genome genome;
        const std::size_t cut = static_cast<std::size_t>(pick(0, 2)) * genes.size() / 3;
        if (cut > 0) genome.push_back({pick(0, 1) == 1, {genes.begin(), genes.begin() + cut}});
        genome.push_back({pick(0, 1) == 1, {genes.begin() + cut, genes.end()}});
        return genome;
    };
    std::vector<int32_t> second = ids;
    const int last = static_cast<int>(second.size()) - 1;
    for (int step = pick(1, 3); step > 0; --step) {
        const int from = pick(0, last);
        const int to = pick(from, last);
        std::reverse(second.begin() + from, second.begin() + to + 1);
        for (auto gene = second.begin() + from; gene <= second.begin() + to; ++gene) *gene = -*gene;
    }
    std::rotate(second.begin(), second.begin() + 1, second.begin() + pick(1, 3));
    return {split(ids), split(second)};
}

// Context pairing is one of the pairings, so never below the cheapest; on these 150 small
// generated pairs it reaches the cheapest on 146.
TEST(CopyPairing, ReachesTheCheapestPairingOnSmallPairs) {
    std::mt19937 random(3030);
    int compared = 0;
    int reached = 0;
    while (compared < 150) {
        const auto [first, second] = smallPair(random);
        const CodedPair pair = coded(first, second);
        const std::optional<double> cheapest = cheapestPairing(pair, 1500);
        if (!cheapest) continue;
        const double context = contextCost(pair);
        ASSERT_GE(context, *cheapest) << "pair " << compared;
        reached += context == *cheapest ? 1 : 0;
        ++compared;
    }
    EXPECT_GE(reached, 146) << reached << " of " << compared;
}

// Writing a circular chromosome from another gene, or listing the chromosomes in another order,
// changes the copy numbers the reader gives, not the cost under context pairing. Besides the
// generated pairs: a mitochondrion whose block -trnV rrnS -trnH trnF is repeated in tandem (ids
// 1 to 4 below), against a rearranged relative, each written from every start.
TEST(CopyPairing, CostIgnoresWhereCirclesStartAndTheOrderOfChromosomes) {
    const auto check = [](const Genome& first, Genome second) {
        const double cost = contextCost(coded(first, second));
        std::reverse(second.begin(), second.end());
        EXPECT_EQ(contextCost(coded(first, second)), cost) << "chromosomes reversed";
        for (std::size_t c = 0; c < first.size(); ++c) {
            const std::vector<int32_t>& genes = first[c].second;
            for (std::size_t start = 1; start < genes.size(); ++start) {
                Genome rotated = first;
                std::rotate(rotated[c].second.begin(),
                            rotated[c].second.begin() + static_cast<long>(start),
                            rotated[c].second.end());
                EXPECT_EQ(contextCost(coded(rotated, second)), cost)
                    << "chromosome " << c << " from gene " << start;
            }
        }
    };
    const Genome tandem = {{true, {-1, 2,  -3,  4,   -1,  2,   -3, 4,   5,   6,   7,  8,  -9, 10,
                                   11, 12, -13, -14, -15, -16, 17, -18, 19,  20,  21, 22, 23, 24,
                                   25, 26, 27,  28,  29,  18,  6,  30,  -31, -32, 33, 34, -35}}};
    const Genome relative = {
        {true, {5,  6, 7,  -14, -15, -16, 17, -18, 19, 21,  22,  23, 24, 26, 27, 28,  30,  1,  3,
                18, 6, 25, -12, -11, -10, 9,  -8,  13, -31, -32, 33, 34, 2,  4,  -35, -20, -29}}};
    check(tandem, relative);
    check(relative, tandem);
    std::mt19937 random(77);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        auto [first, second] = smallPair(random);
        for (auto& chromosome : first) chromosome.first = true;
        check(first, second);
    }
}

// The scores of the components at the copies of a (x=1, a=2, y=3, z=4, g=5) for each pairing of
// them, worked by hand: 2 a cycle, 1 a path from a telomere of A to one of B, less 2 for each
// pair of runs of unpaired genes (rounded up) on a component.
TEST(CopyPairing, ComponentScoresOfEachPairingOfACopiedGene) {
    struct Row {
        const char* name;
        Genome a;
        Genome b;
        std::vector<long> scores;  // for each pairing, in the order `alternatives` gives
    };
    const Row rows[] = {
        // With A's first a: cycles x-a, a-y and y-z, the last over the second a (6 - 2); with
        // the second: one cycle over the first a.
        {"neighbours", {{false, {1, 2, 3, 2, 4}}}, {{false, {1, 2, 3, 4}}}, {4, 0}},
        // g, which B lacks, is a second run on the cycle a-y.
        {"a gene left out", {{false, {1, 2, 5, 3, 2, 4}}}, {{false, {1, 2, 3, 4}}}, {2, 0}},
        // The same g with both copies of a in B, so that A's edges stay in every pairing: in
        // order, the cycles x-a, y-a and a-z score 2 each and the cycle a-y over g 2 - 2;
        // crossed, the cycle of x.2, y.2 and both a 2, the one of a.2, y.1 and z.1 over g 2 - 2.
        {"a gene left out beside copies in both",
         {{false, {1, 2, 5, 3, 2, 4}}},
         {{false, {1, 2, 3, 2, 4}}},
         {6, 2}},
        // With A's first a: the telomere-telomere a (1), the cycle a-x (2), x's end before a
        // run to A's telomere (1 - 2); with the second: two paths ending in telomeres of one
        // structure, one with a run.
        {"telomere", {{false, {2, 1, 2}}}, {{false, {2, 1}}}, {2, -2}},
        // In order: three cycles x-a, a-a, a-y; crossed: one.
        {"copies side by side", {{false, {1, 2, 2, 3}}}, {{false, {1, 2, 2, 3}}}, {6, 2}},
        // Genes c1..c16 (5..20) between y and z in B, reversed on a chromosome of their own in
        // A: from y's head through them to z's tail are 17 edges, too far to follow, so the
        // component of y and z, which holds the run of A's unpaired a, is no cycle: with A's
        // first a 2 + 2 - 2, with the second -2 for its one component.
        {"17 edges to the next copy's neighbour",
         {{false, {1, 2, 3, 2, 4}},
          {false, {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5}}},
         {{false, {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 4}}},
         {2, -2}},
        // c1..c15 after y, z first in B: from y's head 15 edges reach A's telomere at c15's
        // tail, the 16th step, near enough: the component runs from there to B's telomere at
        // z's tail (1 - 2); with the second a, from c15 through x and a to z's tail (1 - 2).
        {"16 steps to a telomere",
         {{false, {1, 2, 3, 2, 4}},
          {false, {19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5}}},
         {{false, {4, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}}},
         {3, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CodedPair pair = coded(row.a, row.b);
        CopyPairing pairing(pair.a, pair.b, pair.genes);
        ASSERT_EQ(pairing.choices().size(), 1u);
        const CopyPairing::Choice& choice = pairing.choices()[0];
        const std::size_t width = std::min(choice.inA.size(), choice.inB.size());
        std::vector<std::size_t> others;
        pairing.alternatives(0, others);
        CopyPairing::Pairing trial = pairing.byContext();
        std::vector<std::size_t> partnerOfB;
        pairing.partnersInB(trial, partnerOfB);
        pairing.linkAll(trial, partnerOfB);
        pairing.prepareChoice(trial, partnerOfB, 0);
        std::vector<long> scores;
        for (std::size_t k = 0; k < others.size(); k += width) {
            pairing.apply(0, std::span(others).subspan(k, width), trial, partnerOfB);
            scores.push_back(pairing.componentScore(trial, partnerOfB));
        }
        EXPECT_EQ(scores, row.scores);
    }
}

// One pairer serves pair after pair, given the genes a caller keeps, as a fresh one
// serves each pair alone, even when told no more of a cost than that it is not below the best;
// the cost it gives is that of the structures it writes.
TEST(CopyPairing, AReusedPairerWithKeptFingerprintsPairsAsAFreshOne) {
    std::mt19937 random(4242);
    // The pairs of one file, whose genes they share, each pair's two one after the other.
    std::vector<ChromosomalStructure> file;
    for (int round = 0; round < 80; ++round) {
        const auto [first, second] = smallPair(random);
        for (const Genome* genome : {&first, &second}) {
            ChromosomalStructure& structure = file.emplace_back();
            for (const auto& [circular, genes] : *genome)
                structure.chromosomes.push_back({circular, genes});
        }
    }
    const GeneTable genes = testing::numberGenerated(file);
    CopyPairing reused;
    for (std::size_t a = 0; a < file.size(); a += 2) {
        SCOPED_TRACE(a);
        std::vector<CopyPairing::Occurrence> genesOf[2];
        for (const std::size_t k : {0, 1})
            CopyPairing::occurrencesOf(file[a + k], genes, genesOf[k]);
        std::array<ChromosomalStructure, 2> paired;
        reused.pairBest(file[a], file[a + 1], paired[0], paired[1], genesOf[0], genesOf[1]);
        std::array<ChromosomalStructure, 2> fresh = {file[a], file[a + 1]};
        pairCopiesByContext(genes, fresh[0], fresh[1]);
        EXPECT_EQ(paired, fresh);
    }
}

// Costs at unit weights, worked by hand. The pairing by order of occurrence pairs copies that
// sit in different places; pairing by context finds the copies with the same neighbours, also
// where the file's other names number the pair's genes far beyond their count.
TEST(CopyPairing, PairsCopiesByTheirNeighboursInHandWorkedPairs) {
    struct Row {
        const char* name;
        Genome a;
        Genome b;
        double context;  // the cost of the evident scenario
    };
    // x=1, a=2, b=3, y=4, z=5 (first row); x=1, a=2, y=3, z=4 and p=5, q=6 or w=5 (others).
    const Row rows[] = {
        // B inverts x..z's inner part, which holds both copies of the pair a b: with the copies
        // paired by neighbours the graph is one four-edge cycle (x.2 a.1 z.1 b.2): one DP.
        {"a duplicated pair inside an inversion",
         {{false, {1, 2, 3, 4, 2, 3, 5}}},
         {{false, {1, -3, -2, -4, -3, -2, 5}}},
         1},
        // The plasmid is listed first in B: its copy of a comes first there.
        {"copies on a plasmid and the chromosome",
         {{true, {1, 2, 3, 4}}, {true, {5, 2, 6}}},
         {{true, {5, 2, 6}}, {true, {1, 2, 3, 4}}},
         0},
        // B's single a sits between y and z, like A's second copy; A's first and third copies
        // are genes B lacks, each a run deleted on its own (aD twice).
        {"copies on one side beyond the other's count",
         {{false, {1, 2, 3, 2, 4, 2, 5}}},
         {{false, {1, 3, 2, 4, 5}}},
         2},
        // B's a sits inverted between z and w, like A's second copy; no neighbour tells A's copies
        // apart, so their pairings are scored: the first deleted, the second inverted, B's 6 and 7
        // inserted after 8 (aD, DP, bD). B holds more genes, so the pair is read from A.
        {"copies no neighbour decides",
         {{false, {1, 2, 3, 4, 2, 5, 8}}},
         {{false, {1, 3, 4, -2, 5, 8, 6, 7}}},
         3},
    };
    for (const Row& row : rows) {
        for (const int32_t otherNames : {0, 200}) {
            SCOPED_TRACE(std::string(row.name) + ", other names " + std::to_string(otherNames));
            const CodedPair pair = coded(row.a, row.b, otherNames);
            EXPECT_EQ(contextCost(pair), row.context);
            // Order pairs other copies, which leaves more to do (every cost here is a count of
            // operations, never below the fewest).
            EXPECT_GT(forwardCost(pair.a, pair.b), row.context);
        }
    }
}

}  // namespace
}  // namespace varnet
