#include "tree/phylip_matrix.hpp"

#include <map>
#include <ostream>
#include <set>

#include "tree/tree_files.hpp"

namespace varnet {

std::vector<std::string> phylipRowNames(const std::vector<ChromosomalStructure>& structures) {
    std::map<std::string, int> uses;
    for (const ChromosomalStructure& structure : structures)
        ++uses[structure.name.substr(0, phylipNameLength)];
    std::set<std::string> taken;
    for (const auto& [name, count] : uses) {
        if (count == 1) taken.insert(name);
    }
    std::vector<std::string> rowNames;
    rowNames.reserve(structures.size());
    int number = 0;
    for (const ChromosomalStructure& structure : structures) {
        std::string name = structure.name.substr(0, phylipNameLength);
        if (uses[name] > 1) {
            // Numbers run over the whole file, so a renamed row never takes an earlier one's name.
            do {
                const std::string suffix = std::to_string(++number);
                name = structure.name.substr(0, phylipNameLength - suffix.size()) + suffix;
            } while (taken.contains(name));
            taken.insert(name);
        }
        rowNames.push_back(std::move(name));
    }
    return rowNames;
}

namespace {

// The standard square PHYLIP distance matrix: the count, then per row its name padded to 10
// characters and every cell with six decimals, each after a space.
void writeSquarePhylipMatrix(std::ostream& out, const DistanceMatrix& matrix,
                             const std::vector<std::string>& rowNames) {
    out << matrix.size() << '\n';
    CellWriter cells({std::chars_format::fixed, 6}, " ", "");
    for (std::size_t r = 0; r < matrix.size(); ++r) {
        // Row names are at most 10 characters long.
        out << rowNames[r] << std::string(phylipNameLength - rowNames[r].size(), ' ');
        cells.write(out, matrix[r]);
        out << '\n';
    }
}

}  // namespace

void writeSquarePhylipFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                            const std::vector<ChromosomalStructure>& structures) {
    const std::vector<std::string> rowNames = phylipRowNames(structures);
    writeResultFile(resultDir + "/distance.phy",
                    [&](std::ostream& out) { writeSquarePhylipMatrix(out, matrix, rowNames); });
    bool renamed = false;
    for (std::size_t k = 0; k < structures.size(); ++k)
        renamed = renamed || rowNames[k] != structures[k].name.substr(0, phylipNameLength);
    if (!renamed) return;
    writeResultFile(resultDir + "/distance_names.txt", [&](std::ostream& out) {
        for (std::size_t k = 0; k < structures.size(); ++k)
            out << rowNames[k] << ' ' << structures[k].name << '\n';
    });
}

}  // namespace varnet
