#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"

namespace varnet {

// N rows of N distances, row and column k for the k-th structure of the file; symmetric, with
// a zero diagonal.
using DistanceMatrix = std::vector<std::vector<double>>;

// An n x n matrix of zeros. Throws a clear error instead of exhausting memory when the matrix
// cannot be held.
DistanceMatrix makeDistanceMatrix(std::size_t n);

// The adjacencies and the genes of one structure as string keys, for the breakpoint distance.
struct AdjacencyProfile {
    std::string name;
    std::set<std::string> adjacencies;
    std::set<std::string> genes;  // only genes that take part in some adjacency
};

// The absolute gene code in decimal.
std::string geneKey(int32_t code);

// The key of the adjacency "a followed by b": the leaving end of a and the entering end of b
// (ends written "code.1" or "code.2"), the smaller key first, joined by "@".
std::string adjacencyKey(int32_t a, int32_t b);

std::vector<AdjacencyProfile> buildAdjacencyProfiles(
    const std::vector<ChromosomalStructure>& structures);

// Keys of either profile missing from the other, adjacencies and genes alike.
int32_t breakpointDistance(const AdjacencyProfile& a, const AdjacencyProfile& b);

DistanceMatrix computeBreakpointMatrix(const std::vector<AdjacencyProfile>& profiles);

// special * specialWeight + breakpoint * breakpointWeight, cell by cell, in the special matrix.
DistanceMatrix combineMatrices(DistanceMatrix special, double specialWeight,
                               const DistanceMatrix& breakpoint, double breakpointWeight);

}  // namespace varnet
