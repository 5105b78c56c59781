// Benchmarks of dist mode's picture of a pair (pair.svg), drawn from the prepared pair.
#include <benchmark/benchmark.h>

#include <sstream>

#include "generated_structures.hpp"
#include "modes/pair_svg.hpp"
#include "structures/structure_reader.hpp"

namespace varnet {
namespace {

// Draws the pair of a generated file and reports the picture's bytes and shapes (paths).
void drawPair(benchmark::State& state, int genes, bench::Divergence divergence) {
    std::istringstream text(bench::generatedStructureFile(2, genes, 42, divergence));
    std::vector<ChromosomalStructure> structures;
    GeneTable names;
    readStructures(text, structures, names);
    const PairSettings settings;
    const DistPair pair = prepareDistPair(std::move(structures), names, settings);
    std::string picture;
    for (auto _ : state) {
        std::ostringstream out;
        writePairSvg(out, pair, settings, 0.0, {});
        picture = out.str();
    }
    std::size_t shapes = 0;
    for (std::size_t at = picture.find("<path"); at != std::string::npos;
         at = picture.find("<path", at + 1))
        ++shapes;
    state.counters["bytes"] = static_cast<double>(picture.size());
    state.counters["shapes"] = static_cast<double>(shapes);
}

const bench::Divergence mammalLike{.lossRate = 0.01, .copyRate = 0.002, .chromosomes = 20};
const bench::Divergence shuffled{.lossRate = 0, .copyRate = 0, .shuffled = true};

BENCHMARK_CAPTURE(drawPair, mammal_like_15000_on_20, 15000, mammalLike)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawPair, shuffled_20000, 20000, shuffled)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnet
