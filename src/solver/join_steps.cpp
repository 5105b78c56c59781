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

JoinResult orientJoin(const Component& p, const Component& q) {
    const Component a = orientedByKind(p);
    Component b = q;
    if (!sameSide(a.front(), b.back()) && b.size() > 1) reverseComponent(b);
    return joinComponents(b, a);
}

JoinResult orientJoinGeneEdge(const Component& p, const Component& q) {
    Component a = p;
    if (a.front().kind == EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    Component b = q;
    if (!sameSide(a.back(), b.front()) && b.size() > 1) reverseComponent(b);
    return joinComponents(a, b);
}

JoinResult headJoin(const Component& p, const Component& q) {
    return joinComponents(orientedByKind(p), q);
}

JoinResult sideJoinBefore(const Component& p, const Component& q) {
    Component b = q;
    if (!sameSide(b.back(), p.front()) && b.size() > 1) reverseComponent(b);
    return joinComponents(b, p);
}

JoinResult sideJoinAfter(const Component& p, const Component& q) {
    Component b = q;
    if (!sameSide(b.front(), p.back()) && b.size() > 1) reverseComponent(b);
    return joinComponents(p, b);
}

Component mergePaths(const Component& p, const Component& q) {
    Component a = p;
    if (a.front().kind != EdgeKind::bridging && a.size() >= 2) reverseComponent(a);
    const Component b = orientedByKind(q);
    Edge& fused = a.back();
    fused.second = b.front().first;
    setKind(fused, EdgeKind::bridging);
    appendGenes(b.front(), fused);
    a.insert(a.end(), std::next(b.begin()), b.end());
    return a;
}

ComponentQuad joinBothWays(const Component& p, const Component& q) {
    Component a = p;
    Component b = q;
    if (!sameSide(p.back(), q.front()) && b.size() > 1) reverseComponent(b);
    JoinResult once = joinComponents(b, a);

    if (a.size() > 1) reverseComponent(a);
    if (b.size() > 1) reverseComponent(b);
    JoinResult twice = joinComponents(b, a);

    const bool onceToOne = categoryOf(once.joined) == Category::evenEndOnA;
    const bool twiceToOne = categoryOf(twice.joined) == Category::evenEndOnA;
    if (onceToOne == twiceToOne)
        return {twice.joined, twice.freed, std::move(twice.joined), std::move(twice.freed)};
    JoinResult& one = onceToOne ? once : twice;
    JoinResult& two = onceToOne ? twice : once;
    return {std::move(one.joined), std::move(one.freed), std::move(two.joined),
            std::move(two.freed)};
}

ComponentQuad joinEitherOrder(const Component& p, const Component& q) {
    Component a = p;
    Component b = q;
    orientForEitherOrder(a, b);
    JoinResult two = joinComponents(a, b);
    std::swap(a, b);
    orientForEitherOrder(a, b);
    JoinResult one = joinComponents(a, b);
    return {std::move(one.joined), std::move(one.freed), std::move(two.joined),
            std::move(two.freed)};
}

}  // namespace varnet
