#include "tree/neighbour_joining.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "tree/tree_files.hpp"

namespace varnet {
namespace {

// A pair whose Q value is not lower than the current best by more than this counts as a tie,
// and the earlier pair in row-major order keeps its place.
constexpr double tieTolerance = 0.00001;
constexpr double pairScanStart = 1000000.0;
constexpr double unitRoundoff = std::numeric_limits<double>::epsilon() / 2;
// Bounds the rounding of the few operations that make one Q value from a distance and two row
// sums, relative to the size of the parts, with ample room.
constexpr double operationSlack = 64 * unitRoundoff;
constexpr double infinity = std::numeric_limits<double>::infinity();

struct Join {
    int32_t node;
    int32_t first;
    double firstLength;
    int32_t second;
    double secondLength;
};

std::string defaultFormat(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The clusters still to be joined, over the rows of the matrix they came from. A cluster keeps
// the slot of its row; a joined cluster takes the slot of the earlier of its two parts, so slot
// order is the order of positions, and the slot of the later part is freed.
//
// The pair joined is the one the plain method chooses: Q values from the row sums added up in
// column order, read in row-major order, a pair taking the place of the best so far only when
// lower by more than the tie tolerance. Adding every row up for every join would make the method
// cubic, so each row keeps a running sum together with a proven bound on how far it can be from
// the plainly added sum. Where the bounds cannot settle the choice (values that are not finite, or
// so many near-equal pairs that the search gives no gain), the join reads every pair as the plain
// method does.
//
// Rows that are equal bit for bit, at distance +0 from each other, stand for clusters the method
// cannot tell apart: they form a group. Their row sums are equal, and so is the Q value of every
// pair inside the group, and of every pair with a given other cluster on the same side of it; a
// pair whose Q value equals that of a pair read before it never replaces the best, so of these
// only the first in row-major order matters. The search therefore runs over groups, not rows:
// each group keeps a list of its pairs with other groups by increasing distance, read only while
// a pair's Q value could still come near the lowest one; the rows of the few pairs that do are
// added up exactly, and their exact Q values settle the choice. Joining two rows of one group
// (its first two, the first such pair in row-major order) leaves every distance as it was: the
// group loses a row and nothing else changes. A join of two groups' rows makes a group of one
// row and keeps the other rows of both groups equal, so groups stay groups until they are used
// up.
class JoiningClusters {
public:
    JoiningClusters(DistanceMatrix distances, std::vector<int32_t> ids)
        : rows_(std::move(distances)), ids_(std::move(ids)) {
        const std::size_t n = rows_.size();
        bool finite = true;
        for (const std::vector<double>& row : rows_) {
            if (row.size() != n)
                throw std::invalid_argument("neighbour joining needs a square distance matrix");
            for (const double cell : row) finite = finite && std::isfinite(cell);
        }
        alive_.resize(n);
        std::iota(alive_.begin(), alive_.end(), uint32_t{0});
        sums_.resize(n);
        absoluteSums_.resize(n);
        sumErrors_.resize(n);
        exactSums_.resize(n);
        exactRound_.assign(n, std::numeric_limits<uint32_t>::max());
        // The plain sum of k terms is within k * u / (1 - k * u) of their exact sum, relative to
        // the sum of their absolute values.
        const double terms = static_cast<double>(n);
        sumRounding_ = 1.01 * terms * unitRoundoff / (1 - terms * unitRoundoff);
        searching_ = finite && terms * unitRoundoff < 0.01;
        for (std::size_t p = 0; p < n; ++p) restartSum(static_cast<uint32_t>(p));
        if (searching_) {
            formGroups();
            listLength_ = 64 + groups_.size() / 32;
            for (const uint32_t g : liveGroups_) buildList(g, listLength_);
        }
    }

    std::size_t activeCount() const { return alive_.size(); }

    // Joins the pair the plain method chooses; the new cluster is `node`.
    Join joinNext(int32_t node) {
        const auto [i, j] = choosePair();
        const double sumI = exactSum(i);
        const double sumJ = exactSum(j);
        const double delta = (sumI - sumJ) / static_cast<int32_t>(alive_.size() - 2);
        std::vector<double>& rowI = rows_[i];
        const std::vector<double>& rowJ = rows_[j];
        const double dij = rowI[j];
        const Join join{node, ids_[i], (dij + delta) * 0.5, ids_[j], (dij - delta) * 0.5};
        alive_.erase(std::find(alive_.begin(), alive_.end(), j));
        bool finite = true;
        constexpr std::size_t ahead = 16;
        for (std::size_t index = 0; index < alive_.size(); ++index) {
            // The cells of a column lie in as many rows: fetch them well before they are read.
            if (index + ahead < alive_.size()) {
                const double* later = rows_[alive_[index + ahead]].data();
                __builtin_prefetch(later + i, 1);
                __builtin_prefetch(later + j);
            }
            const uint32_t k = alive_[index];
            if (k == i) continue;
            std::vector<double>& rowK = rows_[k];
            const double distance = (rowJ[k] + rowI[k] - dij) * 0.5;
            if (searching_) updateSum(k, rowK[i], rowK[j], distance);
            finite = finite && std::isfinite(distance);
            rowI[k] = distance;
            rowK[i] = distance;
        }
        // Distances that overflow cannot be ordered: every later join reads all pairs.
        if (!finite) searching_ = false;
        ids_[i] = node;
        ++round_;
        std::vector<double>().swap(rows_[j]);
        restartSum(i);
        if (searching_) regroup(i, j);
        return join;
    }

    // The last two clusters: (first id, second id, distance first to second, second to first).
    std::tuple<int32_t, int32_t, double, double> lastPair() const {
        const uint32_t a = alive_[0];
        const uint32_t b = alive_[1];
        return {ids_[a], ids_[b], rows_[a][b], rows_[b][a]};
    }

private:
    struct ListedPair {
        double distance;
        uint32_t group;
    };

    struct Candidate {
        uint32_t first;  // the earlier slot
        uint32_t second;
        double low;  // a bound on the pair's Q value from below
        double exact = 0.0;
    };

    // The groups of equal rows; a matrix that is not symmetric bit for bit has a group per row.
    void formGroups() {
        const std::size_t n = rows_.size();
        bool symmetric = true;
        for (std::size_t p = 0; p < n && symmetric; ++p) {
            for (std::size_t q = p + 1; q < n && symmetric; ++q)
                symmetric =
                    std::bit_cast<uint64_t>(rows_[p][q]) == std::bit_cast<uint64_t>(rows_[q][p]);
        }
        std::vector<std::size_t> groupOf(n);
        std::iota(groupOf.begin(), groupOf.end(), std::size_t{0});
        if (symmetric) groupOf = identicalGroups(rows_, true);
        // Groups numbered in the order of their first rows, as are the rows themselves.
        groupOf_.assign(groupOf.begin(), groupOf.end());
        for (std::size_t p = 0; p < n; ++p) {
            if (groupOf[p] == groups_.size()) {
                groups_.emplace_back();
                liveGroups_.push_back(groupOf_[p]);
            }
            groups_[groupOf[p]].members.push_back(static_cast<uint32_t>(p));
        }
    }

    // After rows i and j (i < j) were joined into row i: the group of both loses row j, or each
    // loses its row and row i makes a group of its own.
    void regroup(uint32_t i, uint32_t j) {
        const uint32_t gi = groupOf_[i];
        const uint32_t gj = groupOf_[j];
        removeMember(gj, j);
        if (gi == gj) return;
        removeMember(gi, i);
        const auto created = static_cast<uint32_t>(groups_.size());
        groups_.emplace_back();
        groups_.back().members = {i};
        groups_.back().createdIn = round_;
        groupOf_[i] = created;
        liveGroups_.push_back(created);
        buildList(created, listLength_);
    }

    void removeMember(uint32_t g, uint32_t slot) {
        std::vector<uint32_t>& members = groups_[g].members;
        members.erase(std::lower_bound(members.begin(), members.end(), slot));
        if (!members.empty()) return;
        std::vector<ListedPair>().swap(groups_[g].list);
        liveGroups_.erase(std::find(liveGroups_.begin(), liveGroups_.end(), g));
    }

    uint32_t leader(uint32_t g) const { return groups_[g].members.front(); }
    bool live(uint32_t g) const { return !groups_[g].members.empty(); }

    // The row's cells added up in column order, as the plain method adds them (once per join).
    double exactSum(uint32_t p) {
        if (exactRound_[p] == round_) return exactSums_[p];
        const std::vector<double>& row = rows_[p];
        double sum = 0.0;
        for (const uint32_t q : alive_) sum += row[q];
        exactRound_[p] = round_;
        return exactSums_[p] = sum;
    }

    // Starts the running sum of a row afresh from its exact sum.
    void restartSum(uint32_t p) {
        const std::vector<double>& row = rows_[p];
        double absolute = 0.0;
        for (const uint32_t q : alive_) absolute += std::abs(row[q]);
        sums_[p] = exactSum(p);
        absoluteSums_[p] = absolute * (1 + 2 * sumRounding_);
        sumErrors_[p] = sumRounding_ * absoluteSums_[p];
    }

    // The running sum loses cells a and b and gains cell c; each of the three additions rounds
    // by at most u times the size of its parts.
    void updateSum(uint32_t p, double a, double b, double c) {
        const double sum = sums_[p];
        const double absolute = absoluteSums_[p];
        const double parts = std::abs(sum) + std::abs(a) + std::abs(b) + std::abs(c);
        sums_[p] = sum - a - b + c;
        sumErrors_[p] += 4 * unitRoundoff * parts;
        absoluteSums_[p] = absolute - std::abs(a) - std::abs(b) + std::abs(c) +
                           4 * unitRoundoff * (absolute + std::abs(c));
    }

    // How far the running sum of row p can be from the plainly added one.
    double sumUncertainty(uint32_t p) const {
        return sumErrors_[p] + sumRounding_ * absoluteSums_[p];
    }

    // A pair of groups belongs to the one created last; of two groups of the start, to the
    // earlier.
    bool listed(uint32_t g, uint32_t x) const {
        return live(x) && (groups_[x].createdIn < groups_[g].createdIn ||
                           (groups_[x].createdIn == groups_[g].createdIn && x > g));
    }

    // Group g's list holds the pairs it answers for, the nearest first. At most `length` pairs
    // are kept; the list says whether it holds them all. A pair's distance is kept beside it: it
    // cannot change while both its groups stay.
    void buildList(uint32_t g, std::size_t length) {
        const std::vector<double>& row = rows_[leader(g)];
        scratch_.clear();
        for (const uint32_t x : liveGroups_) {
            if (listed(g, x)) scratch_.push_back({row[leader(x)], x});
        }
        const auto nearer = [](const ListedPair& a, const ListedPair& b) {
            return a.distance < b.distance || (a.distance == b.distance && a.group < b.group);
        };
        const bool complete = scratch_.size() <= length;
        if (!complete) {
            std::nth_element(scratch_.begin(),
                             scratch_.begin() + static_cast<std::ptrdiff_t>(length), scratch_.end(),
                             nearer);
            scratch_.resize(length);
        }
        std::sort(scratch_.begin(), scratch_.end(), nearer);
        Group& group = groups_[g];
        group.list.assign(scratch_.begin(), scratch_.end());
        group.listComplete = complete;
        group.listStart = 0;
        group.nearest = scratch_.empty() ? infinity : scratch_.front().distance;
    }

    // Adds the pair of slots p and x as a candidate when its Q value may be within reach of the
    // lowest; false when there are too many candidates for the search to pay.
    bool consider(uint32_t p, uint32_t x, double distance, double factor) {
        const uint32_t first = std::min(p, x);
        const uint32_t second = std::max(p, x);
        const double scaled = factor * distance;
        const double uncertainFirst = sumUncertainty(first);
        const double uncertainSecond = sumUncertainty(second);
        const double slack =
            operationSlack * (std::abs(scaled) + std::abs(sums_[first]) + std::abs(sums_[second]) +
                              uncertainFirst + uncertainSecond);
        const double low =
            scaled - (sums_[first] + uncertainFirst) - (sums_[second] + uncertainSecond) - slack;
        if (low > limit_) return true;
        const double high =
            scaled - (sums_[first] - uncertainFirst) - (sums_[second] - uncertainSecond) + slack;
        limit_ = std::min(limit_, high + 2 * tieTolerance);
        candidates_.push_back({first, second, low});
        return candidates_.size() <= candidateLimit();
    }

    // The pairs of rows of groups g and x that can matter: of the pairs with a row of one group
    // first, the first in row-major order, for either group first.
    bool considerGroups(uint32_t g, uint32_t x, double distance, double factor) {
        const uint32_t earlier = leader(g) < leader(x) ? g : x;
        const uint32_t later = earlier == g ? x : g;
        const uint32_t laterLeader = leader(later);
        if (!consider(leader(earlier), laterLeader, distance, factor)) return false;
        const std::vector<uint32_t>& members = groups_[earlier].members;
        const auto after = std::upper_bound(members.begin(), members.end(), laterLeader);
        return after == members.end() || consider(laterLeader, *after, distance, factor);
    }

    std::size_t candidateLimit() const { return 64 + 4 * liveGroups_.size(); }

    // Reads group g's pairs in increasing distance while their Q values could come within reach.
    // `base` bounds the group's part of every Q value of its pairs from below.
    bool scanGroup(uint32_t g, double factor, double base) {
        for (;;) {
            Group& group = groups_[g];
            const std::vector<ListedPair>& list = group.list;
            std::size_t& start = group.listStart;
            while (start < list.size() && !listed(g, list[start].group)) ++start;
            group.nearest = start < list.size() ? list[start].distance : group.nearest;
            for (std::size_t k = start; k < list.size(); ++k) {
                const ListedPair& pair = list[k];
                if (!listed(g, pair.group)) continue;
                if (lowestFrom(pair.distance, factor, base) > limit_) return true;
                if (!considerGroups(g, pair.group, pair.distance, factor)) return false;
            }
            if (group.listComplete) return true;
            // The list ran out before the distances grew too large: make it longer and read it
            // again (pairs read twice count once).
            buildList(g, 2 * list.size() + 1);
        }
    }

    // A lower bound on every Q value of a row from a distance on, given the row's `base`.
    static double lowestFrom(double distance, double factor, double base) {
        const double scaled = factor * distance;
        return scaled - 2 * operationSlack * std::abs(scaled) - base;
    }

    // The pair of slots the plain method chooses.
    std::pair<uint32_t, uint32_t> choosePair() {
        const double factor = static_cast<double>(static_cast<int32_t>(alive_.size()) - 2);
        if (!searching_) return choosePairByReadingAll(factor);
        double largestUpper = -infinity;
        double largestSize = 0.0;
        for (const uint32_t g : liveGroups_) {
            const uint32_t x = leader(g);
            const double uncertain = sumUncertainty(x);
            largestUpper = std::max(largestUpper, sums_[x] + uncertain);
            largestSize = std::max(largestSize, std::abs(sums_[x]) + uncertain);
        }
        if (!std::isfinite(largestUpper) || !std::isfinite(largestSize))
            return choosePairByReadingAll(factor);
        limit_ = infinity;
        candidates_.clear();
        const auto baseOf = [&](uint32_t g) {
            const uint32_t p = leader(g);
            const double uncertain = sumUncertainty(p);
            return sums_[p] + uncertain + largestUpper +
                   2 * operationSlack *
                       (std::abs(sums_[p]) + uncertain + largestSize + std::abs(largestUpper));
        };
        // The pair inside each group of two rows or more: its first two rows.
        for (const uint32_t g : liveGroups_) {
            const std::vector<uint32_t>& members = groups_[g].members;
            if (members.size() > 1 && !consider(members[0], members[1], 0.0, factor))
                return choosePairByReadingAll(factor);
        }
        // The groups still in reach are read a few at a time, the lists of the next ones fetched
        // from memory meanwhile.
        constexpr std::size_t ahead = 8;
        for (std::size_t start = 0; start < liveGroups_.size(); start += ahead) {
            std::array<uint32_t, ahead> batch;
            std::array<double, ahead> bases;
            std::size_t count = 0;
            for (std::size_t k = start; k < std::min(start + ahead, liveGroups_.size()); ++k) {
                const uint32_t g = liveGroups_[k];
                const double base = baseOf(g);
                if (lowestFrom(groups_[g].nearest, factor, base) > limit_) continue;
                __builtin_prefetch(groups_[g].list.data() + groups_[g].listStart);
                batch[count] = g;
                bases[count++] = base;
            }
            for (std::size_t k = 0; k < count; ++k) {
                if (!scanGroup(batch[k], factor, bases[k])) return choosePairByReadingAll(factor);
            }
        }
        // In row-major order; a pair read twice is listed twice, and its second entry never
        // replaces its first below.
        std::erase_if(candidates_, [&](const Candidate& c) { return c.low > limit_; });
        std::sort(candidates_.begin(), candidates_.end(),
                  [](const Candidate& a, const Candidate& b) {
                      return a.first != b.first ? a.first < b.first : a.second < b.second;
                  });
        double lowest = infinity;
        for (Candidate& c : candidates_) {
            c.exact = factor * rows_[c.first][c.second] - exactSum(c.first) - exactSum(c.second);
            lowest = std::min(lowest, c.exact);
        }
        if (!std::isfinite(lowest)) return choosePairByReadingAll(factor);
        // Every pair whose Q value is at most `reach` is a candidate or has the Q value of a
        // candidate before it. Once no Q value above `level` comes within the tolerance of it,
        // the plain scan's choice is decided by the pairs at or below `level`: the first of them
        // in row-major order replaces any best value met before it, and a pair above `level`
        // never replaces one of them.
        const double reach = limit_ - tieTolerance - 4 * unitRoundoff * (std::abs(limit_) + 1);
        double level = lowest;
        for (;;) {
            if (!(level < reach)) return choosePairByReadingAll(factor);
            double raised = level;
            for (const Candidate& c : candidates_) {
                if (c.exact > level && c.exact - tieTolerance <= level)
                    raised = std::max(raised, c.exact);
            }
            if (raised == level) break;
            level = raised;
        }
        double best = pairScanStart;
        const Candidate* chosen = nullptr;
        for (const Candidate& c : candidates_) {
            if (c.exact <= level && best - tieTolerance > c.exact) {
                best = c.exact;
                chosen = &c;
            }
        }
        if (chosen == nullptr) {
            chosen = &*std::find_if(candidates_.begin(), candidates_.end(),
                                    [&](const Candidate& c) { return c.exact == lowest; });
        }
        return {chosen->first, chosen->second};
    }

    // The plain method's choice, every pair read: the first pair in row-major order whose Q value
    // is lower than every earlier choice by more than the tolerance; when every Q value is huge
    // (distances of 1e6 and more), the first smallest one.
    std::pair<uint32_t, uint32_t> choosePairByReadingAll(double factor) {
        for (const uint32_t p : alive_) exactSum(p);
        double best = pairScanStart;
        std::pair<uint32_t, uint32_t> chosen;
        std::pair<uint32_t, uint32_t> smallest(alive_[0], alive_[1]);
        double lowest =
            factor * rows_[alive_[0]][alive_[1]] - exactSums_[alive_[0]] - exactSums_[alive_[1]];
        for (std::size_t a = 0; a < alive_.size(); ++a) {
            const uint32_t p = alive_[a];
            const std::vector<double>& row = rows_[p];
            const double sumP = exactSums_[p];
            for (std::size_t b = a + 1; b < alive_.size(); ++b) {
                const uint32_t q = alive_[b];
                const double value = factor * row[q] - sumP - exactSums_[q];
                if (best - tieTolerance > value) {
                    best = value;
                    chosen = {p, q};
                }
                if (value < lowest) {
                    lowest = value;
                    smallest = {p, q};
                }
            }
        }
        return chosen.first != chosen.second ? chosen : smallest;
    }

    // A group of equal rows, with the pairs it answers for.
    struct Group {
        std::vector<uint32_t> members;  // its rows' slots, in increasing order; none once used up
        uint32_t createdIn = 0;         // the join that made it; 0 for the groups of the start
        std::vector<ListedPair> list;   // its pairs with other groups by increasing distance
        bool listComplete = false;
        std::size_t listStart = 0;  // no pair before this one is still listed
        double nearest = infinity;  // at most the distance of the first pair still listed
    };

    DistanceMatrix rows_;  // the rows of freed slots are released
    std::vector<int32_t> ids_;
    std::vector<uint32_t> alive_;       // the slots present, in order
    uint32_t round_ = 0;                // joins made
    std::vector<double> sums_;          // running row sums
    std::vector<double> absoluteSums_;  // at least the sum of the row's absolute values
    std::vector<double> sumErrors_;     // at least the distance of the running sum from the exact
    std::vector<double> exactSums_;     // plainly added row sums, valid in round exactRound_
    std::vector<uint32_t> exactRound_;
    double sumRounding_ = 0.0;
    bool searching_ = false;
    std::vector<Group> groups_;
    std::vector<uint32_t> groupOf_;     // per slot present
    std::vector<uint32_t> liveGroups_;  // the groups with rows
    std::size_t listLength_ = 0;
    std::vector<ListedPair> scratch_;
    std::vector<Candidate> candidates_;
    double limit_ = infinity;  // a pair whose Q value is above this is out of reach
};

void addBranch(TreeAdjacency& adjacency, int32_t a, int32_t b, double length) {
    adjacency[a].emplace_back(b, length);
    adjacency[b].emplace_back(a, length);
}

std::string nodeName(int32_t node, const std::vector<ChromosomalStructure>& structures) {
    const auto index = static_cast<std::size_t>(node);
    return index < structures.size() ? "structure \"" + structures[index].name + "\""
                                     : "inner node " + std::to_string(node);
}

// Finite distances can still give branch lengths that overflow; such a tree cannot be written.
void checkFiniteBranches(const TreeAdjacency& adjacency,
                         const std::vector<ChromosomalStructure>& structures) {
    for (const auto& [node, neighbours] : adjacency) {
        for (const auto& [neighbour, length] : neighbours) {
            if (std::isfinite(length)) continue;
            throw std::runtime_error("The branch between " + nodeName(node, structures) + " and " +
                                     nodeName(neighbour, structures) + " is not finite (" +
                                     defaultFormat(length) + "): the distances are too large");
        }
    }
}

// Adds the subtree below `node`, reached from `from` (the tree node at `parent`), to the tree, and
// its branch lengths to `total` (each below the lengths of its subtree, as the text lists them).
void addSubtree(int32_t node, int32_t from, int32_t parent, double length,
                const TreeAdjacency& adjacency, RootedTree& tree, double& total) {
    const auto position = static_cast<int32_t>(tree.nodes.size());
    const auto& neighbours = adjacency.at(node);
    tree.nodes.push_back({parent, {}, neighbours.size() == 1 ? node : -1, length});
    if (parent >= 0) tree.nodes[static_cast<std::size_t>(parent)].children.push_back(position);
    if (neighbours.size() == 1) return;
    for (const auto& [neighbour, branch] : neighbours) {
        if (neighbour == from) continue;
        addSubtree(neighbour, node, position, branch, adjacency, tree, total);
        total += branch;
    }
}

}  // namespace

TreeAdjacency neighbourJoin(DistanceMatrix distances, std::vector<int32_t> ids, int32_t next) {
    TreeAdjacency adjacency;
    const std::size_t n = distances.size();
    if (n < 2) return adjacency;
    JoiningClusters clusters(std::move(distances), std::move(ids));
    std::vector<Join> joins;
    joins.reserve(n - 2);
    while (clusters.activeCount() > 2) joins.push_back(clusters.joinNext(next++));
    const auto [first, second, firstToSecond, secondToFirst] = clusters.lastPair();
    adjacency[first].emplace_back(second, firstToSecond);
    adjacency[second].emplace_back(first, secondToFirst);
    for (auto join = joins.rbegin(); join != joins.rend(); ++join) {
        addBranch(adjacency, join->node, join->first, join->firstLength);
        addBranch(adjacency, join->node, join->second, join->secondLength);
    }
    return adjacency;
}

BuiltTree neighbourJoiningTree(DistanceMatrix matrix,
                               const std::vector<ChromosomalStructure>& structures,
                               std::ostream& graph) {
    const std::size_t n = matrix.size();
    // With two structures there is no join: both hang from the middle of their one branch.
    const double onlyDistance = n == 2 ? matrix[0][1] : 0.0;
    std::vector<int32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0);
    const TreeAdjacency adjacency =
        neighbourJoin(std::move(matrix), std::move(ids), static_cast<int32_t>(n));
    checkFiniteBranches(adjacency, structures);
    writeGraphFile(graph, adjacency);

    BuiltTree built;
    built.tree.toScale = true;
    if (n == 1) built.tree.nodes.push_back({-1, {}, 0, 0.0});
    if (n == 2) {
        const double half = onlyDistance * 0.5;
        built.tree.nodes = {{-1, {1, 2}, -1, 0.0}, {0, {}, 0, half}, {0, {}, 1, half}};
        built.totalBranchLength = onlyDistance;
    }
    if (n > 2) {
        const int32_t root = adjacency.rbegin()->first;
        addSubtree(root, -1, -1, 0.0, adjacency, built.tree, built.totalBranchLength);
    }
    if (!std::isfinite(built.totalBranchLength)) {
        throw std::runtime_error("The total branch length is not finite (" +
                                 defaultFormat(built.totalBranchLength) +
                                 "): the distances are too large");
    }
    built.text = newickText(built.tree, structures, true);
    return built;
}

}  // namespace varnet
