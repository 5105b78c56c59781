#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"
#include "tree/jackknife.hpp"
#include "tree/pair_distances.hpp"

namespace varnet {

// "upgma", "nj" or "kruskal": the names of the tree methods.
bool isTreeMethod(const std::string& method);

// The message of a jackknife asked for with a method name that builds no tree.
std::string jackknifeWithoutTreeMessage(const std::string& method);

// The distance matrix of tree mode: the special distances, computed as `work` says (see
// `computeSpecialMatrix`, which prints the progress lines and the time taken to `out`), combined
// with the breakpoint distances by `distanceWeights`. Throws, naming the pair, when a distance is
// not finite.
DistanceMatrix computeDistanceMatrix(const PairSettings& pairSettings,
                                     const DistanceWeights& distanceWeights,
                                     const std::vector<ChromosomalStructure>& structures,
                                     std::ostream& out, const PairWork& work = {});

// The tree `method` ("upgma", "nj" or "kruskal") builds of `matrix` (UPGMA and neighbour joining
// work in it), without Kruskal's join lines and without the neighbour-joining graph. Throws for any
// other method name.
BuiltTree treeOfMethod(const std::string& method, DistanceMatrix matrix,
                       const std::vector<ChromosomalStructure>& structures);

// What a tree-mode run asks for.
struct TreeSettings {
    OperationWeights operationWeights{};
    DistanceWeights distanceWeights;
    std::string resultDir;
    std::string method;  // any text other than a tree method's name builds no tree
    bool phylip = false;
    JackknifeSettings jackknife;
    PairWork work;
    CopyRule copies = CopyRule::order;  // how copies of a gene are paired in each pair
    // The genes of the structure file: needed to pair copies by context, and for the jackknife to
    // delete every copy of a name at once. Must outlive the run.
    const GeneTable* genes = nullptr;
};

// The tree-mode pipeline on structures already read: the distance matrices, the matrix files
// ("/distance.tsv" and "/distance.phy", with `phylip` also "/map.txt" and "/infile"), the tree of
// the method, "/tree.tre" and its picture "/tree.svg". Nothing is written when the matrix
// computation fails. With jackknife replicates (a tree method required), the tree gets support
// values and "/support.tsv" and "/replicates.tre" are written; each replicate's matrix is
// computed as the main one, without files, and a line "Jackknife replicate k out of N" is
// printed as it is done. When the breakpoint weight is 0 and some pair of structures shares
// fewer than half the genes of the smaller one, a line beginning "Warning: " (see
// `sharedGeneWarning`) goes to `err` before the matrix is written.
void buildTree(const TreeSettings& settings, const std::vector<ChromosomalStructure>& structures,
               std::ostream& out, std::ostream& err);

}  // namespace varnet
