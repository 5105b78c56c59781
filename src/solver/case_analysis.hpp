#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "graph/component.hpp"
#include "solver/chromosome_set.hpp"
#include "structures/operation_weights.hpp"

namespace varnet {

// In the category lists of the closing steps, 22 stands for alternative one (components 1 and
// 2) of the last quad and 23 for its alternative two (components 3 and 4).
constexpr int32_t quadAlternativeOne = 22;
constexpr int32_t quadAlternativeTwo = 23;

// The closing steps "4.1" to "4.23": merges the side-B gene blocks of bucket 18 into the
// first side-B gene-carrying edge, splices the cycles of bucket 17 into longer components,
// then runs the case steps "4.3" to "4.23" once each, in label order.
void joinRemaining(ChromosomeSet& state, const OperationWeights& weights);

// Step "4.1", repeated while bucket 18 holds a block and some component outside it has a
// side-B edge carrying genes; the blocks left over stay in bucket 18.
void mergeGeneBlocks(ChromosomeSet& state, const OperationWeights& weights);

// Step "4.2", repeated while bucket 17 holds a cycle, another component has more than two
// edges, and the splice of the two produces something.
void spliceCycles(ChromosomeSet& state, const OperationWeights& weights);

// Runs the case step with the given label ("4.3" to "4.23") over its pair list for the weights.
// Throws std::invalid_argument for any other label.
void runCaseStep(ChromosomeSet& state, const OperationWeights& weights, std::string_view step);

// Takes, for each entry of `categories` in order, the last component of that bucket (index -1)
// or, for 22 and 23, the two components of the chosen alternative of the last quad (its record
// index twice), removing what it takes. Takes nothing and returns false when a bucket or
// `quads` holds too few entries, or when a quad's chosen alternative is empty.
bool takeComponents(ChromosomeSet& state, std::span<const int32_t> categories,
                    std::vector<Component>& components, std::vector<int64_t>& recordIndices);

// Join operations of the case steps. Each works on copies of X and Y and writes its results
// into the given (empty) components; the first result is the joined component. Every gene end
// of X and Y ends up in exactly one result: a second result left empty means the join freed
// nothing.
void joinInto(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin4(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin7(const Component& x, const Component& y, Component& r);
void caseJoin8(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin9(const Component& x, const Component& y, Component& r);
void caseJoin10(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin11(const Component& x, const Component& y, Component& r);
void caseJoin12(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin13(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin14(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin15(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin16(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin18(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin19(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin20(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin21(const Component& x, const Component& y, Component& r1, Component& r2);
void caseJoin22(const Component& x, const Component& y, Component& r1, Component& r2);

}  // namespace varnet
