#include "tree/upgma.hpp"

#include <limits>
#include <utility>

namespace varnet {
namespace {

constexpr double noDistance = std::numeric_limits<double>::infinity();
constexpr std::size_t noSlot = std::numeric_limits<std::size_t>::max();

// The clusters still to be joined, kept in the order of their first leaf (the order of their
// positions), over the rows of the matrix itself. A joined cluster keeps the slot of the
// earlier of its two parts, and the row of the later part is released; only cells (p, q) with
// slot p < slot q are read or written.
class UpgmaClusters {
public:
    explicit UpgmaClusters(DistanceMatrix matrix)
        : n_(matrix.size()),
          rows_(std::move(matrix)),
          next_(n_ + 1),
          previous_(n_ + 1),
          members_(n_, 1),
          nearest_(n_) {
        // Slots 0 .. n-1 in a ring closed by the end marker n.
        for (std::size_t p = 0; p <= n_; ++p) {
            next_[p] = p == n_ ? 0 : p + 1;
            previous_[p] = p == 0 ? n_ : p - 1;
        }
        for (std::size_t p = 0; p < n_; ++p) findNearest(p);
    }

    std::size_t first() const { return next_[n_]; }
    double distance(std::size_t i, std::size_t j) const { return rows_[i][j]; }

    // The first smallest distance in row-major order of the upper triangle: the first row whose
    // nearest cluster is closest, and in it the first column at that distance. When no distance
    // is below infinity, the first two clusters.
    std::pair<std::size_t, std::size_t> closestPair() const {
        double smallest = noDistance;
        std::size_t i = first();
        std::size_t j = next_[i];
        for (std::size_t p = first(); p != n_; p = next_[p]) {
            if (nearest_[p].distance < smallest) {
                smallest = nearest_[p].distance;
                i = p;
                j = nearest_[p].slot;
            }
        }
        return {i, j};
    }

    // Joins cluster j into cluster i (i before j), averaging the distances by member counts.
    void join(std::size_t i, std::size_t j) {
        const auto ni = static_cast<double>(members_[i]);
        const auto nj = static_cast<double>(members_[j]);
        unlink(j);
        for (std::size_t p = first(); p != i; p = next_[p]) {
            double& toI = rows_[p][i];
            toI = (nj * rows_[p][j] + ni * toI) / (ni + nj);
            // The row's nearest cluster may have moved (i changed, j left); rescan only when the
            // changed cell cannot settle it.
            Nearest& nearest = nearest_[p];
            const bool wasIOrJ = nearest.slot == i || nearest.slot == j;
            if (wasIOrJ && toI <= nearest.distance) {
                nearest = {toI, i};
            } else if (wasIOrJ) {
                findNearest(p);
            } else if (toI < nearest.distance || (toI == nearest.distance && i < nearest.slot)) {
                nearest = {toI, i};
            }
        }
        for (std::size_t q = next_[i]; q != n_; q = next_[q]) {
            const double toJ = q < j ? rows_[q][j] : rows_[j][q];
            double& toI = rows_[i][q];
            toI = (nj * toJ + ni * toI) / (ni + nj);
        }
        findNearest(i);
        for (std::size_t p = next_[i]; p < j; p = next_[p]) {
            if (nearest_[p].slot == j) findNearest(p);
        }
        members_[i] += members_[j];
        std::vector<double>().swap(rows_[j]);
    }

private:
    struct Nearest {
        double distance = noDistance;
        std::size_t slot = noSlot;
    };

    void unlink(std::size_t j) {
        next_[previous_[j]] = next_[j];
        previous_[next_[j]] = previous_[j];
    }

    void findNearest(std::size_t p) {
        Nearest nearest;
        const double* row = rows_[p].data();
        for (std::size_t q = next_[p]; q != n_; q = next_[q]) {
            if (row[q] < nearest.distance) nearest = {row[q], q};
        }
        nearest_[p] = nearest;
    }

    std::size_t n_;
    DistanceMatrix rows_;
    std::vector<std::size_t> next_;
    std::vector<std::size_t> previous_;
    std::vector<std::size_t> members_;
    std::vector<Nearest> nearest_;
};

}  // namespace

BuiltTree upgmaTree(DistanceMatrix matrix, const std::vector<ChromosomalStructure>& structures,
                    std::ostream& /*report*/) {
    const std::size_t n = matrix.size();
    BuiltTree built;
    if (n > 0) {
        UpgmaClusters clusters(std::move(matrix));
        // Node n + t joins the clusters at (first, second) of join t, at half their distance.
        std::vector<std::pair<std::size_t, std::size_t>> joins;
        std::vector<double> heights;
        std::vector<std::size_t> nodeOf(n);
        for (std::size_t k = 0; k < n; ++k) nodeOf[k] = k;
        for (std::size_t t = 0; t + 1 < n; ++t) {
            const auto [i, j] = clusters.closestPair();
            heights.push_back(clusters.distance(i, j) / 2.0);
            clusters.join(i, j);
            joins.emplace_back(nodeOf[i], nodeOf[j]);
            nodeOf[i] = n + t;
        }
        built.tree = joinedTree(n, joins, heights);
        built.tree.toScale = true;
    }
    built.text = newickText(built.tree, structures, false);
    return built;
}

}  // namespace varnet
