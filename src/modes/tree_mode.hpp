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

// The distance matrix of tree mode: `computeSpecialMatrix` (progress and time to `out`) combined
// with the breakpoint distances by the distance weights. `genes` is the structures' table, or
// none. Throws, naming the pair, when a distance is not finite.
DistanceMatrix computeDistanceMatrix(const RunSettings& settings,
                                     const std::vector<ChromosomalStructure>& structures,
                                     const GeneTable* genes, std::ostream& out);

// The tree `method` (one of `treeMethodNames`; any other name throws) builds of `matrix`, its
// report (Kruskal's join lines, the neighbour-joining graph) discarded.
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

// The tree-mode pipeline on structures already read: the matrix files ("/distance.tsv",
// "/distance.phy", with `phylip` also "/map.txt" and "/infile"), the method's tree in "/tree.tre"
// and "/tree.svg"; nothing is written when the matrix computation fails. With jackknife
// replicates (a tree method required) the tree gets support values, "/support.tsv" and
// "/replicates.tre" are written and a line "Jackknife replicate k out of N" is printed per
// replicate. With the breakpoint weight 0, `sharedGeneWarning` may go to `err` (after
// "Warning: ") before the matrix is written.
void buildTree(const RunSettings& settings, const std::vector<ChromosomalStructure>& structures,
               const GeneTable* genes, std::ostream& out, std::ostream& err);

// Tree mode: reads the structure file (at least one structure, all comparable) and runs
// `buildTree` on it, reporting to `out` and warnings to `err`.
void runTreeMode(const RunSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace varnet
