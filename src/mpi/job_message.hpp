#pragma once

#include <vector>

#include "varnet.hpp"

namespace varnet {

// What every process needs to compute its pairs: the pair settings (weights, how copies pair),
// the genes of the file and the structures in file order. Encoded as bytes for the other
// processes of the job (same machine type).
struct PairJob {
    OperationWeights weights{};
    CopyRule copies = CopyRule::order;
    GeneTable genes;
    std::vector<ChromosomalStructure> structures;
    bool operator==(const PairJob&) const = default;

    // The settings of the job's pairs, which read its genes.
    PairSettings settings() const { return {weights, copies, &genes}; }
};

std::vector<char> encodeJob(const PairSettings& settings,
                            const std::vector<ChromosomalStructure>& structures);
// Without `settings.genes`, the job's table is empty. Throws std::runtime_error for bytes that
// encodeJob did not write.
PairJob decodeJob(const std::vector<char>& bytes);

}  // namespace varnet
