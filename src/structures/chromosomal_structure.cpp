#include "structures/chromosomal_structure.hpp"

namespace varnet {

ChromosomeGroups groupChromosomes(const ChromosomalStructure& structure) {
    ChromosomeGroups groups;
    for (const Chromosome& chromosome : structure.chromosomes) {
        (chromosome.circular ? groups.circularChromosomes : groups.linearChromosomes)
            .push_back(chromosome.genes);
    }
    return groups;
}

}  // namespace varnet
