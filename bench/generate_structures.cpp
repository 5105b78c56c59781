// Writes a generated structure file to standard output:
//   varnet_generate COUNT GENES SEED [LOSS_RATE COPY_RATE | shuffled] [copies NAMES COPIES]
//                   [chromosomes COUNT] [moves COUNT]
//   varnet_generate mitochondria COUNT ORDERS SEED
// By default 2 % of the genes are missing from a genome and 0.5 % have a second copy;
// "shuffled" gives every genome its own random signed order of all genes; "copies" gives NAMES
// names COPIES copies each in the ancestor; "chromosomes" gives the ancestor COUNT linear
// chromosomes and moves some runs between them; "moves" gives each genome COUNT inversions and
// moves (else one per 25 genes); "mitochondria" gives COUNT mitochondrion-like
// genomes in ORDERS distinct gene orders.
#include <iostream>
#include <string>
#include <vector>

#include "generated_structures.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "mitochondria") {
        std::cout << varnet::bench::mitochondrionLikeFile(
            std::stoi(args[1]), std::stoi(args[2]), static_cast<uint32_t>(std::stoul(args[3])));
        return 0;
    }
    varnet::bench::Divergence divergence;
    bool valid = args.size() >= 3;
    if (valid && args.size() >= 5 && args[args.size() - 2] == "moves") {
        divergence.moves = std::stoi(args.back());
        args.resize(args.size() - 2);
    }
    if (valid && args.size() >= 5 && args[args.size() - 2] == "chromosomes") {
        divergence.chromosomes = std::stoi(args.back());
        args.resize(args.size() - 2);
    }
    if (valid && args.size() >= 6 && args[args.size() - 3] == "copies") {
        divergence.copiedNames = std::stoi(args[args.size() - 2]);
        divergence.copiesEach = std::stoi(args.back());
        args.resize(args.size() - 3);
    }
    if (args.size() == 4 && args[3] == "shuffled") {
        divergence.lossRate = 0.0;
        divergence.copyRate = 0.0;
        divergence.shuffled = true;
    } else if (args.size() == 5) {
        divergence.lossRate = std::stod(args[3]);
        divergence.copyRate = std::stod(args[4]);
    } else if (args.size() != 3) {
        valid = false;
    }
    if (!valid) {
        std::cerr
            << "usage: varnet_generate COUNT GENES SEED [LOSS_RATE COPY_RATE | shuffled] "
               "[copies NAMES COPIES] [chromosomes COUNT] [moves COUNT]\n       varnet_generate "
               "mitochondria COUNT ORDERS SEED\n";
        return 1;
    }
    std::cout << varnet::bench::generatedStructureFile(std::stoi(args[0]), std::stoi(args[1]),
                                                       static_cast<uint32_t>(std::stoul(args[2])),
                                                       divergence);
    return 0;
}
