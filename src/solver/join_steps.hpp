#pragma once

#include "graph/component.hpp"

namespace varnet {

// Elementary join steps. Each works on copies of its inputs and writes the joined path into r1
// and the freed lone vertex into r2 (see `joinComponents`).

// Q, reversed when its last edge's side differs from P's first edge's (and it has more than one
// edge), joined in front of P.
void sideJoinBefore(const Component& p, const Component& q, Component& r1, Component& r2);
// Q, reversed when its first edge's side differs from P's last edge's (and it has more than one
// edge), joined after P.
void sideJoinAfter(const Component& p, const Component& q, Component& r1, Component& r2);

}  // namespace varnet
