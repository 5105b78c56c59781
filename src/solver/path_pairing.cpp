#include "solver/path_pairing.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "solver/bucketing.hpp"
#include "solver/categories.hpp"
#include "solver/joins.hpp"
#include "solver/primitives.hpp"
#include "solver/short_list.hpp"

namespace varnet {
namespace {

// The operands of one iteration in the order of its record's `before` list: X1 (the last path)
// and, for drivers that supply two, X2 (the second-to-last) of the driving category, then the
// last path of each partner category.
using Operands = std::array<const Component*, 4>;

// What one iteration produces: the paths of its after list (R, or R1 to R3, in that order) and,
// for the steps that leave two outcomes open, the quad.
struct PairingOutcome {
    std::array<Component, 3> products;
    ComponentQuad quad;
};

using StepFunction = void (*)(const Operands& x, PairingOutcome& out);

// What a join gives, as the products R1 and R2 (a merge gives R alone), or as the quad.
void take(JoinResult r, PairingOutcome& out) {
    out.products[0] = std::move(r.joined);
    out.products[1] = std::move(r.freed);
}
void take(Component merged, PairingOutcome& out) {
    out.products[0] = std::move(merged);
}
void take(ComponentQuad quad, PairingOutcome& out) {
    out.quad = std::move(quad);
}

// R1 to R3 from a second join `last` of T, where a first join gave T and R2.
void takeSecondJoin(JoinResult& first, JoinResult last, PairingOutcome& out) {
    out.products = {std::move(last.joined), std::move(first.freed), std::move(last.freed)};
}

// The steps of one join of X and Y.
template <auto join>
void oneJoin(const Operands& x, PairingOutcome& out) {
    take(join(*x[0], *x[1]), out);
}

// Composite steps. T, T1 and T2 are intermediate paths: made by one join, consumed by the next,
// never filed or recorded.

// (X, Y, Z): headJoin (X, Y) gives T and R; joinBothWays (T, Z) gives the quad.
void twoStep34(const Operands& x, PairingOutcome& out) {
    JoinResult t = headJoin(*x[0], *x[1]);
    out.products[0] = std::move(t.freed);
    out.quad = joinBothWays(t.joined, *x[2]);
}

// (X, Y, Z): orientJoin (X, Y) gives T and R; joinBothWays (Z, T) gives the quad.
void twoStep35(const Operands& x, PairingOutcome& out) {
    JoinResult t = orientJoin(*x[0], *x[1]);
    out.products[0] = std::move(t.freed);
    out.quad = joinBothWays(*x[2], t.joined);
}

// (X1, X2, Y, W): headJoin (X1, Y) gives T1 and R1; orientJoin (X2, W) gives T2 and R2;
// joinBothWays (T1, T2) gives the quad.
void threeStep38(const Operands& x, PairingOutcome& out) {
    JoinResult t1 = headJoin(*x[0], *x[2]);
    JoinResult t2 = orientJoin(*x[1], *x[3]);
    out.products[0] = std::move(t1.freed);
    out.products[1] = std::move(t2.freed);
    out.quad = joinBothWays(t1.joined, t2.joined);
}

// (X1, X2, Y): mergePaths (X1, X2) gives T; orientJoin (Y, T) gives R1 and R2.
void twoStep39(const Operands& x, PairingOutcome& out) {
    take(orientJoin(*x[2], mergePaths(*x[0], *x[1])), out);
}

// (X1, X2, Y): orientJoin (X1, Y) gives T and R2; orientJoin (X2, T) gives R1 and R3.
void twoStep310(const Operands& x, PairingOutcome& out) {
    JoinResult t = orientJoin(*x[0], *x[2]);
    takeSecondJoin(t, orientJoin(*x[1], t.joined), out);
}

// (X1, X2, Y): sideJoinBefore (Y, X1) gives T and R2; orientJoin (T, X2) gives R1 and R3.
void twoStep316(const Operands& x, PairingOutcome& out) {
    JoinResult t = sideJoinBefore(*x[2], *x[0]);
    takeSecondJoin(t, orientJoin(t.joined, *x[1]), out);
}

// (X1, X2, Y): sideJoinAfter (Y, X1) gives T and R2; orientJoinGeneEdge (T, X2) gives R1, R3.
void twoStep317(const Operands& x, PairingOutcome& out) {
    JoinResult t = sideJoinAfter(*x[2], *x[0]);
    takeSecondJoin(t, orientJoinGeneEdge(t.joined, *x[1]), out);
}

// (Y, Z, W): W' is W, reversed when its first edge's side differs from Z's last edge's and it
// has more than one edge; sideJoinBefore (Z, W') gives T and R2; headJoin (T, Y) gives R1, R3.
void twoStep318Step(const Operands& x, PairingOutcome& out) {
    JoinResult t = sideJoinBefore(*x[1], turnedTo(*x[2], true, x[1]->back().side));
    takeSecondJoin(t, headJoin(t.joined, *x[0]), out);
}

// (Y, Z, W): sideJoinAfter (Z, W) gives T and R2; orientJoin (T, Y) gives R1 and R3.
void twoStep319Step(const Operands& x, PairingOutcome& out) {
    JoinResult t = sideJoinAfter(*x[1], *x[2]);
    takeSecondJoin(t, orientJoin(t.joined, *x[0]), out);
}

// (X1, X2, Y, Z): two-step 3.18 on (Y, Z, X1) gives T, R1 and R2; joinBothWays (T, X2) gives
// the quad.
void threeStep314(const Operands& x, PairingOutcome& out) {
    twoStep318Step(Operands{x[2], x[3], x[0], nullptr}, out);
    out.quad = joinBothWays(out.products[0], *x[1]);
    out.products = {std::move(out.products[1]), std::move(out.products[2]), {}};
}

// (X1, X2, Y, Z): two-step 3.19 on (Y, Z, X1) gives T, R1 and R2; joinBothWays (X2, T) gives
// the quad.
void threeStep315(const Operands& x, PairingOutcome& out) {
    twoStep319Step(Operands{x[2], x[3], x[0], nullptr}, out);
    out.quad = joinBothWays(*x[1], out.products[0]);
    out.products = {std::move(out.products[1]), std::move(out.products[2]), {}};
}

using enum Category;

// Where a product goes: a fixed category, or `cat`, the category `categoryOf` gives for it.
using Routing = std::optional<Category>;
constexpr Routing cat = std::nullopt;

struct Driver {
    Category category;
    bool twoOrMore = false;  // needs two paths and supplies X1 and X2
};
constexpr bool twoOrMore = true;

constexpr bool quad = true;

struct PairingCase {
    std::string_view step;
    Driver driver;
    ShortList<Category, 2> partners;
    StepFunction run;
    ShortList<EventCode, 3> events;
    ShortList<Routing, 3> routing;  // one entry per product, in after-list order
    bool leavesQuad = false;        // the iteration's outcome stays open between two alternatives
};

constexpr EventCode SP = spEvent;
constexpr EventCode C = cutEvent;
constexpr EventCode J = joinEvent;

// The cost of a row is the sum of the weights of its events ("SP" w[1], "C" w[3], "J" w[2]).
// clang-format off
constexpr PairingCase pairingCases[] = {
    //        step    driver                     partners                      step function                  events        after list: routing      leaves a quad
    /*  1 */ {"3.1",  {oddEndOnA},               {oddEndOnB},                  &oneJoin<joinEitherOrder>,     {SP},         {},                      quad},
    /*  2 */ {"3.2",  {oddEndToEndB},            {oddBridgedB},                &oneJoin<orientJoin>,          {SP},         {evenEndOnB, cat}},
    /*  3 */ {"3.2",  {oddEndToEndA},            {oddBridgedA},                &oneJoin<orientJoin>,          {SP},         {evenEndOnA, cat}},
    /*  4 */ {"3.2",  {blockOnA},                {oddBridgedA},                &oneJoin<orientJoin>,          {SP},         {evenEndOnA, cat}},
    /*  5 */ {"3.2",  {oddEndToEndA},            {bridgeOnA},                  &oneJoin<orientJoin>,          {SP},         {evenEndOnA, cat}},
    /*  6 */ {"3.2",  {blockOnA},                {bridgeOnA},                  &oneJoin<orientJoin>,          {SP},         {endEdgeOnA, cat}},
    /*  7 */ {"3.3",  {evenEndToEnd},            {evenBridged},                &oneJoin<joinBothWays>,        {SP},         {},                      quad},
    /*  8 */ {"3.4",  {oddEndOnB},               {oddEndToEndB, evenBridged},  &twoStep34,                    {SP, SP},     {cat},                   quad},
    /*  9 */ {"3.4",  {oddEndOnA},               {oddEndToEndA, evenBridged},  &twoStep34,                    {SP, SP},     {cat},                   quad},
    /* 10 */ {"3.4",  {oddEndOnA},               {blockOnA, evenBridged},      &twoStep34,                    {SP, SP},     {cat},                   quad},
    /* 11 */ {"3.5",  {oddEndOnA},               {oddBridgedB, evenEndToEnd},  &twoStep35,                    {SP, SP},     {cat},                   quad},
    /* 12 */ {"3.5",  {oddEndOnB},               {oddBridgedA, evenEndToEnd},  &twoStep35,                    {SP, SP},     {cat},                   quad},
    /* 13 */ {"3.5",  {oddEndOnB},               {bridgeOnA, evenEndToEnd},    &twoStep35,                    {SP, SP},     {cat},                   quad},
    /* 14 */ {"3.6",  {oddEndOnA},               {evenEndToEnd},               &oneJoin<orientJoinGeneEdge>,  {SP},         {cat, cat}},
    /* 15 */ {"3.6",  {oddEndOnB},               {evenEndToEnd},               &oneJoin<orientJoinGeneEdge>,  {SP},         {cat, cat}},
    /* 16 */ {"3.7",  {oddEndOnA},               {evenBridged},                &oneJoin<orientJoin>,          {SP},         {cat, cat}},
    /* 17 */ {"3.7",  {oddEndOnB},               {evenBridged},                &oneJoin<orientJoin>,          {SP},         {cat, cat}},
    /* 18 */ {"3.8",  {oddEndOnA, twoOrMore},    {blockOnA, oddBridgedB},      &threeStep38,                  {SP, SP, SP}, {cat, cat},              quad},
    /* 19 */ {"3.8",  {oddEndOnA, twoOrMore},    {oddEndToEndA, oddBridgedB},  &threeStep38,                  {SP, SP, SP}, {cat, cat},              quad},
    /* 20 */ {"3.8",  {oddEndOnB, twoOrMore},    {oddEndToEndB, oddBridgedA},  &threeStep38,                  {SP, SP, SP}, {cat, cat},              quad},
    /* 21 */ {"3.8",  {oddEndOnB, twoOrMore},    {oddEndToEndB, bridgeOnA},    &threeStep38,                  {SP, SP, SP}, {cat, cat},              quad},
    /* 22 */ {"3.9",  {oddEndOnA, twoOrMore},    {oddEndToEndA},               &twoStep39,                    {C, SP},      {evenEndOnA, cat}},
    /* 23 */ {"3.9",  {oddEndOnA, twoOrMore},    {blockOnA},                   &twoStep39,                    {C, SP},      {evenEndOnA, cat}},
    /* 24 */ {"3.9",  {oddEndOnB, twoOrMore},    {oddEndToEndB},               &twoStep39,                    {J, SP},      {evenEndOnB, cat}},
    /* 25 */ {"3.10", {oddEndOnA, twoOrMore},    {oddBridgedB},                &twoStep310,                   {SP, SP},     {oddBridgedA, cat, cat}},
    /* 26 */ {"3.10", {oddEndOnB, twoOrMore},    {oddBridgedA},                &twoStep310,                   {SP, SP},     {oddBridgedB, cat, cat}},
    /* 27 */ {"3.10", {oddEndOnB, twoOrMore},    {bridgeOnA},                  &twoStep310,                   {SP, SP},     {oddBridgedB, cat, cat}},
    /* 28 */ {"3.11", {oddEndOnA, twoOrMore},    {},                           &oneJoin<mergePaths>,          {C},          {cat}},
    /* 29 */ {"3.11", {oddEndOnB, twoOrMore},    {},                           &oneJoin<mergePaths>,          {J},          {cat}},
    /* 30 */ {"3.12", {oddEndOnA},               {oddEndToEndA},               &oneJoin<headJoin>,            {SP},         {cat, cat}},
    /* 31 */ {"3.12", {oddEndOnA},               {blockOnA},                   &oneJoin<headJoin>,            {SP},         {cat, cat}},
    /* 32 */ {"3.12", {oddEndOnB},               {oddEndToEndB},               &oneJoin<headJoin>,            {SP},         {cat, cat}},
    /* 33 */ {"3.13", {oddEndOnA},               {oddBridgedB},                &oneJoin<orientJoin>,          {SP},         {cat, cat}},
    /* 34 */ {"3.13", {oddEndOnB},               {oddBridgedA},                &oneJoin<orientJoin>,          {SP},         {cat, cat}},
    /* 35 */ {"3.13", {oddEndOnB},               {bridgeOnA},                  &oneJoin<orientJoin>,          {SP},         {cat, cat}},
    /* 36 */ {"3.14", {evenBridged, twoOrMore},  {oddEndToEndB, oddEndToEndA}, &threeStep314,                 {SP, SP, SP}, {cat, cat},              quad},
    /* 37 */ {"3.14", {evenBridged, twoOrMore},  {oddEndToEndB, blockOnA},     &threeStep314,                 {SP, SP, SP}, {cat, cat},              quad},
    /* 38 */ {"3.15", {evenEndToEnd, twoOrMore}, {oddBridgedA, oddBridgedB},   &threeStep315,                 {SP, SP, SP}, {cat, cat},              quad},
    /* 39 */ {"3.15", {evenEndToEnd, twoOrMore}, {bridgeOnA, oddBridgedB},     &threeStep315,                 {SP, SP, SP}, {cat, cat},              quad},
    /* 40 */ {"3.16", {evenBridged, twoOrMore},  {oddEndToEndB},               &twoStep316,                   {SP, SP},     {cat, cat, cat}},
    /* 41 */ {"3.16", {evenBridged, twoOrMore},  {oddEndToEndA},               &twoStep316,                   {SP, SP},     {cat, cat, cat}},
    /* 42 */ {"3.16", {evenBridged, twoOrMore},  {blockOnA},                   &twoStep316,                   {SP, SP},     {cat, cat, cat}},
    /* 43 */ {"3.17", {evenEndToEnd, twoOrMore}, {oddBridgedB},                &twoStep317,                   {SP, SP},     {cat, cat, cat}},
    /* 44 */ {"3.17", {evenEndToEnd, twoOrMore}, {oddBridgedA},                &twoStep317,                   {SP, SP},     {cat, cat, cat}},
    /* 45 */ {"3.17", {evenEndToEnd, twoOrMore}, {bridgeOnA},                  &twoStep317,                   {SP, SP},     {cat, cat, cat}},
    /* 46 */ {"3.18", {oddEndToEndB},            {oddEndToEndA, evenBridged},  &twoStep318Step,               {SP, SP},     {cat, cat, cat}},
    /* 47 */ {"3.18", {oddEndToEndB},            {blockOnA, evenBridged},      &twoStep318Step,               {SP, SP},     {cat, cat, cat}},
    /* 48 */ {"3.19", {oddBridgedA},             {oddBridgedB, evenEndToEnd},  &twoStep319Step,               {SP, SP},     {cat, cat, cat}},
    /* 49 */ {"3.19", {bridgeOnA},               {oddBridgedB, evenEndToEnd},  &twoStep319Step,               {SP, SP},     {cat, cat, cat}},
};
// clang-format on

// Each row must charge some event and draw its operands from distinct categories.
constexpr bool isConsistent(const PairingCase& row) {
    if (row.events.size == 0) return false;
    for (const Category partner : row.partners) {
        if (partner == row.driver.category) return false;
    }
    return row.partners.size < 2 || row.partners.items[0] != row.partners.items[1];
}

constexpr bool allConsistent() {
    for (const PairingCase& row : pairingCases) {
        if (!isConsistent(row)) return false;
    }
    return std::size(pairingCases) == 49;
}
static_assert(allConsistent(), "a row of the pairing table is malformed");

// The categories each row takes a path from.
constexpr std::array<CategorySet, std::size(pairingCases)> categoriesNeeded = [] {
    std::array<CategorySet, std::size(pairingCases)> needed{};
    for (std::size_t r = 0; r < std::size(pairingCases); ++r) {
        needed[r] = bitOf(pairingCases[r].driver.category);
        for (const Category partner : pairingCases[r].partners) needed[r] |= bitOf(partner);
    }
    return needed;
}();

// The categories some row is driven by: where the buckets hold none of them, no row runs.
constexpr CategorySet driverCategories = [] {
    CategorySet drivers = 0;
    for (const PairingCase& row : pairingCases) drivers |= bitOf(row.driver.category);
    return drivers;
}();

bool partnersAvailable(const ChromosomeSet& state, const PairingCase& row) {
    for (const Category partner : row.partners) {
        if (state.buckets[partner].empty()) return false;
    }
    return true;
}

// One case loop: it runs while the driving category can supply its operands and ends as soon as
// a partner category is empty.
void runCase(ChromosomeSet& state, const PairingCase& row, const OperationWeights& weights) {
    std::vector<Component>& driver = state.buckets[row.driver.category];
    const std::size_t taken = row.driver.twoOrMore ? 2 : 1;
    // Most rows find nothing to do: they cost no allocation.
    if (driver.size() < taken) return;
    double cost = weightOf(*row.events.begin(), weights);
    for (auto e = row.events.begin() + 1; e != row.events.end(); ++e) cost += weightOf(*e, weights);

    while (driver.size() >= taken && partnersAvailable(state, row)) {
        Operands operands{};
        std::size_t count = 0;
        operands[count++] = &driver.back();
        if (taken == 2) operands[count++] = &driver[driver.size() - 2];
        for (const Category partner : row.partners) {
            operands[count++] = &state.buckets[partner].back();
        }
        PairingOutcome outcome;
        row.run(operands, outcome);

        const auto makeRecord = [&] {
            OperationRecord record{
                {}, {}, {row.events.begin(), row.events.end()}, std::string(row.step)};
            for (std::size_t i = 0; i < count; ++i)
                record.before.push_back(ComponentItem{*operands[i], 'L'});
            for (std::size_t i = 0; i < row.routing.size; ++i)
                record.after.push_back(ComponentItem{outcome.products[i], 'L'});
            return record;
        };
        // A quad's record stays open until the quad's outcome is settled.
        if (row.leavesQuad) {
            outcome.quad.recordIndex = state.log.openStep(makeRecord);
        } else {
            state.log.recordStep(makeRecord);
        }

        for (std::size_t i = 0; i < taken; ++i) driver.pop_back();
        for (const Category partner : row.partners) {
            state.buckets[partner].pop_back();
        }
        if (row.leavesQuad) state.quads.push_back(std::move(outcome.quad));
        for (std::size_t i = 0; i < row.routing.size; ++i) {
            Component& product = outcome.products[i];
            const Routing routed = row.routing.items[i];
            const Category category = routed ? *routed : categoryOf(product);
            fileComponent(state, std::move(product), category);
        }
        state.log.addCost(cost);
    }
}

}  // namespace

void pairPaths(ChromosomeSet& state, const OperationWeights& weights) {
    // Most rows find a category they need empty: that costs one test.
    CategorySet held = state.buckets.held();
    if ((held & driverCategories) == 0) return;
    for (std::size_t r = 0; r < std::size(pairingCases); ++r) {
        if ((categoriesNeeded[r] & ~held) != 0) continue;
        runCase(state, pairingCases[r], weights);
        held = state.buckets.held();
    }
}

}  // namespace varnet
