// Writes a generated structure file to standard output:
//   varnet_generate COUNT GENES SEED [LOSS_RATE COPY_RATE | shuffled]
// By default 2 % of the genes are missing from a genome and 0.5 % have a second copy;
// "shuffled" gives every genome its own random signed order of all genes.
#include <iostream>
#include <string>

#include "generated_structures.hpp"

int main(int argc, char** argv) {
    if ((argc != 4 && argc != 5 && argc != 6) ||
        (argc == 5 && std::string(argv[4]) != "shuffled")) {
        std::cerr << "usage: varnet_generate COUNT GENES SEED [LOSS_RATE COPY_RATE | shuffled]\n";
        return 1;
    }
    varnet::bench::Divergence divergence;
    if (argc == 5) {
        divergence = {0.0, 0.0, true};
    } else if (argc == 6) {
        divergence = {std::stod(argv[4]), std::stod(argv[5]), false};
    }
    std::cout << varnet::bench::generatedStructureFile(std::stoi(argv[1]), std::stoi(argv[2]),
                                                       static_cast<uint32_t>(std::stoul(argv[3])),
                                                       divergence);
    return 0;
}
