#include <iostream>

#include "orders/orders_program.hpp"

int main(int argc, char* argv[]) {
    return varnet::runOrdersProgram(
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), std::cout, std::cerr);
}
