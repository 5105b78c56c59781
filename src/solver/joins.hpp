#pragma once

#include "graph/component.hpp"
#include "solver/operation_record.hpp"
#include "solver/primitives.hpp"

namespace varnet {

// The joins of the closing case steps. Each works on copies of X and Y. Every gene end of X and
// Y ends up in exactly one result; a `freed` left empty means the join freed nothing.

// X, its last edge bridged to Y[1]'s far end with Y[1]'s genes, then Y from Y[2]; frees Y[0].
JoinResult joinInto(const Component& x, const Component& y);
// X then all of Y, Y[0] starting at X's end; frees Y[0]'s first end as a lone vertex.
JoinResult caseJoin4(const Component& x, const Component& y);
// Two blocks merge their genes; a block goes into the other's last edge; else X bridged to Y.
JoinResult caseJoin7(const Component& x, const Component& y);
// X's last edge bridged over Y[0], then Y; frees a two-edge cycle on the side of X's last edge.
JoinResult caseJoin8(const Component& x, const Component& y);
// A block Y goes into X's end edge (else its last edge); otherwise X, ending free, bridged to Y.
JoinResult caseJoin9(const Component& x, const Component& y);
// As caseJoin8 with X oriented by kind; the freed two-edge cycle takes the side of Y[0].
JoinResult caseJoin10(const Component& x, const Component& y);
// Y turned to X's side; a block X goes into Y[0], else X's last edge bridges into Y[0].
JoinResult caseJoin11(const Component& x, const Component& y);
// Y turned to end on X[0]'s side, its last edge fused with X[0], then X; frees a two-edge cycle.
JoinResult caseJoin12(const Component& x, const Component& y);
// X turned to end opposite Y[0]; its last edge leaves, the one before takes Y[0]; frees it.
JoinResult caseJoin13(const Component& x, const Component& y);
// X turned to end opposite Y[0], then all of Y from X's end; frees Y[0]'s first end.
JoinResult caseJoin14(const Component& x, const Component& y);
// Both oriented by kind, X's last edge bridged over Y's first; two single edges merge genes.
JoinResult caseJoin15(const Component& x, const Component& y);
// Both oriented by kind; Y's last edge fused with X's first, then the rest of X.
JoinResult caseJoin16(const Component& x, const Component& y);
// Y oriented by kind, its last edge fused with X's first, then the rest of X.
JoinResult caseJoin18(const Component& x, const Component& y);
// X's last edge fused with the first edge of Y oriented by kind, then the rest of Y.
JoinResult caseJoin19(const Component& x, const Component& y);
// Y oriented by kind, X turned to start on Y's last side: a single Y goes into X[0], else fused.
JoinResult caseJoin20(const Component& x, const Component& y);
// X turned to end on the side of the first edge of Y oriented by kind, fused with it.
JoinResult caseJoin21(const Component& x, const Component& y);
// As caseJoin15 for longer components, the fused edge keeping its kind.
JoinResult caseJoin22(const Component& x, const Component& y);

// The elementary joins of the path pairing steps. Each works on copies of its inputs and returns
// the joined path and the freed lone vertex (see `joinComponents`).

// P oriented by kind; Q reversed when its last edge's side differs from P's (oriented)
// first edge's and it has more than one edge; Q joined in front of P.
JoinResult orientJoin(const Component& p, const Component& q);
// P reversed when its first edge is a bridging edge and it has two or more edges; Q reversed
// when its first edge's side differs from P's last edge's and it has more than one edge; P
// joined in front of Q.
JoinResult orientJoinGeneEdge(const Component& p, const Component& q);
// P oriented by kind and joined in front of Q as it is.
JoinResult headJoin(const Component& p, const Component& q);
// Q, reversed when its last edge's side differs from P's first edge's (and it has more than one
// edge), joined in front of P.
JoinResult sideJoinBefore(const Component& p, const Component& q);
// Q, reversed when its first edge's side differs from P's last edge's (and it has more than one
// edge), joined after P.
JoinResult sideJoinAfter(const Component& p, const Component& q);

// One path from two: P made to end in its bridging edge, Q made to start with its end edge, and
// P's last edge carried on to Q's first endpoint as a bridging edge holding Q's first edge's
// genes, followed by the rest of Q.
Component mergePaths(const Component& p, const Component& q);

// Two outcomes of joining Q in front of P: Q turned to P's side, then both operands reversed.
// Each pair goes to alternative one (first, second) when its joined path is evenEndOnA,
// otherwise to alternative two (third, fourth). When both pairs go to the same alternative, the
// second pair fills both, so that no alternative is ever empty. `recordIndex` is left 0.
ComponentQuad joinBothWays(const Component& p, const Component& q);

// Two outcomes: P joined in front of Q (alternative two), and Q joined in front of P
// (alternative one). Before each join the back operand is made to start with its end edge and
// the front operand is turned so that its last edge lies on that edge's side.
ComponentQuad joinEitherOrder(const Component& p, const Component& q);

}  // namespace varnet
