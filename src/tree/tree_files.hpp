#pragma once

#include <charconv>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/text_files.hpp"
#include "tree/distance_matrix.hpp"
#include "tree/neighbour_joining.hpp"

namespace varnet {

// How a `CellWriter` prints a distance: as a stream does with its default format (6 significant
// digits, `printf`'s %g) or with `std::fixed` and a precision.
struct CellFormat {
    std::chars_format form = std::chars_format::general;
    int precision = 6;
};

// Writes every cell between `before` and `after`, each exactly as the stream would print it in
// that format, a row at a time (matrices of thousands of rows spend their writing time in the
// stream's formatting of each number otherwise). Keeps the text of every whole or half cell below
// `cachedHalves / 2` once it is written: a matrix's cells mostly repeat a few such values, so each
// is formatted once per file.
class CellWriter {
public:
    CellWriter(CellFormat format, std::string_view before, std::string_view after);
    void write(std::ostream& out, std::span<const double> cells);

private:
    static constexpr std::size_t cachedHalves = 2048;
    static constexpr std::size_t pieceRoom = 32;
    static constexpr uint8_t notWritten = 0;
    static constexpr uint8_t tooLong = 255;

    // Writes the cell between `before` and `after` into `cell_`; returns its length.
    std::size_t format(double cell);
    // Room for `count` more characters after `at` in `text_`, which may move: returns `at` there.
    char* reserve(char* at, std::size_t count);

    CellFormat format_;
    std::string before_;
    std::string after_;
    std::vector<char> cell_;
    // The row's text; kept texts are copied `pieceRoom` characters at a time whatever their
    // length, so it keeps that much room after the text.
    std::vector<char> text_;
    // Per number of halves: the length of the cell's text with `before` and `after`, and that
    // text in `pieceRoom` characters of `pieces_`.
    std::vector<uint8_t> lengths_;
    std::vector<char> pieces_;
};

// Header line of all names, then one line per matrix row; a tab after every field.
void writeMatrixFile(std::ostream& out, const DistanceMatrix& matrix,
                     const std::vector<ChromosomalStructure>& structures);

// The cells above the diagonal in row-major order, each followed by a space; no line end.
void writeVectorFile(std::ostream& out, const DistanceMatrix& matrix);

// Checks the names, then writes resultDir + "/map.txt" and resultDir + "/infile".
void writePhylipFiles(const std::string& resultDir, const DistanceMatrix& matrix,
                      const std::vector<ChromosomalStructure>& structures);

// One line per node in ascending order: the node, then every neighbour and branch length.
void writeGraphFile(std::ostream& out, const TreeAdjacency& adjacency);

}  // namespace varnet
