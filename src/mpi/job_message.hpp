#pragma once

#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/copy_matching.hpp"

namespace varnet {

// What every process needs to compute its pairs: the pair settings (weights, how copies pair,
// the gene of every code) and the structures in file order. Encoded as bytes for the other
// processes of the job (same machine type).
struct PairJob {
    PairSettings settings;
    std::vector<ChromosomalStructure> structures;
    bool operator==(const PairJob&) const = default;
};

std::vector<char> encodeJob(const PairSettings& settings,
                            const std::vector<ChromosomalStructure>& structures);
// Throws std::runtime_error for bytes that encodeJob did not write.
PairJob decodeJob(const std::vector<char>& bytes);

// A process's answer: its distances, or the message of its earliest failing pair.
struct BlockFailure {
    bool failed = false;
    std::string message;
};

std::vector<char> encodeFailure(const BlockFailure& failure);
BlockFailure decodeFailure(const std::vector<char>& bytes);

}  // namespace varnet
