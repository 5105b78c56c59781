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

// What one run computes and how. Every entry fills one (the command line from its options and
// weight files, varnet-mpi the same with its ranks as the `distribution`, the Python module from
// its arguments) and hands it to the pipelines; the defaults are here, and the command line's
// option listing shows them.
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
    // How the special distances are computed: on `threads` workers (0: the value of the
    // environment variable VARNET_THREADS, else one per processor the process may run on), or by
    // the `distribution` when given; with a `terminal`, a live progress line is kept there.
    unsigned threads = 0;
    std::ostream* terminal = nullptr;
    PairDistribution* distribution = nullptr;

    // What comparing one pair takes; `genes` (the structures' table, or none) must outlive it.
    PairSettings pairSettings(const GeneTable* genes) const;
    // Throws when VARNET_THREADS is read and is not a worker count.
    PairWork work() const;
};

}  // namespace varnet
