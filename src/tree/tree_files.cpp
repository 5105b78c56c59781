#include "tree/tree_files.hpp"

#include <algorithm>
#include <cmath>
#include <ios>
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

CellWriter::CellWriter(CellFormat format, std::string_view before, std::string_view after)
    : format_(format), before_(before), after_(after), lengths_(cachedHalves, notWritten) {
    // Room for any double in either form with up to 64 digits after the point: the fixed form of
    // the largest takes 309 digits before it.
    constexpr int maxPrecision = 64;
    format_.precision = std::min(format_.precision, maxPrecision);
    cell_.resize(before_.size() + std::numeric_limits<double>::max_exponent10 + 1 + 2 +
                 maxPrecision + after_.size());
    pieces_.resize(cachedHalves * pieceRoom);
}

std::size_t CellWriter::format(double cell) {
    char* const start = cell_.data();
    char* const end = start + cell_.size();
    char* const at = std::copy(before_.begin(), before_.end(), start);
    char* const number = std::to_chars(at, end, cell, format_.form, format_.precision).ptr;
    return static_cast<std::size_t>(std::copy(after_.begin(), after_.end(), number) - start);
}

char* CellWriter::reserve(char* at, std::size_t count) {
    const auto used = static_cast<std::size_t>(at - text_.data());
    if (text_.size() - used < count) text_.resize(std::max(2 * text_.size(), used + count));
    return text_.data() + used;
}

void CellWriter::write(std::ostream& out, std::span<const double> cells) {
    // Room for a whole piece for every cell left is kept after the text, so that a kept text is
    // copied without a test.
    char* at = reserve(text_.data(), (cells.size() + 1) * pieceRoom);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const double cell = cells[k];
        const double twice = cell * 2;
        // A whole or half cell small enough has a kept text, once it was written.
        const bool inRange = twice >= 0 && twice < static_cast<double>(cachedHalves);
        const std::size_t halves = inRange ? static_cast<std::size_t>(twice) : 0;
        const bool keepable =
            inRange && !std::signbit(cell) && static_cast<double>(halves) == twice;
        uint8_t* const length = keepable ? &lengths_[halves] : nullptr;
        char* const piece = keepable ? pieces_.data() + halves * pieceRoom : nullptr;
        if (keepable && *length != notWritten && *length != tooLong) {
            std::copy_n(piece, pieceRoom, at);
            at += *length;
            continue;
        }
        const std::size_t written = format(cell);
        if (keepable && *length == notWritten) {
            *length = written <= pieceRoom ? static_cast<uint8_t>(written) : tooLong;
            if (*length != tooLong) std::copy_n(cell_.data(), written, piece);
        }
        at = reserve(at, written + (cells.size() - k) * pieceRoom);
        at = std::copy_n(cell_.data(), written, at);
    }
    out.write(text_.data(), at - text_.data());
}

void writeMatrixFile(std::ostream& out, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures) {
    out << '\t';
    for (const ChromosomalStructure& structure : structures) out << structure.name << '\t';
    out << '\n';
    CellWriter cells({}, "", "\t");
    for (std::size_t r = 0; r < matrix.size(); ++r) {
        out << structures[r].name << '\t';
        cells.write(out, matrix[r]);
        out << '\n';
    }
}

void writeVectorFile(std::ostream& out, const DistanceMatrix& matrix) {
    CellWriter cells({}, "", " ");
    for (std::size_t r = 0; r < matrix.size(); ++r)
        cells.write(out, std::span(matrix[r]).subspan(std::min(r + 1, matrix[r].size())));
}

namespace {

// One line per structure: the last 9 characters of its name, a space, the name without its
// last 10 characters.
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

// The count line, then per row the short and the long name and every cell in fixed-5 form.
void writePhylipFile(std::ostream& out, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures) {
    out << matrix.size() << '\n';
    CellWriter cells({std::chars_format::fixed, 5}, "", "    ");
    for (std::size_t r = 0; r < matrix.size(); ++r) {
        const std::string& name = structures[r].name;
        out << lastCharacters(name, shortNameLength) << "   " << name.substr(0, longNameLength)
            << "   ";
        cells.write(out, matrix[r]);
        out << '\n';
    }
}

}  // namespace

void writePhylipFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures) {
    // The files cut the last 9 characters of every name.
    for (const ChromosomalStructure& structure : structures) {
        if (structure.name.size() < shortNameLength) {
            throw std::runtime_error("Structure name \"" + structure.name +
                                     "\" is shorter than 9 characters, which the PHYLIP "
                                     "files need (option -f)");
        }
    }
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
