#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compare/pair_settings.hpp"
#include "structures/gene_table.hpp"
#include "structures/operation_weights.hpp"
#include "tree/jackknife.hpp"
#include "tree/pair_distances.hpp"

namespace varnet {

// The names of the tree methods, the default first.
std::vector<std::string_view> treeMethodNames();

// What one run computes and how, with every default. Each entry fills one (the command line from
// its options and weight files, the Python module from its arguments) for the pipelines.
struct RunSettings {
    std::string mode{};       // "dist" or "tree"
    std::string chromFile{};  // the structure file
    std::string resultDir{};  // result files are this text followed by "/<name>"
    std::string method{treeMethodNames().front()};  // any other text builds no tree
    OperationWeights operationWeights{};
    DistanceWeights distanceWeights{};
    bool phylip = false;
    JackknifeSettings jackknife{};      // tree support values; no replicates by default
    CopyRule copies = CopyRule::order;  // how copies of a gene are paired across two structures
    // The special distances' workers (0: VARNET_THREADS, else one per processor the process may
    // use), or the `distribution` that computes them; a live progress line on a `terminal`.
    unsigned threads = 0;
    std::ostream* terminal = nullptr;
    PairDistribution* distribution = nullptr;

    // What comparing one pair takes; `genes` (the structures' table, or none) must outlive it.
    PairSettings pairSettings(const GeneTable* genes) const {
        return {operationWeights, copies, genes};
    }
    // Throws when VARNET_THREADS is read and is not a worker count.
    PairWork work() const;
};

}  // namespace varnet
