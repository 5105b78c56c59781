#include "solver/join_steps.hpp"

#include <utility>

#include "solver/categories.hpp"
#include "solver/primitives.hpp"

namespace varnet {
namespace {

// The orientation rules of `joinEitherOrder`, front operand `a`, back operand `b`.
void orientForEitherOrder(Component& a, Component& b) {
    b = orientedByKind(std::move(b));
    if (!sameSide(a.back(), b.front()) && a.size() > 1) reverseComponent(a);
}

}  // namespace

void orientJoin(const Component& p, const Component& q, Component& r1, Component& r2) {
    const Component a = orientedByKind(p);
    Component b = q;
    if (!sameSide(a.front(), b.back()) && b.size() > 1) reverseComponent(b);
    joinComponents(b, a, r1, r2);
}

void orientJoinGeneEdge(const Component& p, const Component& q, Component& r1, Component& r2) {
    Component a = p;
    if (a.front().kind == EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    Component b = q;
    if (!sameSide(a.back(), b.front()) && b.size() > 1) reverseComponent(b);
    joinComponents(a, b, r1, r2);
}

void headJoin(const Component& p, const Component& q, Component& r1, Component& r2) {
    const Component a = orientedByKind(p);
    joinComponents(a, q, r1, r2);
}

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

void mergePaths(const Component& p, const Component& q, Component& r) {
    Component a = p;
    if (a.front().kind != EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    const Component b = orientedByKind(q);
    Edge& fused = a.back();
    fused.second = b.front().first;
    setKind(fused, EdgeKind::bridging);
    appendGenes(b.front(), fused);
    a.insert(a.end(), std::next(b.begin()), b.end());
    r = std::move(a);
}

ComponentQuad joinBothWays(const Component& p, const Component& q) {
    Component a = p;
    Component b = q;
    if (!sameSide(p.back(), q.front()) && b.size() > 1) reverseComponent(b);
    Component joinedOnce;
    Component freedOnce;
    joinComponents(b, a, joinedOnce, freedOnce);

    if (a.size() > 1) reverseComponent(a);
    if (b.size() > 1) reverseComponent(b);
    Component joinedTwice;
    Component freedTwice;
    joinComponents(b, a, joinedTwice, freedTwice);

    const bool onceToOne = categoryOf(joinedOnce) == Category::evenEndOnA;
    const bool twiceToOne = categoryOf(joinedTwice) == Category::evenEndOnA;
    ComponentQuad quad;
    if (onceToOne == twiceToOne) {
        quad.first = joinedTwice;
        quad.second = freedTwice;
        quad.third = std::move(joinedTwice);
        quad.fourth = std::move(freedTwice);
    } else if (onceToOne) {
        quad.first = std::move(joinedOnce);
        quad.second = std::move(freedOnce);
        quad.third = std::move(joinedTwice);
        quad.fourth = std::move(freedTwice);
    } else {
        quad.first = std::move(joinedTwice);
        quad.second = std::move(freedTwice);
        quad.third = std::move(joinedOnce);
        quad.fourth = std::move(freedOnce);
    }
    return quad;
}

ComponentQuad joinEitherOrder(const Component& p, const Component& q) {
    Component a = p;
    Component b = q;
    ComponentQuad quad;
    orientForEitherOrder(a, b);
    joinComponents(a, b, quad.third, quad.fourth);
    std::swap(a, b);
    orientForEitherOrder(a, b);
    joinComponents(a, b, quad.first, quad.second);
    return quad;
}

}  // namespace varnet
