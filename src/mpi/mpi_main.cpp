#include "mpi/mpi_program.hpp"

int main(int argc, char* argv[]) {
    return varnet::runMpiProgram(argc, argv);
}
