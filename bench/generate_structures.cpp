// Writes a generated structure file to standard output: generate COUNT GENES SEED.
#include <iostream>
#include <string>

#include "generated_structures.hpp"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: varnet_generate COUNT GENES SEED\n";
        return 1;
    }
    std::cout << varnet::bench::generatedStructureFile(std::stoi(argv[1]), std::stoi(argv[2]),
                                                       static_cast<uint32_t>(std::stoul(argv[3])));
    return 0;
}
