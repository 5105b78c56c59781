#include "solver/join_steps.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "support/path_builders.hpp"

namespace varnet {
namespace {

using namespace testing;

using JoinStep = void (*)(const Component&, const Component&, Component&, Component&);

struct JoinCase {
    const char* name;
    Component p;
    Component q;
    Component r1;
    Component r2;
};

void expectJoins(JoinStep step, const std::vector<JoinCase>& cases) {
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Component p = c.p;
        const Component q = c.q;
        Component r1;
        Component r2;
        step(c.p, c.q, r1, r2);
        EXPECT_EQ(r1, c.r1);
        EXPECT_EQ(r2, c.r2);
        EXPECT_EQ(c.p, p);
        EXPECT_EQ(c.q, q);
    }
}

TEST(JoinSteps, OrientJoinStartsPWithItsEndEdgeAndTurnsQToItsSide) {
    expectJoins(orientJoin,
                {{"P reversed to start with its end edge; Q already on its side",
                  {adj(sideA, 11, 21), end(sideB, 21, {7, 8})},
                  {adj(sideA, 31, 41), adj(sideB, 41, 51)},
                  {adj(sideA, 31, 41), bridge(sideB, 41, 21, {7, 8}), adj(sideA, 21, 11)},
                  lone(51)},
                 {"Q reversed because its last edge lies on the other side",
                  {adj(sideA, 11, 21), end(sideB, 21, {7, 8})},
                  {adj(sideB, 31, 41), adj(sideA, 41, 51)},
                  {adj(sideA, 51, 41), bridge(sideB, 41, 21, {7, 8}), adj(sideA, 21, 11)},
                  lone(31)},
                 {"P starting with its end edge is kept; a one-edge Q is never turned",
                  {end(sideA, 11, {7}), adj(sideB, 11, 21)},
                  {bridge(sideB, 31, 41, {5})},
                  {bridge(sideB, 31, 11, {5, 7}), adj(sideB, 11, 21)},
                  lone(41, {5})},
                 {"a one-edge P is kept although its edge is no end edge",
                  {bridge(sideA, 11, 21, {3})},
                  {end(sideB, 31, {4}), adj(sideA, 31, 41)},
                  {end(sideB, 31, {4}), bridge(sideA, 31, 11, {3})},
                  lone(41)}});
}

TEST(JoinSteps, OrientJoinGeneEdgeTurnsPAwayFromItsBridgingEdge) {
    expectJoins(orientJoinGeneEdge,
                {{"P reversed, Q reversed to the side of P's last edge",
                  {bridge(sideA, 11, 21, {5}), adj(sideB, 21, 31)},
                  {adj(sideB, 41, 51), end(sideA, 51, {9})},
                  {adj(sideB, 31, 21), bridge(sideA, 21, 51, {5, 9}), adj(sideB, 51, 41)},
                  lone(11, {5})},
                 {"P starting with an end edge and Q on its side are kept",
                  {end(sideA, 11, {1}), bridge(sideB, 11, 21, {2})},
                  {end(sideB, 31, {3}), adj(sideA, 31, 41)},
                  {end(sideA, 11, {1}), bridge(sideB, 11, 31, {2, 3}), adj(sideA, 31, 41)},
                  lone(21, {2})}});
}

TEST(JoinSteps, HeadJoinOrientsPAndTakesQAsItIs) {
    expectJoins(headJoin,
                {{"a block edge as Q turns P's last edge into an end edge",
                  {adj(sideB, 11, 21), end(sideA, 21, {4})},
                  {block(sideA, {6})},
                  {end(sideA, 21, {4}), end(sideB, 21, {6})},
                  lone(11)},
                 {"Q is not turned although its first edge lies on P's last side",
                  {end(sideA, 11, {1}), bridge(sideB, 11, 21, {2})},
                  {end(sideB, 31, {3}), adj(sideA, 31, 41)},
                  {end(sideA, 11, {1}), bridge(sideB, 11, 31, {2, 3}), adj(sideA, 31, 41)},
                  lone(21, {2})}});
}

TEST(JoinSteps, SideJoinsTurnQToTheSideOfPsEnd) {
    expectJoins(sideJoinBefore,
                {{"Q reversed so that its last edge lies on the side of P's first edge",
                  {end(sideB, 11, {1}), adj(sideA, 11, 21), end(sideB, 21, {2})},
                  {bridge(sideB, 31, 41, {3}), adj(sideA, 41, 51)},
                  {adj(sideA, 51, 41), bridge(sideB, 41, 11, {3, 1}), adj(sideA, 11, 21),
                   end(sideB, 21, {2})},
                  lone(31, {3})}});
    expectJoins(sideJoinAfter,
                {{"Q reversed so that its first edge lies on the side of P's last edge",
                  {end(sideA, 11, {1}), adj(sideB, 11, 21), bridge(sideA, 21, 31, {2})},
                  {adj(sideB, 51, 41), end(sideA, 41, {3})},
                  {end(sideA, 11, {1}), adj(sideB, 11, 21), bridge(sideA, 21, 41, {2, 3}),
                   adj(sideB, 41, 51)},
                  lone(31, {2})}});
}

TEST(JoinSteps, MergePathsCarriesPsLastEdgeOnToQ) {
    struct Case {
        const char* name;
        Component p;
        Component q;
        Component r;
    };
    const Case cases[] = {
        {"P turned to end away from its bridging edge, Q turned to start with its end edge",
         {adj(sideA, 11, 21), bridge(sideB, 21, 31, {3})},
         {adj(sideB, 41, 51), end(sideA, 51, {8})},
         {bridge(sideB, 31, 21, {3}), bridge(sideA, 21, 51, {8}), adj(sideB, 51, 41)}},
        {"two odd paths, each starting with its end edge",
         {end(sideB, 11, {1}), bridge(sideA, 11, 21, {2})},
         {end(sideB, 31, {3}), bridge(sideA, 31, 41, {4})},
         {bridge(sideA, 21, 11, {2}), bridge(sideB, 11, 31, {1, 3}), bridge(sideA, 31, 41, {4})}},
        {"a lone vertex keeps its flags",
         lone(11),
         {end(sideB, 31, {3}), adj(sideA, 31, 41)},
         {Edge{loneVertexFlags, 11, 31, {3}}, adj(sideA, 31, 41)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Component r;
        mergePaths(c.p, c.q, r);
        EXPECT_EQ(r, c.r);
    }
}

TEST(JoinSteps, JoinBothWaysFilesEachPairByItsJoinedPath) {
    struct Case {
        const char* name;
        Component p;
        Component q;
        ComponentQuad expected;
    };
    const Case cases[] = {
        {"the second pair is of category 0",
         {end(sideA, 11, {1}), adj(sideB, 11, 21), adj(sideA, 21, 31), end(sideB, 31, {3})},
         {bridge(sideA, 41, 51, {5}), bridge(sideB, 51, 61, {6})},
         {{bridge(sideA, 41, 51, {5}), bridge(sideB, 51, 31, {6, 3}), adj(sideA, 31, 21),
           adj(sideB, 21, 11), end(sideA, 11, {1})},
          lone(61, {6}),
          {bridge(sideB, 61, 51, {6}), bridge(sideA, 51, 11, {5, 1}), adj(sideB, 11, 21),
           adj(sideA, 21, 31), end(sideB, 31, {3})},
          lone(41, {5}),
          0}},
        {"the first pair is of category 0",
         {end(sideB, 11, {1}), adj(sideA, 11, 21), adj(sideB, 21, 31), end(sideA, 31, {3})},
         {bridge(sideB, 41, 51, {5}), bridge(sideA, 51, 61, {6})},
         {{bridge(sideA, 61, 51, {6}), bridge(sideB, 51, 11, {5, 1}), adj(sideA, 11, 21),
           adj(sideB, 21, 31), end(sideA, 31, {3})},
          lone(41, {5}),
          {bridge(sideB, 41, 51, {5}), bridge(sideA, 51, 31, {6, 3}), adj(sideB, 31, 21),
           adj(sideA, 21, 11), end(sideB, 11, {1})},
          lone(61, {6}),
          0}},
        // Both joined paths are of category 0: the second pair fills both alternatives.
        {"both pairs of category 0",
         {end(sideA, 11, {1}), adj(sideB, 11, 21), end(sideA, 21, {2})},
         {bridge(sideA, 41, 51, {5})},
         {{bridge(sideA, 41, 21, {5, 2}), adj(sideB, 21, 11), end(sideA, 11, {1})},
          lone(51, {5}),
          {bridge(sideA, 41, 21, {5, 2}), adj(sideB, 21, 11), end(sideA, 11, {1})},
          lone(51, {5}),
          0}},
        {"neither pair of category 0",
         {end(sideB, 11, {1}), adj(sideA, 11, 21), end(sideB, 21, {2})},
         {bridge(sideB, 41, 51, {5})},
         {{bridge(sideB, 41, 21, {5, 2}), adj(sideA, 21, 11), end(sideB, 11, {1})},
          lone(51, {5}),
          {bridge(sideB, 41, 21, {5, 2}), adj(sideA, 21, 11), end(sideB, 11, {1})},
          lone(51, {5}),
          0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ComponentQuad quad = joinBothWays(c.p, c.q);
        EXPECT_EQ(quad.first, c.expected.first);
        EXPECT_EQ(quad.second, c.expected.second);
        EXPECT_EQ(quad.third, c.expected.third);
        EXPECT_EQ(quad.fourth, c.expected.fourth);
    }
}

TEST(JoinSteps, JoinEitherOrderJoinsPBeforeQThenQBeforeP) {
    struct Case {
        const char* name;
        Component p;
        Component q;
        ComponentQuad expected;
    };
    const Case cases[] = {
        {"an odd path and an even path",
         {bridge(sideA, 21, 11, {2}), end(sideB, 11, {1})},
         {end(sideA, 31, {3}), bridge(sideB, 31, 41, {4})},
         {{end(sideA, 31, {3}), bridge(sideB, 31, 11, {4, 1}), bridge(sideA, 11, 21, {2})},
          lone(41, {4}),
          {end(sideB, 11, {1}), bridge(sideA, 11, 31, {2, 3}), bridge(sideB, 31, 41, {4})},
          lone(21, {2}),
          0}},
        // Q as the first join left it (reversed) is the front operand of the second join.
        {"the second join starts from the operands as the first join turned them",
         {end(sideA, 11, {1}), bridge(sideB, 11, 21, {2})},
         {adj(sideB, 31, 41), adj(sideA, 41, 51), bridge(sideB, 51, 61, {6})},
         {{adj(sideB, 31, 41), adj(sideA, 41, 51), bridge(sideB, 51, 11, {6, 1}),
           bridge(sideB, 11, 21, {2})},
          lone(61, {6}),
          {end(sideA, 11, {1}), bridge(sideB, 11, 61, {2, 6}), adj(sideA, 51, 41),
           adj(sideB, 41, 31)},
          lone(21, {2}),
          0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ComponentQuad quad = joinEitherOrder(c.p, c.q);
        EXPECT_EQ(quad.first, c.expected.first);
        EXPECT_EQ(quad.second, c.expected.second);
        EXPECT_EQ(quad.third, c.expected.third);
        EXPECT_EQ(quad.fourth, c.expected.fourth);
    }
}

}  // namespace
}  // namespace varnet
