#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace varnet::bench {

// A signed gene id per position and a flag per chromosome.
struct RawChromosome {
    bool circular = false;
    std::vector<int32_t> genes;
};
using RawStructure = std::vector<RawChromosome>;

// How the genomes of a generated file differ from their common ancestor.
struct Divergence {
    double lossRate = 0.02;   // chance that a gene is missing
    double copyRate = 0.005;  // chance that a gene has a second copy next to it
    bool shuffled = false;    // every genome a random signed order of the genes, on one chromosome
    int copiedNames = 0;      // names of the ancestor held in `copiesEach` copies, the first ids
    int copiesEach = 1;
    // When above 0: the ancestor's linear chromosomes (else 1 to 4, some circular), and a tenth
    // of the changes move a run to another chromosome (translocations), as between mammals.
    int chromosomes = 0;
    int moves = 0;  // inversions and moves in each genome when above 0, else one per 25 genes
};

// `count` related genomes of about `geneCount` genes each: one random ancestor split into up to
// four chromosomes (or `divergence.chromosomes`), from which every genome differs by inversions,
// moves, lost genes and a few second copies (or, shuffled, nearly every gene moved). The ancestor
// may hold some names in many copies, the other names once, `geneCount` genes in all. The same seed
// gives the same text.
inline std::string generatedStructureFile(int count, int geneCount, uint32_t seed,
                                          const Divergence& divergence = {}) {
    std::mt19937 random(seed);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto chance = [&](double rate) {
        return std::uniform_real_distribution<double>(0, 1)(random) < rate;
    };

    std::vector<int32_t> ids;
    for (int id = 1; id <= divergence.copiedNames; ++id)
        ids.insert(ids.end(), static_cast<std::size_t>(divergence.copiesEach), id);
    for (int id = divergence.copiedNames + 1; static_cast<int>(ids.size()) < geneCount; ++id)
        ids.push_back(id);
    if (divergence.copiedNames > 0) std::shuffle(ids.begin(), ids.end(), random);
    RawStructure ancestor(
        static_cast<std::size_t>(divergence.chromosomes > 0 ? divergence.chromosomes : pick(1, 4)));
    for (const int32_t id : ids) {
        ancestor[static_cast<std::size_t>(pick(0, static_cast<int>(ancestor.size()) - 1))]
            .genes.push_back(chance(0.5) ? id : -id);
    }
    for (RawChromosome& chromosome : ancestor) {
        chromosome.circular = divergence.chromosomes == 0 && chance(0.25);
        if (chromosome.genes.empty()) chromosome.genes.push_back(1);
    }

    std::ostringstream text;
    text << count << '\n';
    for (int s = 0; s < count; ++s) {
        RawStructure genome = ancestor;
        if (divergence.shuffled) {
            genome.assign(1, RawChromosome{});
            for (const int32_t id : ids) genome[0].genes.push_back(chance(0.5) ? id : -id);
            std::shuffle(genome[0].genes.begin(), genome[0].genes.end(), random);
        }
        const int changes = divergence.shuffled    ? 0
                            : divergence.moves > 0 ? divergence.moves
                                                   : std::max(1, geneCount / 25);
        for (int step = 0; step < changes; ++step) {
            std::vector<int32_t>& genes =
                genome[static_cast<std::size_t>(pick(0, static_cast<int>(genome.size()) - 1))]
                    .genes;
            const int size = static_cast<int>(genes.size());
            const int from = pick(0, size - 1);
            const int to = pick(from, std::min(size - 1, from + 40));
            if (divergence.chromosomes > 0 && genome.size() > 1 && chance(0.1)) {
                std::vector<int32_t>& other =
                    genome[static_cast<std::size_t>(pick(0, static_cast<int>(genome.size()) - 1))]
                        .genes;
                if (&other == &genes || to + 1 - from >= size) continue;
                const auto at = other.begin() + pick(0, static_cast<int>(other.size()));
                other.insert(at, genes.begin() + from, genes.begin() + to + 1);
                genes.erase(genes.begin() + from, genes.begin() + to + 1);
            } else if (chance(0.7)) {
                std::reverse(genes.begin() + from, genes.begin() + to + 1);
                for (int k = from; k <= to; ++k) genes[static_cast<std::size_t>(k)] *= -1;
            } else {
                std::rotate(genes.begin() + from, genes.begin() + to, genes.begin() + to + 1);
            }
        }
        text << "genome_" << 100000 + s << ' ' << genome.size();
        for (RawChromosome& chromosome : genome) {
            std::vector<int32_t> kept;
            for (const int32_t gene : chromosome.genes) {
                if (!chance(divergence.lossRate) || kept.empty()) kept.push_back(gene);
                if (chance(divergence.copyRate)) kept.push_back(gene);
            }
            text << ' ' << (chromosome.circular ? 'C' : 'L') << kept.size() << ' ';
            for (const int32_t gene : kept) text << (gene < 0 ? '-' : '+') << 'g' << std::abs(gene);
        }
        text << '\n';
    }
    return text.str();
}

// `count` mitochondrion-like genomes: one circular chromosome of 37 genes, 13 protein genes, 2
// rRNA and 22 tRNA genes whose names repeat (trnL, trnS and trnA twice, trnR twice), in
// `orders` distinct gene orders derived from one ancestral order by a few moved and inverted
// tRNAs and, rarely, an inverted block. Half the genomes share the ancestral order; the others
// take the derived orders, the earlier ones more often. The same seed gives the same text.
inline std::string mitochondrionLikeFile(int count, int orders, uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> names = {
        "trnF", "rrnS", "trnV", "rrnL", "trnL", "nad1", "trnI",  "trnQ", "trnM", "nad2",
        "trnW", "trnA", "trnN", "trnC", "trnY", "cox1", "trnS",  "trnD", "cox2", "trnK",
        "atp8", "atp6", "cox3", "trnG", "nad3", "trnR", "nad4l", "nad4", "trnH", "trnS",
        "trnL", "nad5", "nad6", "trnR", "cob",  "trnA", "trnP"};
    std::vector<int32_t> ancestor;
    for (std::size_t k = 0; k < 37; ++k) ancestor.push_back(static_cast<int32_t>(k + 1));
    const auto isTrna = [&](int32_t gene) { return names[std::abs(gene) - 1].starts_with("trn"); };
    std::vector<std::vector<int32_t>> derived = {ancestor};
    while (static_cast<int>(derived.size()) < orders) {
        std::vector<int32_t> order =
            derived[static_cast<std::size_t>(pick(0, static_cast<int>(derived.size()) - 1))];
        for (int step = pick(1, 2); step > 0; --step) {
            int from = pick(0, 36);
            if (pick(0, 9) == 0) {
                const int to = std::min(36, from + pick(1, 6));
                std::reverse(order.begin() + from, order.begin() + to + 1);
                for (int k = from; k <= to; ++k) order[static_cast<std::size_t>(k)] *= -1;
                continue;
            }
            while (!isTrna(order[static_cast<std::size_t>(from)])) from = pick(0, 36);
            const int32_t gene = order[static_cast<std::size_t>(from)];
            order.erase(order.begin() + from);
            order.insert(order.begin() + pick(0, 36), pick(0, 3) == 0 ? -gene : gene);
        }
        derived.push_back(std::move(order));
    }
    std::ostringstream text;
    text << count << '\n';
    for (int s = 0; s < count; ++s) {
        std::size_t which = 0;
        if (pick(0, 1) == 1) {
            // The earlier derived orders are the commoner ones.
            const int a = pick(1, static_cast<int>(derived.size()) - 1);
            which = static_cast<std::size_t>(
                std::min(a, pick(1, static_cast<int>(derived.size()) - 1)));
        }
        text << "mt_" << 100000 + s << " 1 C37 ";
        for (const int32_t gene : derived[which])
            text << (gene < 0 ? '-' : '+') << names[static_cast<std::size_t>(std::abs(gene) - 1)];
        text << '\n';
    }
    return text.str();
}

}  // namespace varnet::bench
