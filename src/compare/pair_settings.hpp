#pragma once

#include <string>
#include <string_view>

#include "structures/gene_table.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// How the copies of a gene in one structure are paired with the copies in the other: `order`
// pairs the k-th with the k-th; `context` pairs copies whose neighbours are paired.
enum class CopyRule { order, context };

// "order" or "context"; throws for any other text.
CopyRule parseCopyRule(const std::string& text);
std::string_view copyRuleName(CopyRule rule);

// What comparing two structures takes besides the structures: the operation weights, how copies
// are paired, and the genes of their file (needed to pair copies by context; it must outlive the
// comparisons).
struct PairSettings {
    PairSettings(const OperationWeights& operationWeights = {}, CopyRule copyRule = CopyRule::order,
                 const GeneTable* geneTable = nullptr)
        : weights(operationWeights), copies(copyRule), genes(geneTable) {}

    OperationWeights weights{};
    CopyRule copies = CopyRule::order;
    const GeneTable* genes = nullptr;
    bool operator==(const PairSettings&) const = default;
};

}  // namespace varnet
