#include "orders/gene_orders.hpp"

#include <stdexcept>
#include <unordered_set>

namespace varnet {

FamilyIndex::FamilyIndex(const FamilyTable& table) : byGenome_(table.genomes.size()) {
    for (std::size_t f = 0; f < table.families.size(); ++f) {
        for (const FamilyMember& member : table.families[f].members) {
            const auto [it, added] = byGenome_[member.genome].emplace(member.id, f);
            if (added) continue;
            const Family& first = table.families[it->second];
            const Family& again = table.families[f];
            throw std::runtime_error("the gene \"" + member.id + "\" of genome \"" +
                                     table.genomes[member.genome] +
                                     "\" is listed twice: in the family \"" + first.name +
                                     "\" (line " + std::to_string(first.line) + ") and in \"" +
                                     again.name + "\" (line " + std::to_string(again.line) + ")");
        }
    }
}

std::optional<std::size_t> FamilyIndex::familyOf(std::size_t genome, std::string_view id) const {
    const auto& families = byGenome_[genome];
    const auto found = families.find(id);
    if (found == families.end()) return std::nullopt;
    return found->second;
}

void checkEveryListedGeneFound(const FamilyTable& table,
                               const std::vector<GenomeAnnotation>& annotations) {
    constexpr std::size_t named = 10;
    std::vector<std::unordered_set<std::string_view>> found(annotations.size());
    for (std::size_t g = 0; g < annotations.size(); ++g) {
        for (const AnnotatedSequence& sequence : annotations[g].sequences)
            for (const AnnotatedGene& gene : sequence.genes) found[g].insert(gene.id);
    }
    std::size_t missing = 0;
    std::string list;
    for (const Family& family : table.families) {
        for (const FamilyMember& member : family.members) {
            if (found[member.genome].contains(member.id)) continue;
            if (++missing <= named) {
                list += (missing > 1 ? ", \"" : "\"") + member.id + "\" (genome \"" +
                        table.genomes[member.genome] + "\", family \"" + family.name + "\")";
            }
        }
    }
    if (missing == 0) return;
    throw std::runtime_error(
        std::to_string(missing) + " gene ID" + (missing > 1 ? "s" : "") + " of the table " +
        (missing > 1 ? "are" : "is") + " not in the GFF file of " +
        (missing > 1 ? "their" : "its") + " genome" +
        (missing > named ? "; the first " + std::to_string(named) : std::string()) + ": " + list);
}

GeneOrder orderGenes(const FamilyTable& table, const FamilyIndex& index, std::size_t genome,
                     const GenomeAnnotation& annotation, Topology topology) {
    GeneOrder order{table.genomes[genome], {}};
    for (const AnnotatedSequence& sequence : annotation.sequences) {
        const bool circular = topology == Topology::FromAnnotation ? sequence.circular
                                                                   : topology == Topology::Circular;
        order.chromosomes.push_back({circular, {}});
        OrderedChromosome& chromosome = order.chromosomes.back();
        chromosome.genes.reserve(sequence.genes.size());
        for (const AnnotatedGene& gene : sequence.genes)
            chromosome.genes.push_back({*index.familyOf(genome, gene.id), gene.reverse});
    }
    return order;
}

}  // namespace varnet
