#pragma once

#include "graph/component.hpp"
#include "solver/operation_record.hpp"
#include "solver/primitives.hpp"

namespace varnet {

// Elementary join steps. Each works on copies of its inputs and returns the joined path and the
// freed lone vertex (see `joinComponents`). "Oriented by kind": see
// `orientedByKind`.

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
