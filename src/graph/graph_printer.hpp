#pragma once

#include <ostream>
#include <string>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "structures/gene_name_table.hpp"

namespace varnet {

// Gene end v as "<name of gene id v / 100>.1" or ".2"; the end 0 reads "0.2".
void printVertex(std::ostream& out, uint32_t end, const GeneNameIndex& names);

// One edge; an edge that is not first in its component omits the endpoint it shares with the
// edge before it.
void printEdge(std::ostream& out, const Edge& edge, const GeneNameIndex& names,
               bool firstInComponent);
void printComponent(std::ostream& out, const Component& component, const GeneNameIndex& names);

// "Cycles (n): ...; \nPaths (n): ...; \na-spnodes: A, b-spnodes: B\n", where A and B count the
// end, bridging and block edges of each side.
void printJointGraph(std::ostream& out, const JointGraph& graph, const GeneNameIndex& names);

}  // namespace varnet
