#include "orders/gene_orders.hpp"

#include <stdexcept>
#include <unordered_set>

namespace varnet {

FamilyIndex::FamilyIndex(const FamilyTable& table) : byGenome_(table.genomes.size()) {
    const auto add = [&](std::size_t genome, const std::string& id, std::size_t f, bool further) {
        const auto [it, added] = byGenome_[genome].emplace(id, Listing{f, further});
        if (added) return;
        const Family& first = table.families[it->second.family];
        const Family& again = table.families[f];
        throw std::runtime_error("the gene \"" + id + "\" of genome \"" + table.genomes[genome] +
                                 "\" is listed twice: in the family \"" + first.name + "\" (line " +
                                 std::to_string(first.line) + ") and in \"" + again.name +
                                 "\" (line " + std::to_string(again.line) + ")");
    };
    for (std::size_t f = 0; f < table.families.size(); ++f) {
        for (const FamilyMember& member : table.families[f].members) {
            add(member.genome, member.id, f, false);
            for (const std::string& fragment : member.fragments)
                add(member.genome, fragment, f, true);
        }
    }
}

const FamilyIndex::Listing* FamilyIndex::find(std::size_t genome, std::string_view id) const {
    const auto& listings = byGenome_[genome];
    const auto found = listings.find(id);
    return found == listings.end() ? nullptr : &found->second;
}

std::optional<std::size_t> FamilyIndex::familyOf(std::size_t genome, std::string_view id) const {
    const Listing* listing = find(genome, id);
    if (listing == nullptr) return std::nullopt;
    return listing->family;
}

bool FamilyIndex::isFurtherFragment(std::size_t genome, std::string_view id) const {
    const Listing* listing = find(genome, id);
    return listing != nullptr && listing->furtherFragment;
}

void checkEveryListedGeneFound(const FamilyTable& table,
                               const std::vector<GenomeAnnotation>& annotations,
                               const std::string& advice) {
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
            const auto check = [&](const std::string& id) {
                if (found[member.genome].contains(id)) return;
                if (++missing <= named) {
                    list += (missing > 1 ? ", \"" : "\"") + id + "\" (genome \"" +
                            table.genomes[member.genome] + "\", family \"" + family.name + "\")";
                }
            };
            check(member.id);
            for (const std::string& fragment : member.fragments) check(fragment);
        }
    }
    if (missing == 0) return;
    throw std::runtime_error(
        std::to_string(missing) + " gene ID" + (missing > 1 ? "s" : "") + " of the table " +
        (missing > 1 ? "are" : "is") + " not in the GFF file of " +
        (missing > 1 ? "their" : "its") + " genome" +
        (missing > named ? "; the first " + std::to_string(named) : std::string()) + ": " + list +
        advice);
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
        for (const AnnotatedGene& gene : sequence.genes) {
            if (!index.isFurtherFragment(genome, gene.id))
                chromosome.genes.push_back({*index.familyOf(genome, gene.id), gene.reverse});
        }
        if (chromosome.genes.empty()) order.chromosomes.pop_back();
    }
    return order;
}

}  // namespace varnet
