#include "tree/tree_files.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A cell that is a whole or half number below 10^15, as `std::to_chars` writes it in `format`,
// written from its integer part (distances mostly are such numbers: the mean of two costs whose
// weights are whole or half numbers). Returns the end of the text, or nullptr for any other cell,
// for a negative one, and where the general form would round or switch to an exponent.
char* writeWholeOrHalf(char* at, char* end, double cell, CellFormat format) {
    const double twice = cell * 2;
    if (std::signbit(cell) || !(twice < 2e15) || twice != std::floor(twice)) return nullptr;
    const auto halves = static_cast<uint64_t>(twice);
    const uint64_t whole = halves / 2;
    const bool half = halves % 2 != 0;
    char* const digits = at;
    at = std::to_chars(at, end, whole).ptr;
    if (format.form == std::chars_format::general) {
        // Up to `precision` significant digits print in full, without trailing zeros.
        const auto significant = (whole == 0 ? 0 : at - digits) + (half ? 1 : 0);
        if (significant > format.precision) return nullptr;
        if (half) at = std::copy_n(".5", 2, at);
        return at;
    }
    if (format.form != std::chars_format::fixed || format.precision < 1) return nullptr;
    *at++ = '.';
    *at++ = half ? '5' : '0';
    return std::fill_n(at, format.precision - 1, '0');
}

}  // namespace

void writeCells(std::ostream& out, std::span<const double> cells, CellFormat format,
                std::string_view before, std::string_view after) {
    std::string text;
    text.reserve(cells.size() * (before.size() + after.size() + 12));
    // Room for any double in either form with up to 64 digits after the point: the fixed form of
    // the largest takes 309 digits before it.
    constexpr int maxPrecision = 64;
    format.precision = std::min(format.precision, maxPrecision);
    char number[std::numeric_limits<double>::max_exponent10 + 1 + 2 + maxPrecision];
    for (const double cell : cells) {
        text += before;
        char* end = writeWholeOrHalf(number, std::end(number), cell, format);
        if (end == nullptr)
            end = std::to_chars(number, std::end(number), cell, format.form, format.precision).ptr;
        text.append(number, end);
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
