#include "structures/gene_order_formats.hpp"

#include <stdexcept>
#include <string_view>

#include "structures/gene_numbering.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

// Blank and comment lines this long before any content end the look: such a file is not read
// as a gene-order file, and the native reader sees every byte of it.
constexpr std::size_t lookaheadLimit = std::size_t{1} << 20;
constexpr std::size_t lookaheadChunkSize = std::size_t{1} << 16;
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

struct Dialect {
    const char* name;
    char linearEnd;
    char circularEnd;
    std::string_view comment;
    bool integerGenes;
};

constexpr Dialect uniMoG{"UniMoG", '|', ')', "//", false};
constexpr Dialect grimm{"GRIMM", '$', '@', "#", true};

bool isEndOf(const Dialect& dialect, char c) {
    return c == dialect.linearEnd || c == dialect.circularEnd;
}

// The dialect of the first chromosome end written in the file (outside headers and comments of
// either style); GRIMM when there is none, as its lines need no end.
const Dialect& dialectOf(const std::vector<std::string>& lines) {
    for (std::string_view line : lines) {
        if (trimmed(line).starts_with('>')) continue;
        for (const std::string_view marker : {uniMoG.comment, grimm.comment})
            line = line.substr(0, line.find(marker));
        for (const char c : line) {
            if (isEndOf(uniMoG, c)) return uniMoG;
            if (isEndOf(grimm, c)) return grimm;
        }
    }
    return grimm;
}

class GeneOrderReader {
public:
    explicit GeneOrderReader(const Dialect& dialect) : dialect_(dialect) {}

    void readLine(std::string_view line, std::size_t number) {
        where_ = "line " + std::to_string(number);
        line = trimmed(line.substr(0, line.find(dialect_.comment)));
        if (line.empty()) return;
        if (line.front() == '>') {
            numbering_.startStructure();
            // The name is the first word, as in the native format; a description may follow.
            structures_.push_back({std::string(Words(line.substr(1)).next()), {}, number});
            return;
        }
        if (structures_.empty()) {
            throw std::runtime_error(where_ + ": genes before the first genome header \">name\"");
        }
        where_ += ", genome \"" + structures_.back().name + "\"";
        Words words(line);
        for (std::string_view token = words.next(); !token.empty(); token = words.next())
            readToken(token);
        if (!genes_.empty()) {
            if (!dialect_.integerGenes) {
                throw std::runtime_error(where_ + ": the chromosome does not end with '" +
                                         dialect_.linearEnd + "' (linear) or '" +
                                         dialect_.circularEnd + "' (circular)");
            }
            endChromosome(false);
        }
    }

    void finish(std::vector<ChromosomalStructure>& structures, GeneTable& table) {
        table = numbering_.finish(structures_);
        structures = std::move(structures_);
    }

private:
    void readToken(std::string_view token) {
        const char last = token.back();
        const bool ends = isEndOf(dialect_, last);
        if (ends) token.remove_suffix(1);
        if (!token.empty()) readGene(token);
        if (ends) {
            if (genes_.empty()) {
                throw std::runtime_error(where_ + ": a chromosome without genes ends at '" +
                                         std::string(1, last) + "'");
            }
            endChromosome(last == dialect_.circularEnd);
        }
    }

    void readGene(std::string_view token) {
        const Dialect& other = &dialect_ == &uniMoG ? grimm : uniMoG;
        for (const char c : token) {
            if (isEndOf(dialect_, c)) {
                throw std::runtime_error(where_ + ": '" + std::string(1, c) +
                                         "' inside the gene \"" + std::string(token) +
                                         "\"; a chromosome end needs a blank after it");
            }
        }
        if (token.size() == 1 && isEndOf(other, token[0])) {
            throw std::runtime_error(where_ + ": '" + std::string(token) + "' ends " + other.name +
                                     " chromosomes, but this file is in " + dialect_.name +
                                     " style, whose chromosomes end with '" + dialect_.linearEnd +
                                     "' or '" + dialect_.circularEnd + "'");
        }
        const int orientation = token.front() == '-' ? -1 : 1;
        std::string_view name = token;
        if (token.front() == '-' || token.front() == '+') name.remove_prefix(1);
        if (name.empty()) {
            throw std::runtime_error(where_ + ": the gene \"" + std::string(token) +
                                     "\" has no name");
        }
        if (dialect_.integerGenes) {
            if (name.find_first_not_of("0123456789") != std::string_view::npos) {
                throw std::runtime_error(where_ + ": \"" + std::string(token) +
                                         "\" is not a gene; GRIMM genes are signed integers");
            }
            name.remove_prefix(std::min(name.find_first_not_of('0'), name.size()));
            if (name.empty()) {
                throw std::runtime_error(where_ + ": \"" + std::string(token) +
                                         "\" is not a gene; GRIMM genes are numbered from 1");
            }
        }
        genes_.push_back(numbering_.code(name, orientation, where_));
    }

    void endChromosome(bool circular) {
        structures_.back().chromosomes.push_back({circular, std::move(genes_)});
        genes_.clear();
    }

    const Dialect& dialect_;
    GeneNumbering numbering_;
    std::vector<ChromosomalStructure> structures_;
    std::vector<int32_t> genes_;
    std::string where_;
};

}  // namespace

FormatLookahead::FormatLookahead(std::istream& in) : in_(in), stream_(this) {
    std::streambuf& source = *in.rdbuf();
    // A byte-order mark that some editors put at the start counts as blank.
    for (const char mark : byteOrderMark) {
        if (source.sgetc() != traits_type::to_int_type(mark)) break;
        prefix_.push_back(traits_type::to_char_type(source.sbumpc()));
    }
    bool comment = false;
    while (prefix_.size() < lookaheadLimit) {
        const int next = source.sbumpc();
        if (next == traits_type::eof()) break;
        const char c = traits_type::to_char_type(next);
        prefix_.push_back(c);
        if (c == '\n') {
            comment = false;
        } else if (comment || isBlank(c)) {
            continue;
        } else if (c == '#' || (c == '/' && source.sgetc() == '/')) {
            comment = true;
        } else {
            genomeHeader_ = c == '>';
            break;
        }
    }
    // The stream serves the prefix first, then the rest of the input in chunks.
    setg(prefix_.data(), prefix_.data(), prefix_.data() + prefix_.size());
}

FormatLookahead::int_type FormatLookahead::underflow() {
    chunk_.resize(lookaheadChunkSize);
    const std::streamsize got = in_.rdbuf()->sgetn(chunk_.data(), chunk_.size());
    if (got <= 0) return traits_type::eof();
    setg(chunk_.data(), chunk_.data(), chunk_.data() + got);
    return traits_type::to_int_type(chunk_.front());
}

void readGeneOrderStructures(std::istream& in, std::vector<ChromosomalStructure>& structures,
                             GeneTable& table, const std::string& source) {
    table = GeneTable();
    // The lines without their line feeds (a carriage return before one is a blank).
    std::vector<std::string> lines;
    std::string line;
    LineReader input(in, source);
    while (input.next(line)) lines.push_back(std::move(line));
    if (in.bad()) {
        throw std::runtime_error("line " + std::to_string(lines.size() + 1) +
                                 ": the input cannot be read");
    }
    if (!lines.empty() && lines[0].starts_with(byteOrderMark))
        lines[0].erase(0, byteOrderMark.size());
    GeneOrderReader reader(dialectOf(lines));
    for (std::size_t k = 0; k < lines.size(); ++k) reader.readLine(lines[k], k + 1);
    reader.finish(structures, table);
}

}  // namespace varnet
