#include "tree/upgma.hpp"

#include <cstdint>
#include <limits>

namespace varnet {
namespace {

// The first smallest working distance in row-major order of the upper triangle. Distances of
// any size take part, so a pair is always found.
std::pair<std::size_t, std::size_t> closestPair(const DistanceMatrix& w) {
    double smallest = std::numeric_limits<double>::infinity();
    std::size_t i = 0;
    std::size_t j = 1;
    for (std::size_t p = 0; p + 1 < w.size(); ++p) {
        for (std::size_t q = p + 1; q < w.size(); ++q) {
            if (w[p][q] < smallest) {
                smallest = w[p][q];
                i = p;
                j = q;
            }
        }
    }
    return {i, j};
}

}  // namespace

std::string upgmaTree(const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures) {
    if (matrix.empty()) return ";";
    // Only cells (p, q) with p < q are read or written.
    DistanceMatrix w = matrix;
    std::vector<std::size_t> memberCounts(w.size(), 1);
    std::vector<std::string> labels;
    labels.reserve(w.size());
    for (std::size_t k = 0; k < w.size(); ++k) labels.push_back(structures[k].name);

    while (w.size() > 1) {
        const auto [i, j] = closestPair(w);
        const auto ni = static_cast<double>(memberCounts[i]);
        const auto nj = static_cast<double>(memberCounts[j]);
        for (std::size_t p = 0; p < i; ++p) w[p][i] = (nj * w[p][j] + ni * w[p][i]) / (ni + nj);
        for (std::size_t q = i + 1; q < w.size(); ++q) {
            if (q == j) continue;
            const double toJ = q < j ? w[q][j] : w[j][q];
            w[i][q] = (nj * toJ + ni * w[i][q]) / (ni + nj);
        }
        for (std::vector<double>& row : w) row.erase(row.begin() + static_cast<std::ptrdiff_t>(j));
        w.erase(w.begin() + static_cast<std::ptrdiff_t>(j));

        labels[i] = "(" + labels[i] + "," + labels[j] + ")";
        labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(j));
        memberCounts[i] += memberCounts[j];
        memberCounts.erase(memberCounts.begin() + static_cast<std::ptrdiff_t>(j));
    }
    return labels[0] + ";";
}

}  // namespace varnet
