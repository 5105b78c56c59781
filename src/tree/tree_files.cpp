#include "tree/tree_files.hpp"

#include <algorithm>
#include <iomanip>
#include <ios>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace varnet {
namespace {

constexpr std::size_t shortNameLength = 9;
constexpr std::size_t longNameLength = 20;

std::string lastCharacters(const std::string& name, std::size_t count) {
    return name.substr(name.size() - count);
}

}  // namespace

void writeCells(std::ostream& out, std::span<const double> cells, CellFormat format,
                std::string_view before, std::string_view after) {
    std::string text;
    text.reserve(cells.size() * (before.size() + after.size() + 12));
    // Room for any double in either form with up to 64 digits after the point: the fixed form of
    // the largest takes 309 digits before it.
    constexpr int maxPrecision = 64;
    char number[std::numeric_limits<double>::max_exponent10 + 1 + 2 + maxPrecision];
    for (const double cell : cells) {
        text += before;
        text.append(number, std::to_chars(number, std::end(number), cell, format.form,
                                          std::min(format.precision, maxPrecision))
                                .ptr);
        text += after;
    }
    out << text;
}

void writeMatrixFile(std::ostream& out, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures) {
    out << '\t';
    for (const ChromosomalStructure& structure : structures) out << structure.name << '\t';
    out << '\n';
    for (std::size_t r = 0; r < matrix.size(); ++r) {
        out << structures[r].name << '\t';
        writeCells(out, matrix[r], {}, "", "\t");
        out << '\n';
    }
}

void writeVectorFile(std::ostream& out, const DistanceMatrix& matrix) {
    for (std::size_t r = 0; r < matrix.size(); ++r)
        writeCells(out, std::span(matrix[r]).subspan(std::min(r + 1, matrix[r].size())), {}, "",
                   " ");
}

void checkPhylipNames(const std::vector<ChromosomalStructure>& structures) {
    for (const ChromosomalStructure& structure : structures) {
        if (structure.name.size() < shortNameLength) {
            throw std::runtime_error("Structure name \"" + structure.name +
                                     "\" is shorter than 9 characters, which the PHYLIP "
                                     "files need (option -f)");
        }
    }
}

void writeMapFile(std::ostream& out, const std::vector<ChromosomalStructure>& structures) {
    for (const ChromosomalStructure& structure : structures) {
        const std::string& name = structure.name;
        // The character just before the last 9 separates the code from the prefix; a name of
        // exactly 9 characters maps to itself.
        const std::string prefix = name.size() > shortNameLength
                                       ? name.substr(0, name.size() - shortNameLength - 1)
                                       : name;
        out << lastCharacters(name, shortNameLength) << ' ' << prefix << '\n';
    }
}

void writePhylipFile(std::ostream& out, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures) {
    out << matrix.size() << '\n';
    for (std::size_t r = 0; r < matrix.size(); ++r) {
        const std::string& name = structures[r].name;
        out << lastCharacters(name, shortNameLength) << "   " << name.substr(0, longNameLength)
            << "   ";
        writeCells(out, matrix[r], {std::chars_format::fixed, 5}, "", "    ");
        out << '\n';
    }
}

void writePhylipFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures) {
    checkPhylipNames(structures);
    writeResultFile(resultDir + "/map.txt",
                    [&](std::ostream& out) { writeMapFile(out, structures); });
    writeResultFile(resultDir + "/infile",
                    [&](std::ostream& out) { writePhylipFile(out, matrix, structures); });
}

void writeGraphFile(std::ostream& out, const TreeAdjacency& adjacency) {
    for (const auto& [node, neighbours] : adjacency) {
        out << node << ' ';
        for (const auto& [neighbour, length] : neighbours) out << neighbour << ' ' << length << ' ';
        out << '\n';
    }
}

}  // namespace varnet
