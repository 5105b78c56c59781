// Runs a fuzz target once on each file named on the command line, without libFuzzer: the test
// builds replay the corpus kept in fuzz/corpus/ under every sanitizer, so that a target that no
// longer builds, or a kept input that breaks a property, fails the tests.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        std::ifstream in(argv[k], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[k]);
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%d inputs replayed\n", argc - 1);
    return 0;
}
