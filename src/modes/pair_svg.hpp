#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "compare/dist_pair.hpp"
#include "solver/operation_record.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// What the heading of the picture of a pair says about the comparison.
struct PairComparison {
    double cost = 0.0;
    EventCounts events{};  // of the shortest sequence, by event code
    std::string copyRule;  // how copies were paired: "order" or "context"
    OperationWeights weights{};
};

// How much the picture of a pair draws. Any pair stays under 2 MB with the default limits: every
// element has a bounded size (gene names are cut to 24 characters, structure names to 80), at
// most `chromosomes` chromosomes per genome are drawn, and the largest blocks on them, at most
// `blocks` and no more than 1.7 MB of text.
struct PairDrawingLimits {
    // Up to this many genes in each genome every gene is drawn on its own; beyond, each
    // conserved run is one block.
    std::size_t singleGenes = 60;
    // Beyond this many blocks (or bytes) the smallest are left out, and counted in the heading.
    std::size_t blocks = 2500;
    // Beyond this many chromosomes in a genome the smallest are left out, with their blocks.
    std::size_t chromosomes = 400;
};

// Draws two genomes as an SVG picture: the first genome's chromosomes in a row above, the
// second's below, each in file order, numbered and marked linear (a bar at each end) or circular
// (a loop back to the start). Genes are arrows pointing with their strand; a conserved run (genes
// adjacent in both genomes with the same relative orientation, within the chromosomes as
// written) is one block, labelled with its first and last gene and its gene count. Each gene or
// block that both genomes hold is a group of class "block" and of the colour class of its
// chromosome below ("c0" to "c19"): its arrow above, a band down to its partner (class "band",
// and "crossed" when the block is inverted, its sides crossing over) and its arrow below. Genes
// only one genome holds are grey arrows of class "only" without a band. A gene whose name some
// genome holds more than once is written name#k, its k-th copy in its own genome. Every arrow
// has a title; arrows wide enough also show it as a label. The heading names the genomes and
// gives the cost, the count of each kind of operation, the copy rule and the weights. Genes of
// both structures are numbered alike and densely, as dist mode numbers them (tables are indexed
// by code): a code held by both is one gene, paired.
void writePairSvg(std::ostream& out, const ChromosomalStructure& first,
                  const ChromosomalStructure& second, const GeneTable& names,
                  const PairComparison& comparison, const PairDrawingLimits& limits = {});

// The picture of a pair that dist mode compared (`pair.svg`): its two structures as their copies
// were paired, the cost and events of its shortest sequence, and the settings it ran with.
void writePairSvg(std::ostream& out, const DistPair& pair, const PairSettings& settings,
                  double cost, const EventCounts& events, const PairDrawingLimits& limits = {});

}  // namespace varnet
