#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orders/family_table.hpp"
#include "orders/gff_annotations.hpp"

namespace varnet {

// One gene of a gene order: a copy of a family, in an orientation.
struct OrderedGene {
    std::size_t family;  // index into FamilyTable::families
    bool reverse;
    bool operator==(const OrderedGene&) const = default;
};

struct OrderedChromosome {
    bool circular;
    std::vector<OrderedGene> genes;
    bool operator==(const OrderedChromosome&) const = default;
};

// A genome as the sequence of families along each of its chromosomes.
struct GeneOrder {
    std::string name;
    std::vector<OrderedChromosome> chromosomes;
    bool operator==(const GeneOrder&) const = default;
};

// Which chromosomes are circular: as the annotation's "region" features say, or all alike.
enum class Topology { FromAnnotation, Circular, Linear };

// Gene ID to family, for each genome column of a family table.
class FamilyIndex {
public:
    // Throws std::runtime_error naming the ID, the genome and the rows when one genome's column
    // lists an ID twice (as a gene or a fragment).
    explicit FamilyIndex(const FamilyTable& table);

    // The family that lists `id` in the column of `genome`, if any.
    std::optional<std::size_t> familyOf(std::size_t genome, std::string_view id) const;
    // Whether `id` names a further fragment of a gene of `genome` (see FamilyMember), which
    // takes no place of its own in the gene order.
    bool isFurtherFragment(std::size_t genome, std::string_view id) const;
    // The number of IDs, genes' and fragments', that the column of `genome` lists.
    std::size_t idCount(std::size_t genome) const { return byGenome_[genome].size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    struct Listing {
        std::size_t family;
        bool furtherFragment;
    };
    const Listing* find(std::size_t genome, std::string_view id) const;

    std::vector<std::unordered_map<std::string, Listing, Hash, std::equal_to<>>> byGenome_;
};

// Throws std::runtime_error when a gene ID of the table is missing from its genome's annotation
// (`annotations` by genome column), listing the first 10 in table order and the count, followed
// by `advice` (empty, or text beginning with "; ").
void checkEveryListedGeneFound(const FamilyTable& table,
                               const std::vector<GenomeAnnotation>& annotations,
                               const std::string& advice);

// The gene order of genome column `genome`: one chromosome per annotated sequence holding genes
// of the table, in the annotation's order; a gene on the minus strand is reversed. A gene the
// table merged from fragments stands at the place of its first fragment.
GeneOrder orderGenes(const FamilyTable& table, const FamilyIndex& index, std::size_t genome,
                     const GenomeAnnotation& annotation, Topology topology);

}  // namespace varnet
