#include "support/random_structures.hpp"

#include <algorithm>

#include "structures/gene_numbering.hpp"

namespace varnet::testing {
namespace {

bool chance(std::mt19937& random, double rate) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < rate;
}

int pick(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

std::vector<Chromosome> dropGenes(std::mt19937& random, std::vector<Chromosome> raw, double rate) {
    for (Chromosome& chromosome : raw) {
        std::vector<int32_t> kept;
        for (const int32_t gene : chromosome.genes) {
            if (!chance(random, rate)) kept.push_back(gene);
        }
        if (!kept.empty()) chromosome.genes = std::move(kept);
    }
    return raw;
}

// Two related structures, "A" and "B", with their genes written as sign * gene id.
std::vector<ChromosomalStructure> generateSignedPair(std::mt19937& random,
                                                     const GeneratorOptions& options) {
    std::vector<int32_t> genes;
    for (int id = 1; id <= options.geneCount; ++id) {
        genes.push_back(chance(random, 0.5) ? id : -id);
        if (chance(random, options.duplicateRate)) genes.push_back(chance(random, 0.5) ? id : -id);
    }
    for (int k = 0; k < options.manyCopies; ++k) {
        const int id = pick(random, 1, options.geneCount);
        for (int copy = pick(random, 9, 39); copy > 0; --copy)
            genes.push_back(chance(random, 0.5) ? id : -id);
    }
    std::shuffle(genes.begin(), genes.end(), random);

    const int count = std::min<int>(pick(random, 1, std::max(1, options.maxChromosomes)),
                                    static_cast<int>(genes.size()));
    std::vector<Chromosome> common(static_cast<std::size_t>(std::max(count, 1)));
    for (std::size_t k = 0; k < genes.size(); ++k) {
        common[k < common.size() ? k : static_cast<std::size_t>(pick(random, 0, count - 1))]
            .genes.push_back(genes[k]);
    }
    for (Chromosome& chromosome : common)
        chromosome.circular = chance(random, options.circularRate);

    std::vector<Chromosome> second = common;
    for (int step = 0; step < options.rearrangements; ++step) {
        Chromosome& chromosome =
            second[static_cast<std::size_t>(pick(random, 0, static_cast<int>(second.size()) - 1))];
        const int size = static_cast<int>(chromosome.genes.size());
        const int from = pick(random, 0, size - 1);
        const int to = pick(random, from, size - 1);
        std::reverse(chromosome.genes.begin() + from, chromosome.genes.begin() + to + 1);
        for (int k = from; k <= to; ++k) chromosome.genes[static_cast<std::size_t>(k)] *= -1;
        if (chance(random, 0.3)) chromosome.circular = !chromosome.circular;
    }

    std::vector<Chromosome> first = dropGenes(random, common, options.missingRate);
    second = dropGenes(random, second, options.missingRate);
    int nextId = options.geneCount + 1;
    for (std::vector<Chromosome>* side : {&first, &second}) {
        if (!chance(random, options.wholeChromosomeRate)) continue;
        Chromosome extra{chance(random, 0.5), {}};
        for (int k = pick(random, 1, 3); k > 0; --k) extra.genes.push_back(nextId++);
        side->push_back(std::move(extra));
    }
    return {{"A", std::move(first)}, {"B", std::move(second)}};
}

}  // namespace

GeneTable numberGenerated(std::vector<ChromosomalStructure>& structures) {
    const std::vector<int32_t> copies = numberCopies(structures);
    std::vector<std::string> names(copies.size());
    for (std::size_t id = 1; id < names.size(); ++id) names[id] = "g" + std::to_string(id);
    return GeneTable(std::move(names), copies);
}

std::pair<ChromosomalStructure, ChromosomalStructure> generatePair(std::mt19937& random,
                                                                   const GeneratorOptions& options,
                                                                   GeneTable* genes) {
    std::vector<ChromosomalStructure> pair = generateSignedPair(random, options);
    GeneTable numbered = numberGenerated(pair);
    if (genes != nullptr) *genes = std::move(numbered);
    return {std::move(pair[0]), std::move(pair[1])};
}

std::vector<ChromosomalStructure> generateNamedStructures(uint32_t seed, std::size_t count,
                                                          GeneTable* genes) {
    std::mt19937 random(seed);
    std::vector<ChromosomalStructure> structures;
    while (structures.size() < count) {
        GeneratorOptions options;
        options.manyCopies = structures.size() % 3 == 0 ? 1 : 0;
        for (ChromosomalStructure& structure : generateSignedPair(random, options))
            structures.push_back(std::move(structure));
    }
    structures.resize(count);
    for (std::size_t k = 0; k < count; ++k)
        structures[k].name = "genome_" + std::to_string(1000 + k);
    GeneTable numbered = numberGenerated(structures);
    if (genes != nullptr) *genes = std::move(numbered);
    return structures;
}

}  // namespace varnet::testing
