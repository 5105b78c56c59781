#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"

namespace varnet {

// The copies of each gene that `a` and `b` hold, and a pairing of them. Copies are renumbered
// from the pairing: for each gene, the paired copies take its smallest codes present in the two
// structures, then the unpaired copies of each structure take the codes after those. So a
// pairing is expressed through the codes alone, the k-th code of a gene in `a` standing for the
// k-th in `b`, and every code used is one the pair already holds. One object may serve pair
// after pair (`reset`), keeping its memory; it is not for use by two threads at once.
class CopyPairing {
public:
    CopyPairing() = default;
    // Pairs the copies of `a` and `b`, reading their genes (`genes` gives the gene of every code).
    CopyPairing(const ChromosomalStructure& a, const ChromosomalStructure& b,
                const GeneTable& genes) {
        occurrencesOf(a, genes, readA_);
        occurrencesOf(b, genes, readB_);
        reset(a, b, readA_, readB_);
    }
    CopyPairing(const CopyPairing&) = delete;
    CopyPairing& operator=(const CopyPairing&) = delete;

    // A gene of a structure as the pairing reads it.
    struct Occurrence {
        // The gene as its place in the order of the names (`GeneTable::nameOrderOf`), so that
        // the pairing depends on the names, never on where in the file a name first appears.
        int32_t gene = 0;
        uint32_t code = 0;  // absolute
        // Neighbour of each end (0: where the gene is entered reading its + strand, 1: where it
        // is left): 2 * occurrence + its end, or `none` at a telomere.
        std::size_t neighbour[2] = {none, none};
        // A hash of the genes and ends met walking a few genes away from each end: it depends
        // on the structure alone, not on where a circle is written to start nor on the order of
        // chromosomes.
        uint64_t fingerprint = 0;
    };
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // The genes of `s` in reading order.
    static void occurrencesOf(const ChromosomalStructure& s, const GeneTable& genes,
                              std::vector<Occurrence>& into);

    // Forgets the previous pair and pairs the copies of `a` and `b`, whose genes (`occurrencesOf`)
    // are `genesOfA` and `genesOfB`; all four must outlive the use.
    void reset(const ChromosomalStructure& a, const ChromosomalStructure& b,
               const std::vector<Occurrence>& genesOfA, const std::vector<Occurrence>& genesOfB);

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

    // Writes `a` and `b` renumbered for `pairing` into other structures than themselves.
    void renumber(const Pairing& pairing, ChromosomalStructure& a, ChromosomalStructure& b) const;
    // The partner in `a` of every occurrence of `b` under `pairing`, into `into`.
    void partnersInB(const Pairing& pairing, std::vector<std::size_t>& into) const;

    // Every pairing of the copies of choice `choice` (as many pairs as the smaller side holds),
    // into `into` one after another: for each copy of the smaller side in order, the index of
    // its partner among the copies of the larger side.
    void alternatives(std::size_t choice, std::vector<std::size_t>& into) const;
    // Pairs the copies of choice `choice` as `alternative` (one of `alternatives`) says, in
    // `pairing` and in `partnerOfB` (its `partnersInB`).
    void apply(std::size_t choice, std::span<const std::size_t> alternative, Pairing& pairing,
               std::vector<std::size_t>& partnerOfB) const;

    // Links the vertices of the joint graph of `pairing` (with `partnerOfB`, its `partnersInB`)
    // for `componentScore`, in time linear in the genes of the pair.
    void linkAll(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB);
    // Marks the vertices whose edges differ between pairings of the copies of choice `choice`,
    // `pairing` (with `partnerOfB`) being the pairing last linked, and walks the stretches of
    // the graph from them to the next marked vertex or telomere, which all those pairings share,
    // at most `maxStretch` edges each.
    void prepareChoice(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB,
                       std::size_t choice);
    // How well `pairing`, which differs from the pairing last linked at most in the copies of
    // the choice prepared, joins the two structures where those copies lie: over the components
    // of the pair's joint graph through the marked vertices (the only components that differ
    // between pairings of those copies), twice the cycles plus the paths that end in a telomere
    // of each structure, less twice half (rounded up) the runs of unpaired genes on each
    // component. A stretch that reaches no marked vertex within `maxStretch` edges (a telomere
    // within `maxStretch` - 1, as the telomere is read as one more link) counts as leading far
    // away, where a component no longer counts as a cycle or such a path. More is better, as the
    // fewest operations make the most cycles. `pairing` is linked from then on. The work is linear
    // in the marked vertices and in the unpaired genes beside them.
    long componentScore(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB);

    // Pairs the copies of `a` and `b` as `maxTriedCopies` says and writes them renumbered for the
    // pairing kept to `pairedA` and `pairedB` (other structures than `a` and `b`), given their
    // genes (`occurrencesOf`), which a caller that meets each structure in many pairs keeps. The
    // pairing does not depend on which structure comes first: the pair is read in an order fixed
    // by the structures' contents.
    void pairBest(const ChromosomalStructure& a, const ChromosomalStructure& b,
                  ChromosomalStructure& pairedA, ChromosomalStructure& pairedB,
                  const std::vector<Occurrence>& genesOfA, const std::vector<Occurrence>& genesOfB);

private:
    // Occurrences of every gene, gene by gene: `items` from `start[g]` to `start[g + 1]`.
    struct ByGene {
        std::vector<std::size_t> start;
        std::vector<std::size_t> items;
        std::span<const std::size_t> operator[](std::size_t g) const {
            return {items.data() + start[g], items.data() + start[g + 1]};
        }
    };
    // The pair's genes: `slotA_`, `slotB_` and `geneCount_`.
    void numberGenes();
    void byGene(const std::vector<std::size_t>& slots, ByGene& into);
    void pairByContext();
    void pair(std::size_t x, std::size_t y);
    // Pairs the neighbours of the paired occurrences of A in `queue`, and theirs, and so on.
    void spread();
    std::size_t agreement(std::size_t x, std::size_t y) const;
    // The codes of the occurrences of copied gene `g` for `pairing`, into `codeOfA_`, `codeOfB_`.
    void codeGene(std::size_t g, const Pairing& pairing,
                  const std::vector<std::size_t>& partnerOfB) const;

    const ChromosomalStructure* a_ = nullptr;
    const ChromosomalStructure* b_ = nullptr;
    std::span<const Occurrence> inA_;
    std::span<const Occurrence> inB_;
    std::vector<Occurrence> readA_;  // the genes the constructor of a pair reads
    std::vector<Occurrence> readB_;
    // The pair's index of the gene of every occurrence: its gene id, or its rank among the
    // pair's genes when the ids run far beyond the genes of the pair.
    std::vector<std::size_t> slotA_;
    std::vector<std::size_t> slotB_;
    std::vector<int32_t> pairGenes_;
    ByGene genesInA_;
    ByGene genesInB_;
    std::size_t geneCount_ = 0;
    std::vector<Choice> choices_;
    std::vector<std::size_t> copiedGenes_;  // held more than once on some side
    Pairing context_;
    std::vector<std::size_t> partnerOfB_;  // while pairing by context
    // Memory kept from pair to pair.
    std::vector<std::size_t> queue_;
    // By gene: the context did not pair its copies with certainty (through paired neighbours,
    // or as the one candidate whose two neighbours agree).
    std::vector<bool> uncertain_;
    std::vector<std::size_t> leftA_;
    std::vector<std::size_t> leftB_;
    std::vector<std::size_t> next_;
    mutable std::vector<std::size_t> partnerOf_;
    mutable std::vector<uint32_t> codeOfA_;
    mutable std::vector<uint32_t> codeOfB_;
    mutable std::vector<uint32_t> codes_;
    mutable std::vector<std::size_t> paired_;
    mutable std::vector<std::size_t> aloneA_;
    mutable std::vector<std::size_t> aloneB_;
    mutable std::vector<std::size_t> order_;
    // The joint graph for `componentScore`. Vertex 2 * x + end is an end of paired occurrence x
    // of `a`; `links_[2 * v + side]` is 2 * (w + 1) + run for its edge of `a` (side 0) or `b` to
    // vertex w (w + 1 = 0 at a telomere), run 1 when the edge passes over unpaired genes.
    std::size_t edgeOf(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB,
                       std::size_t v, std::size_t side) const;
    std::vector<std::size_t> links_;
    // The choice prepared: its marked vertices, by vertex the choice that marked it last (<< 2)
    // and its changing sides, and for each side that stays (2 * v + side) the stretch from it.
    std::vector<std::size_t> seeds_;
    std::vector<uint64_t> variable_;
    uint64_t choiceStamp_ = 0;
    std::vector<std::size_t> segments_;  // 2 * (vertex + 1) + the side of the stretch's last edge
    std::vector<std::size_t> runs_;
    std::vector<uint64_t> seen_;  // by vertex: the walk that met it last
    uint64_t walkStamp_ = 0;
    // `pairBest`: the pairing kept so far and the alternatives of a choice.
    Pairing best_;
    std::vector<std::size_t> bestInB_;
    std::vector<std::size_t> others_;
    std::vector<std::size_t> current_;
};

// Copies paired by context, then, for every gene with at most `maxTriedCopies` copies on each
// side whose copies the context did not pair with certainty, each other pairing of that gene's
// copies (at most 4 * 3 * 2) scored by `CopyPairing::componentScore`, the best kept (one gene
// after another, a change kept when it scores more). The work of a pair is linear in its genes
// (n log n when the names of the file far outnumber them), plus, for each gene tried, the
// stretches from its at most 24 marked vertices (`maxStretch` edges each) and for each of its
// pairings a walk over those vertices, besides the unpaired genes passed over beside its copies.
constexpr std::size_t maxTriedCopies = 4;
// Stretches longer than this (at high divergence, the long components' bulk) are cut short.
constexpr std::size_t maxStretch = 16;

// `CopyPairing::pairBest` for one pair, renumbering `a` and `b` in place.
void pairCopiesByContext(const GeneTable& genes, ChromosomalStructure& a, ChromosomalStructure& b);

}  // namespace varnet
