#pragma once

#include <ostream>

#include "graph/component.hpp"
#include "graph/joint_graph.hpp"
#include "structures/gene_table.hpp"

namespace varnet {

// A component edge by edge; an edge that is not first omits the endpoint it shares with the edge
// before it. Gene ends print as `GeneTable::printEnd` writes them.
void printComponent(std::ostream& out, const Component& component, const GeneTable& genes);

// "Cycles (n): ...; \nPaths (n): ...; \na-spnodes: A, b-spnodes: B\n", where A and B count the
// end, bridging and block edges of each side.
void printJointGraph(std::ostream& out, const JointGraph& graph, const GeneTable& genes);

}  // namespace varnet
