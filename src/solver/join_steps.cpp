#include "solver/join_steps.hpp"

#include "solver/primitives.hpp"

namespace varnet {

void sideJoinBefore(const Component& p, const Component& q, Component& r1, Component& r2) {
    Component b = q;
    if (!sameSide(b.back(), p.front()) && b.size() > 1) reverseComponent(b);
    joinComponents(b, p, r1, r2);
}

void sideJoinAfter(const Component& p, const Component& q, Component& r1, Component& r2) {
    Component b = q;
    if (!sameSide(b.front(), p.back()) && b.size() > 1) reverseComponent(b);
    joinComponents(p, b, r1, r2);
}

}  // namespace varnet
