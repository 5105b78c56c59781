#include "tree/special_distance.hpp"

#include <algorithm>

#include "solver/solve.hpp"
#include "structures/gene_code.hpp"
#include "structures/gene_numbering.hpp"

namespace varnet {
namespace {

void clearAdjacency(AdjacencyArray& adjacency, const std::vector<uint32_t>& ends) {
    for (const uint32_t end : ends) adjacency.partner[end] = 0;
}

bool holdsNoChromosome(const ChromosomalStructure& structure) {
    return structure.chromosomes.empty();
}

}  // namespace

StructureEnds collectStructureEnds(const std::vector<ChromosomalStructure>& structures) {
    StructureEnds result;
    result.numbered = structures;
    numberCodesDensely(result.numbered);
    result.endsOf.reserve(structures.size());
    for (const ChromosomalStructure& structure : result.numbered) {
        std::vector<uint32_t>& ends = result.endsOf.emplace_back();
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes) {
                ends.push_back(10 * absoluteCode(code) + 1);
                ends.push_back(10 * absoluteCode(code) + 2);
            }
        }
        std::sort(ends.begin(), ends.end());
        ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
        if (!ends.empty())
            result.vertexCount = std::max<std::size_t>(result.vertexCount, ends.back() + 1);
    }
    return result;
}

SpecialDistanceCalculator::SpecialDistanceCalculator(
    const std::vector<ChromosomalStructure>& structures, const StructureEnds& ends,
    const OperationWeights& weights)
    : structures_(structures), ends_(ends), weights_(weights), input_(ends.vertexCount) {
    first_.partner.assign(ends.vertexCount, 0);
    second_.partner.assign(ends.vertexCount, 0);
}

double SpecialDistanceCalculator::solvedCost() {
    return solvedCostOnly(buildJointGraph(input_, SharedAdjacencies::leftOut), weights_);
}

double SpecialDistanceCalculator::distance(std::size_t i, std::size_t j) {
    if (holdsNoChromosome(structures_[j]) || holdsNoChromosome(structures_[i]))
        return missingStructureDistance;
    const std::vector<uint32_t>& endsOfI = ends_.endsOf[i];
    const std::vector<uint32_t>& endsOfJ = ends_.endsOf[j];
    // Leave both tables empty again whatever happens, so the next pair starts clean.
    struct Clear {
        SpecialDistanceCalculator& self;
        const std::vector<uint32_t>& endsOfI;
        const std::vector<uint32_t>& endsOfJ;
        ~Clear() {
            clearAdjacency(self.first_, endsOfI);
            clearAdjacency(self.second_, endsOfJ);
        }
    } clear{*this, endsOfI, endsOfJ};
    fillAdjacency(ends_.numbered[i], first_);
    fillAdjacency(ends_.numbered[j], second_);

    input_.load(first_, endsOfI, second_, endsOfJ);
    const double forward = solvedCost();
    input_.load(second_, endsOfJ, first_, endsOfI);
    const double backward = solvedCost();
    return (forward + backward) * 0.5;
}

double specialDistance(const ChromosomalStructure& a, const ChromosomalStructure& b,
                       const OperationWeights& weights) {
    if (holdsNoChromosome(b) || holdsNoChromosome(a)) return missingStructureDistance;
    const AdjacencyArray adjacencyA = buildAdjacency(groupChromosomes(a));
    const AdjacencyArray adjacencyB = buildAdjacency(groupChromosomes(b));
    constexpr SharedAdjacencies leftOut = SharedAdjacencies::leftOut;
    const double forward =
        solvedCostOnly(buildJointGraph(adjacencyA, adjacencyB, leftOut), weights);
    const double backward =
        solvedCostOnly(buildJointGraph(adjacencyB, adjacencyA, leftOut), weights);
    return (forward + backward) * 0.5;
}

}  // namespace varnet
