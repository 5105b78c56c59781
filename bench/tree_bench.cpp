// Benchmarks of tree mode's parts on generated structures.
#include <benchmark/benchmark.h>

#include <sstream>

#include "compare/special_distance.hpp"
#include "generated_structures.hpp"
#include "structures/structure_reader.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/neighbour_joining.hpp"
#include "tree/pair_distances.hpp"
#include "tree/upgma.hpp"

namespace varnet {
namespace {

const OperationWeights unitWeights = {1, 1, 1, 1, 1, 1};

std::vector<ChromosomalStructure> generated(int count, int genes) {
    std::istringstream text(bench::generatedStructureFile(count, genes, 42));
    std::vector<ChromosomalStructure> structures;
    GeneTable names;
    readStructures(text, structures, names);
    return structures;
}

// One pair with reused per-worker tables, as the workers compute it.
void specialDistanceOfAPair(benchmark::State& state) {
    const auto structures = generated(2, static_cast<int>(state.range(0)));
    const StructureTables tables(structures, true);
    SpecialDistanceCalculator calculator(structures, tables, unitWeights);
    for (auto _ : state) benchmark::DoNotOptimize(calculator.distance(0, 1));
}
BENCHMARK(specialDistanceOfAPair)->Arg(500)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void specialMatrix(benchmark::State& state) {
    const auto structures = generated(static_cast<int>(state.range(0)), 500);
    for (auto _ : state) {
        std::ostringstream out;
        benchmark::DoNotOptimize(computeSpecialMatrix(unitWeights, structures, out));
    }
    const auto n = static_cast<double>(state.range(0));
    state.counters["pairs/s"] = benchmark::Counter(
        n * (n - 1) / 2 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(specialMatrix)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void breakpointDistances(benchmark::State& state) {
    const auto structures = generated(static_cast<int>(state.range(0)), 1000);
    for (auto _ : state) {
        DistanceMatrix matrix(structures.size(), std::vector<double>(structures.size(), 0.0));
        combineWithBreakpointDistances(matrix, 1.0, structures, 1.0);
        benchmark::DoNotOptimize(matrix);
    }
}
BENCHMARK(breakpointDistances)->Arg(100)->Unit(benchmark::kMillisecond);

DistanceMatrix randomMatrix(std::size_t n) {
    std::mt19937 random(7);
    DistanceMatrix matrix(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j)
            matrix[i][j] = matrix[j][i] = std::uniform_real_distribution<double>(1, 100)(random);
    }
    return matrix;
}

std::vector<ChromosomalStructure> namedTaxa(std::size_t n) {
    std::vector<ChromosomalStructure> structures(n);
    for (std::size_t k = 0; k < n; ++k) structures[k].name = "genome_" + std::to_string(k);
    return structures;
}

void upgmaMethod(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const DistanceMatrix matrix = randomMatrix(n);
    const auto structures = namedTaxa(n);
    std::ostream nowhere(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(upgmaTree(matrix, structures, nowhere));
}
BENCHMARK(upgmaMethod)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

void neighbourJoiningMethod(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const DistanceMatrix matrix = randomMatrix(n);
    const auto structures = namedTaxa(n);
    for (auto _ : state) {
        std::ostringstream graph;
        benchmark::DoNotOptimize(neighbourJoiningTree(matrix, structures, graph));
    }
}
BENCHMARK(neighbourJoiningMethod)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnet
