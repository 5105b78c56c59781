#include "structures/structure_reader.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "structures/gene_numbering.hpp"
#include "structures/gene_order_formats.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

// A count: 0 when `text` holds no number (read the way stream extraction reads one: an optional
// sign, then digits up to the first other character); an error when it is negative or exceeds
// 32 bits.
int32_t readCount(std::string_view text, const char* what, const std::string& where) {
    std::string_view number = text;
    if (number.size() > 1 && number[0] == '+' && number[1] != '-') number.remove_prefix(1);
    int64_t value = 0;
    const std::errc error = std::from_chars(number.data(), number.data() + number.size(), value).ec;
    if (error == std::errc::invalid_argument) return 0;
    if (error == std::errc::result_out_of_range || value < INT32_MIN || value > INT32_MAX) {
        throw std::runtime_error(where + ": " + what + " " + std::string(text) +
                                 " does not fit in 32 bits");
    }
    if (value < 0) {
        throw std::runtime_error(where + ": negative " + what + " " + std::string(text));
    }
    return static_cast<int32_t>(value);
}

// Reads the genes of one gene token; never reads past the token.
void readGenes(std::string_view token, int32_t count, GeneNumbering& numbering,
               const std::string& where, std::vector<int32_t>& genes) {
    genes.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), token.size()));
    std::size_t pos = 0;
    for (int32_t k = 0; k < count; ++k) {
        if (pos >= token.size()) {
            throw std::runtime_error(where + ": gene token " + std::string(token) + " holds " +
                                     std::to_string(k) + " of the " + std::to_string(count) +
                                     " genes announced");
        }
        const int orientation = token[pos] == '-' ? -1 : 1;
        const std::size_t start = ++pos;
        while (pos < token.size() && token[pos] != '-' && token[pos] != '+') ++pos;
        genes.push_back(numbering.code(token.substr(start, pos - start), orientation, where));
    }
}

ChromosomalStructure readStructure(std::string_view line, const std::string& lineWhere,
                                   GeneNumbering& numbering) {
    Words words(line);
    ChromosomalStructure structure{std::string(words.next()), {}};
    const int32_t chromosomeCount = readCount(words.next(), "chromosome count", lineWhere);
    numbering.startStructure();
    const std::string structureWhere = lineWhere + ", structure \"" + structure.name + "\"";
    for (int32_t index = 1; index <= chromosomeCount; ++index) {
        const std::string_view type = words.next();
        if (type.empty()) throw std::out_of_range("invalid string position");
        const std::string where = structureWhere + ", chromosome " + std::to_string(index);
        const int32_t geneCount = readCount(type.substr(1), "gene count", where);
        const std::string_view token = words.next();
        if (token.empty()) {
            throw std::runtime_error(where + ": the line ends after the type token " +
                                     std::string(type));
        }
        Chromosome& chromosome = structure.chromosomes.emplace_back();
        chromosome.circular = type.front() == 'C';
        readGenes(token, geneCount, numbering, where, chromosome.genes);
    }
    return structure;
}

void readNativeStructures(std::istream& in, std::vector<ChromosomalStructure>& structures,
                          GeneTable& table, const std::string& source) {
    table = GeneTable();
    // The next line with ';' and ':' turned into spaces (a carriage return before the line feed
    // is a blank like them); past the end of the input every line is empty.
    LineReader reader(in, source);
    std::string line;
    const auto nextLine = [&]() -> std::string_view {
        if (!reader.next(line) && in.bad()) {
            throw std::runtime_error("line " + std::to_string(reader.lineNumber()) +
                                     ": the input cannot be read");
        }
        std::replace(line.begin(), line.end(), ';', ' ');
        std::replace(line.begin(), line.end(), ':', ' ');
        return line;
    };
    const int32_t count = readCount(Words(nextLine()).next(), "structure count", "line 1");
    if (count > maxStructureCount) {
        throw std::runtime_error("line 1: structure count " + std::to_string(count) +
                                 " exceeds the limit of " + std::to_string(maxStructureCount));
    }
    GeneNumbering numbering;
    std::vector<ChromosomalStructure> result;
    for (int32_t index = 0; index < count; ++index) {
        const std::string_view text = nextLine();
        const auto number = static_cast<std::size_t>(reader.lineNumber());
        result.push_back(readStructure(text, "line " + std::to_string(number), numbering));
        result.back().line = number;
    }
    table = numbering.finish(result);
    structures = std::move(result);
}

}  // namespace

void readStructures(std::istream& in, std::vector<ChromosomalStructure>& structures,
                    GeneTable& table, const std::string& source) {
    FormatLookahead input(in);
    if (input.startsWithGenomeHeader()) {
        readGeneOrderStructures(input.stream(), structures, table, source);
    } else {
        readNativeStructures(input.stream(), structures, table, source);
    }
}

void readStructureFile(const std::string& path, std::vector<ChromosomalStructure>& structures,
                       GeneTable& table) {
    std::error_code ignored;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ignored)) in.open(path);
    if (!in.is_open()) throw std::runtime_error("Failed to open file " + path);
    readStructures(in, structures, table, path);
}

}  // namespace varnet
