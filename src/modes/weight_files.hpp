#pragma once

#include <istream>
#include <string>

#include "structures/operation_weights.hpp"

namespace varnet {

// Reads the first line of an operation-weights text: up to six key/number pairs separated by
// spaces, ',' or '=' (e.g. DP=1,SP=1,J=0.5,C=0.5,aD=2,bD=2). Keys other than DP, SP, J, C, aD
// and bD are skipped with their number; a key given twice keeps the later number; a weight not
// set is 0. A number that cannot be read stores 0 and ends the reading. A first line longer than
// `maxLineLength` is an error naming `source`.
OperationWeights parseOperationWeights(std::istream& in,
                                       const std::string& source = "the operation weights");

// `parseOperationWeights` on the file at `path`; throws "failed to open file with weights".
OperationWeights readOperationWeights(const std::string& path);

// Reads an ini text whose section [weights] holds the numbers breakpoint and special. The ini
// reader's and the lookup's messages pass through unchanged; breakpoint is looked up first. A
// line longer than `maxLineLength` is an error naming `source` and the line.
DistanceWeights parseDistanceWeights(std::istream& in,
                                     const std::string& source = "the distance weights");

// `parseDistanceWeights` on the file at `path`; the ini reader's messages name the file.
DistanceWeights readDistanceWeights(const std::string& path);

}  // namespace varnet
