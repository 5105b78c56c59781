#pragma once

#include <string>

#include "solver/chromosome_set.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"

// The invariants every state of the solver keeps, as messages: empty when the invariant holds.
namespace varnet::testing {

// Every component the state holds (lists, buckets, quads, and the items of the records from
// `firstRecord` on) well formed: non-empty, sides alternating, a block edge or lone vertex only on
// its own, and no endpoint 0 where an edge of its kind has an endpoint.
std::string stateFault(const ChromosomeSet& state, std::size_t firstRecord = 0);

// The weights of the events the records list, added up.
double listedCost(const ChromosomeSet& state, const OperationWeights& weights);

// A finished final graph of `a` into `b`: only lone vertices and two-edge cycles of adjacency
// edges, one per side, and every end of every gene copy both structures hold exactly once.
std::string finalGraphFault(const ChromosomeSet& state, const ChromosomalStructure& a,
                            const ChromosomalStructure& b);

}  // namespace varnet::testing
