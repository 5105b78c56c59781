#pragma once

#include "graph/component.hpp"

namespace varnet {

// Gene lists. Reversal reverses the order and negates every code.
void reverseEdgeGenes(Edge& edge);
void appendGenes(const Edge& source, Edge& target);

// Copy of `edge` on the other side (a lone vertex stays as it is) with its endpoints exchanged.
Edge mirrorEdge(const Edge& edge);

// Reverses the edge order and turns every adjacency and bridging edge around; the middle edge
// of an odd-length component is turned around whatever its kind. Gene lists are not touched.
void reverseComponent(Component& component);

// "Oriented by kind": reversed unless it starts with an end edge (one edge stays as it is).
Component orientedByKind(Component component);
// Reversed when it has more than one edge and its first edge (`byFirst`) or its last edge lies
// on the other side than `side`.
Component turnedTo(Component component, bool byFirst, Side side);

// What a join gives: the joined component, and what it freed (empty when it frees nothing).
struct JoinResult {
    Component joined;
    Component freed;
};

// What a cut gives: the rest of the component, and the two-edge cycle cut out of it (both empty
// where nothing could be cut).
struct SplitResult {
    Component rest;
    Component cut;
};

// Joined: P's edges with P's last edge fused with Q's first edge, then Q's other edges. Freed:
// the lone vertex that used to end P. P and Q are not changed.
JoinResult joinComponents(const Component& p, const Component& q);

// Cuts edge j out of path P; the rest of P has one junction edge in place of j's neighbours.
void cutOutPathEdge(Component& p, std::size_t j);
// Cuts edge j out of cycle C; the edge before j is extended to the end of the edge after j.
void cutOutCycleEdge(Component& c, std::size_t j);

// As the two cuts above, keeping the cut-out edge and its mirror as a two-edge cycle (the
// mirror of a cycle's edge an adjacency edge).
SplitResult splitPathAt(Component&& p, std::size_t j);
SplitResult splitCycleAt(Component&& c, std::size_t j);

}  // namespace varnet
