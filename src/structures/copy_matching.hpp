#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_name_table.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// The gene groups of a table of names by code group.
class GeneGroups;
GeneGroups geneGroupsFromNames(const GeneNameTable& names);

// How the copies of a gene in one structure are paired with the copies in the other: `order`
// pairs the k-th with the k-th; `context` pairs copies whose neighbours are paired.
enum class CopyRule { order, context };

// "order" or "context"; throws for any other text.
CopyRule parseCopyRule(const std::string& text);

// The gene id of every gene code: codes of one gene occupy consecutive code groups (code / 10),
// in the order of its copies (see `numberCopies`).
class GeneGroups {
public:
    GeneGroups() = default;
    // `firstGroups[id]` is the first group of gene id; the last entry ends the last gene.
    explicit GeneGroups(std::vector<int32_t> firstGroups) : firstGroups_(std::move(firstGroups)) {}

    // Without first groups every group is a gene of its own.
    int32_t geneOf(uint32_t code) const;
    const std::vector<int32_t>& firstGroups() const { return firstGroups_; }
    bool operator==(const GeneGroups&) const = default;

private:
    std::vector<int32_t> firstGroups_;
};

// What comparing two structures takes besides the structures: the operation weights, how copies
// are paired, and the gene of every code (for pairing by context).
struct PairSettings {
    PairSettings(const OperationWeights& operationWeights = {}) : weights(operationWeights) {}

    OperationWeights weights{};
    CopyRule copies = CopyRule::order;
    GeneGroups genes;
    bool operator==(const PairSettings&) const = default;
};

// The copies of each gene that `a` and `b` hold, and a pairing of them. Copies are renumbered
// from the pairing: for each gene, the paired copies take its smallest codes present in the two
// structures, then the unpaired copies of each structure take the codes after those. So a
// pairing is expressed through the codes alone, the k-th code of a gene in `a` standing for the
// k-th in `b`, and every code used is one the pair already holds.
class CopyPairing {
public:
    // `geneOf` gives the gene of an absolute code; the codes of a gene ascend with its copies.
    CopyPairing(const ChromosomalStructure& a, const ChromosomalStructure& b,
                const std::function<int32_t(uint32_t)>& geneOf);

    // The genes with copies on both sides and more than one copy on some side, whose pairing is
    // a choice: their copies in `a` and `b` (indices of occurrences in reading order).
    struct Choice {
        std::span<const std::size_t> inA;
        std::span<const std::size_t> inB;
    };
    const std::vector<Choice>& choices() const { return choices_; }

    // The partner in `b` of every occurrence of `a` (or `unpaired`).
    using Pairing = std::vector<std::size_t>;
    static constexpr std::size_t unpaired = static_cast<std::size_t>(-1);

    // Copies paired by context: genes held once on each side pair first; then, repeatedly, two
    // copies of one gene whose neighbours at the same gene end are paired with each other; what
    // is left pairs by how many neighbours agree and then by a fingerprint of the surroundings,
    // neither of which depends on where a circular chromosome is written to start or on the
    // order of chromosomes. As many copies as the smaller side holds are paired.
    const Pairing& byContext() const { return context_; }
    // Whether the context pairing paired every copy of choice `choice` with certainty: through
    // paired neighbours, or as the one candidate whose two neighbours agree.
    bool settledByNeighbours(std::size_t choice) const { return settled_[choice]; }

    // Writes `a` and `b` with their copies renumbered for `pairing`.
    void renumber(const Pairing& pairing, ChromosomalStructure& a, ChromosomalStructure& b) const;

    // Every complete pairing of the copies of choice `choice` (as many pairs as the smaller side
    // holds), the other genes paired as in `base`.
    std::vector<Pairing> alternatives(const Pairing& base, std::size_t choice) const;

private:
    struct Occurrence {
        int32_t gene = 0;
        uint32_t code = 0;  // absolute
        std::size_t chromosome = 0;
        std::size_t position = 0;
        // Neighbour of each end (0: where the gene is entered reading its + strand, 1: where it
        // is left): 2 * occurrence + its end, or `none` at a telomere.
        std::size_t neighbour[2] = {none, none};
        uint64_t fingerprint = 0;
    };
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    static std::vector<Occurrence> occurrencesOf(const ChromosomalStructure& s,
                                                 const std::function<int32_t(uint32_t)>& geneOf);
    // Occurrences of every gene, gene by gene: `items` from `start[g]` to `start[g + 1]`.
    struct ByGene {
        std::vector<std::size_t> start;
        std::vector<std::size_t> items;
        std::span<const std::size_t> operator[](std::size_t g) const {
            return {items.data() + start[g], items.data() + start[g + 1]};
        }
    };
    static ByGene byGene(const std::vector<Occurrence>& occurrences, std::size_t genes);
    // A hash of the genes and ends met walking a few genes away from each end, for the
    // occurrences of genes with copies.
    void fingerprint(std::vector<Occurrence>& occurrences) const;
    void pairByContext();
    void pair(std::size_t x, std::size_t y);
    // Pairs the neighbours of the paired occurrences of A in `queue`, and theirs, and so on.
    void spread(std::vector<std::size_t> queue);
    std::size_t agreement(std::size_t x, std::size_t y) const;

    const ChromosomalStructure& a_;
    const ChromosomalStructure& b_;
    std::vector<Occurrence> inA_;
    std::vector<Occurrence> inB_;
    ByGene genesInA_;
    ByGene genesInB_;
    std::size_t geneCount_ = 0;
    std::vector<Choice> choices_;
    Pairing context_;
    std::vector<std::size_t> partnerOfB_;  // while pairing by context
    std::vector<bool> settled_;
};

// The pairing of copies that the cheapest of the pairings tried gives (`cost` of the two
// renumbered structures): the context pairing, then, for every gene with at most
// `maxTriedCopies` copies on each side whose copies the context did not pair with certainty,
// every other pairing of that gene's copies with the others kept (one gene after
// another, a change kept when it is cheaper). At most `maxPairingsTried` pairings are costed.
// Writes the renumbered structures to `a` and `b`; returns the cost of the pairing kept when it
// was costed (when there was a choice to try).
constexpr std::size_t maxTriedCopies = 4;
constexpr std::size_t maxPairingsTried = 64;
std::optional<double> pairCopiesByContext(
    const std::function<int32_t(uint32_t)>& geneOf,
    const std::function<double(const ChromosomalStructure&, const ChromosomalStructure&)>& cost,
    ChromosomalStructure& a, ChromosomalStructure& b);

}  // namespace varnet
