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
        const int changes = divergence.shuffled ? 0 : std::max(1, geneCount / 25);
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

}  // namespace varnet::bench
