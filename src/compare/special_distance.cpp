#include "compare/special_distance.hpp"

#include <stdexcept>

#include "solver/solve.hpp"

namespace varnet {

SpecialDistanceCalculator::SpecialDistanceCalculator(
    const std::vector<ChromosomalStructure>& structures, const StructureTables& tables,
    const PairSettings& settings)
    : structures_(structures), tables_(tables), settings_(settings), input_(tables.vertexCount()) {
    // Both tables as long, so that a build reads them without padding either.
    first_.partner.assign(input_.vertexCount(), 0);
    second_.partner.assign(input_.vertexCount(), 0);
    if (settings_.copies == CopyRule::context) {
        if (settings_.genes == nullptr)
            throw std::invalid_argument("pairing copies by context needs the genes of the file");
        genesOf_.resize(structures.size());
    }
}

double SpecialDistanceCalculator::distance(std::size_t i, std::size_t j) {
    if (structures_[j].chromosomes.empty() || structures_[i].chromosomes.empty())
        return missingStructureDistance;
    // Copies paired by context keep every code of the pair (the copies of a gene take its
    // smallest codes in the pair), so the pair's ends are those of the two structures as written.
    pairEnds_ = tables_.endsOfPair(i, j, endRoom_, eachHoldsAll_);
    if (settings_.copies == CopyRule::order && tables_.keepsAdjacencies()) {
        input_.load(tables_.adjacencyOf(i), tables_.adjacencyOf(j), pairEnds_, eachHoldsAll_);
        return costOfLoadedBothWays() * 0.5;
    }
    if (settings_.copies == CopyRule::order)
        return costBothWays(structures_[i], structures_[j]) * 0.5;
    for (const std::size_t k : {i, j}) {
        if (genesOf_[k].empty())
            CopyPairing::occurrencesOf(structures_[k], *settings_.genes, genesOf_[k]);
    }
    pairer_.pairBest(structures_[i], structures_[j], pairedFirst_, pairedSecond_, genesOf_[i],
                     genesOf_[j]);
    return costBothWays(pairedFirst_, pairedSecond_) * 0.5;
}

double SpecialDistanceCalculator::costBothWays(const ChromosomalStructure& first,
                                               const ChromosomalStructure& second) {
    // Leave both tables empty again whatever happens, so the next pair starts clean: the pair's
    // ends cover those of each structure.
    struct Clear {
        SpecialDistanceCalculator& self;
        ~Clear() {
            for (const uint32_t end : self.pairEnds_)
                self.first_.partner[end] = self.second_.partner[end] = 0;
        }
    } clear{*this};
    fillAdjacencyWithin(first, first_);
    fillAdjacencyWithin(second, second_);
    input_.load(first_, second_, pairEnds_, eachHoldsAll_);
    return costOfLoadedBothWays();
}

double SpecialDistanceCalculator::costOfLoadedBothWays() {
    const double forward = solvedCostOnly(input_, state_, settings_.weights);
    input_.exchangeStructures();
    return forward + solvedCostOnly(input_, state_, settings_.weights);
}

}  // namespace varnet
