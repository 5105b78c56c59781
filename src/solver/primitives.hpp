#pragma once

#include <vector>

#include "graph/component.hpp"

namespace varnet {

// Gene lists. Reversal reverses the order and negates every code.
Edge reversedEdge(const Edge& edge);
void reverseEdgeGenes(Edge& edge);
void appendGenes(const Edge& source, Edge& target);
void gatherGenes(const std::vector<Edge>& edges, Edge& target);

// Copy of `edge` on the other side (a lone vertex stays as it is) with its endpoints exchanged.
Edge mirrorEdge(const Edge& edge);

// Reverses the edge order and turns every adjacency and bridging edge around; the middle edge
// of an odd-length component is turned around whatever its kind. Gene lists are not touched.
void reverseComponent(Component& component);

// "Oriented by kind": reversed unless it starts with an end edge (one edge stays as it is).
Component orientedByKind(Component component);

// r: P's edges with P's last edge fused with Q's first edge, then Q's other edges.
// s: the lone vertex that used to end P. P and Q are not changed.
void joinComponents(const Component& p, const Component& q, Component& r, Component& s);

// Cuts edge j out of path P as the two-edge cycle s (the edge and its mirror); r receives the
// rest of P, with one junction edge in place of j's neighbours.
void splitPathAt(const Component& p, std::size_t j, Component& r, Component& s);

// Cuts edge j out of cycle C as the two-edge cycle s; r receives the rest of C, the edge before
// j extended to the end of the edge after j.
void splitCycleAt(const Component& c, std::size_t j, Component& r, Component& s);

}  // namespace varnet
