#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "modes/run_settings.hpp"
#include "structures/chromosomal_structure.hpp"
#include "structures/gene_table.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/newick.hpp"

namespace varnet {

// Throws when the settings ask for jackknife replicates with a method name that builds no tree.
void checkJackknifeMethod(const RunSettings& settings);

// The distance matrix of tree mode: the special distances, computed as `settings` says (see
// `computeSpecialMatrix`, which prints the progress lines and the time taken to `out`), combined
// with the breakpoint distances by the distance weights. `genes` is the structures' table, or
// none. Throws, naming the pair, when a distance is not finite.
DistanceMatrix computeDistanceMatrix(const RunSettings& settings,
                                     const std::vector<ChromosomalStructure>& structures,
                                     const GeneTable* genes, std::ostream& out);

// The tree `method` (one of `treeMethodNames`) builds of `matrix` (UPGMA and neighbour joining
// work in it), without Kruskal's join lines and without the neighbour-joining graph. Throws for any
// other method name.
BuiltTree treeOfMethod(const std::string& method, DistanceMatrix matrix,
                       const std::vector<ChromosomalStructure>& structures);

// The texts of "/tree.tre" with support labels, "/support.tsv" and "/replicates.tre".
struct JackknifeResult {
    std::string tree;
    std::string support;
    std::string replicates;
};

// The tree with jackknife support that tree mode builds, without its files; progress to `out`.
JackknifeResult jackknifeTree(const RunSettings& settings,
                              const std::vector<ChromosomalStructure>& structures,
                              const GeneTable* genes, std::ostream& out);

// The tree-mode pipeline on structures already read: the distance matrices, the matrix files
// ("/distance.tsv" and "/distance.phy", with `phylip` also "/map.txt" and "/infile"), the tree of
// the method, "/tree.tre" and its picture "/tree.svg". Nothing is written when the matrix
// computation fails. With jackknife replicates (a tree method required), the tree gets support
// values and "/support.tsv" and "/replicates.tre" are written; each replicate's matrix is
// computed as the main one, without files, and a line "Jackknife replicate k out of N" is
// printed as it is done. When the breakpoint weight is 0 and some pair of structures shares
// fewer than half the genes of the smaller one, a line beginning "Warning: " (see
// `sharedGeneWarning`) goes to `err` before the matrix is written.
void buildTree(const RunSettings& settings, const std::vector<ChromosomalStructure>& structures,
               const GeneTable* genes, std::ostream& out, std::ostream& err);

// Tree mode: reads the structure file (at least one structure, all comparable) and runs
// `buildTree` on it, reporting to `out` and warnings to `err`.
void runTreeMode(const RunSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace varnet
