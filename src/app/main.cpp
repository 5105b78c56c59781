#include <unistd.h>

#include <iostream>

#include "varnet.hpp"

int main(int argc, char* argv[]) {
    return varnet::runCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                                  std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
