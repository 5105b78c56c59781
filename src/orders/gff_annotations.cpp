#include "orders/gff_annotations.hpp"

#include <algorithm>
#include <cctype>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "orders/compressed_input.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

constexpr std::size_t columnCount = 9;

struct Columns {
    std::string_view field[columnCount];
    std::string_view& seqid() { return field[0]; }
    std::string_view& type() { return field[2]; }
    std::string_view& start() { return field[3]; }
    std::string_view& end() { return field[4]; }
    std::string_view& strand() { return field[6]; }
    std::string_view& attributes() { return field[8]; }
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// GFF3 writes ';', '=', ',', '%' and control characters in values as %XX.
std::string percentDecoded(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t k = 0; k < value.size(); ++k) {
        if (value[k] == '%' && k + 2 < value.size() && hexDigit(value[k + 1]) >= 0 &&
            hexDigit(value[k + 2]) >= 0) {
            text += static_cast<char>(hexDigit(value[k + 1]) * 16 + hexDigit(value[k + 2]));
            k += 2;
        } else {
            text += value[k];
        }
    }
    return text;
}

// The attributes of a GFF3 attribute column ("key=value;key=value"), values as written.
template <typename Visit>
void forEachAttribute(std::string_view column, const Visit& visit) {
    while (!column.empty()) {
        const std::size_t end = std::min(column.find(';'), column.size());
        std::string_view pair = column.substr(0, end);
        column.remove_prefix(std::min(end + 1, column.size()));
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos)
            visit(pair.substr(0, equals), pair.substr(equals + 1));
    }
}

// The value of the attribute `key` in a GFF3 attribute column, as written.
std::optional<std::string_view> rawAttribute(std::string_view column, std::string_view key) {
    std::optional<std::string_view> found;
    forEachAttribute(column, [&](std::string_view name, std::string_view value) {
        if (!found && name == key) found = value;
    });
    return found;
}

// The value of the attribute `key` in a GFF3 attribute column.
std::optional<std::string> attribute(std::string_view column, std::string_view key) {
    const std::optional<std::string_view> value = rawAttribute(column, key);
    if (!value) return std::nullopt;
    return percentDecoded(*value);
}

// What a line says about the feature it belongs to: its "ID" and its "Parent"s. Lines sharing
// one of these are one feature, or parts of one (the exons of a transcript, a gene and its CDS).
std::vector<std::string> featureNames(std::string_view column) {
    std::vector<std::string> names;
    if (std::optional<std::string> id = attribute(column, "ID")) names.push_back(std::move(*id));
    if (std::optional<std::string_view> parents = rawAttribute(column, "Parent")) {
        while (!parents->empty()) {
            const std::size_t comma = std::min(parents->find(','), parents->size());
            names.push_back(percentDecoded(parents->substr(0, comma)));
            parents->remove_prefix(std::min(comma + 1, parents->size()));
        }
    }
    return names;
}

bool sharesName(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (const std::string& name : a)
        if (std::find(b.begin(), b.end(), name) != b.end()) return true;
    return false;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

class GffReader {
public:
    GffReader(const std::string& source, const GffSettings& settings, const ListedId& listed)
        : source_(source), settings_(settings), listed_(listed) {}

    // False once the features have ended.
    bool readLine(std::string_view line, int64_t number) {
        number_ = number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("##FASTA") || line.starts_with('>')) return false;
        if (line.starts_with('#') || line.find_first_not_of(" \t") == std::string_view::npos)
            return true;
        Columns columns = split(line);
        const int64_t start = coordinate(columns.start(), "start");
        const int64_t end = coordinate(columns.end(), "end");
        if (start > end) {
            fail("the start " + std::to_string(start) + " is after the end " + std::to_string(end));
        }
        const std::string_view strand = columns.strand();
        if (strand != "+" && strand != "-" && strand != "." && strand != "?")
            fail("the strand \"" + std::string(strand) + "\" is not '+', '-', '.' or '?'");
        Sequence& sequence = sequenceOf(columns.seqid());
        if (columns.type() == "region") {
            const std::optional<std::string> circular =
                attribute(columns.attributes(), "Is_circular");
            if (circular && equalsIgnoringCase(*circular, "true")) sequence.circular = true;
        }
        if (std::find(settings_.types.begin(), settings_.types.end(), columns.type()) !=
            settings_.types.end()) {
            readGene(columns, start, sequence);
        }
        return true;
    }

    GenomeAnnotation finish() {
        GenomeAnnotation annotation;
        annotation.leftOut = leftOut_.size() + leftOutWithoutId_;
        annotation.idsFound = places_.size();
        annotation.idsAtSeveralPlaces = idsAtSeveralPlaces_;
        for (Sequence& sequence : sequences_) {
            if (sequence.genes.empty()) continue;
            std::stable_sort(
                sequence.genes.begin(), sequence.genes.end(),
                [](const AnnotatedGene& a, const AnnotatedGene& b) { return a.start < b.start; });
            annotation.sequences.push_back(
                {std::move(sequence.id), sequence.circular, std::move(sequence.genes)});
        }
        return annotation;
    }

private:
    using Sequence = AnnotatedSequence;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(source_ + ", line " + std::to_string(number_) + ": " + what);
    }

    Columns split(std::string_view line) const {
        Columns columns;
        std::size_t count = 0;
        for (; count < columnCount; ++count) {
            const std::size_t tab = line.find('\t');
            columns.field[count] = line.substr(0, tab);
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        if (count < columnCount - 1) {
            fail(std::to_string(count + 1) + " tab-separated columns where a GFF3 feature has 9");
        }
        return columns;
    }

    int64_t coordinate(std::string_view text, const char* what) const {
        int64_t value = 0;
        const bool digits = !text.empty() && text.size() <= 18 &&
                            text.find_first_not_of("0123456789") == std::string_view::npos;
        if (digits) {
            for (const char c : text) value = value * 10 + (c - '0');
        }
        if (!digits || value < 1) {
            fail(std::string("the ") + what + " \"" + std::string(text) +
                 "\" is not a coordinate (a whole number from 1)");
        }
        return value;
    }

    Sequence& sequenceOf(std::string_view id) {
        const auto found = sequenceIndex_.find(id);
        if (found != sequenceIndex_.end()) return sequences_[found->second];
        sequenceIndex_.emplace(std::string(id), sequences_.size());
        sequences_.push_back({std::string(id), false, {}});
        return sequences_.back();
    }

    void readGene(Columns& columns, int64_t start, Sequence& sequence) {
        std::optional<std::string> key;
        for (const std::string& name : settings_.idAttributes) {
            std::optional<std::string> value = attribute(columns.attributes(), name);
            if (!value) continue;
            if (listed_(*value)) {
                placeGene(std::move(*value), columns, start, sequence);
                return;
            }
            if (!key) key = std::move(value);
        }
        // Counted once per feature: by the first ID attribute it has, else per line.
        if (key) {
            leftOut_.insert(std::move(*key));
        } else {
            ++leftOutWithoutId_;
        }
    }

    // A line of a gene the table lists: a further line of a feature already placed under the
    // same ID, or a new place of the ID.
    void placeGene(std::string id, Columns& columns, int64_t start, Sequence& sequence) {
        std::vector<std::string> names = featureNames(columns.attributes());
        std::vector<std::vector<std::string>>& places = places_[id];
        for (std::vector<std::string>& place : places) {
            if (names.empty() || place.empty() || sharesName(place, names)) {
                place.insert(place.end(), names.begin(), names.end());
                return;
            }
        }
        if (columns.strand() != "+" && columns.strand() != "-") {
            fail("the gene \"" + id + "\" has no strand ('" + std::string(columns.strand()) +
                 "'), so its orientation is unknown");
        }
        if (places.size() == 1) ++idsAtSeveralPlaces_;
        places.push_back(std::move(names));
        sequence.genes.push_back({std::move(id), start, columns.strand() == "-"});
    }

    const std::string& source_;
    const GffSettings& settings_;
    const ListedId& listed_;
    int64_t number_ = 0;
    std::vector<Sequence> sequences_;
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> sequenceIndex_;
    // Per listed ID, the names (IDs, Parents) of the lines of each feature placed under it.
    std::unordered_map<std::string, std::vector<std::vector<std::string>>> places_;
    std::size_t idsAtSeveralPlaces_ = 0;
    std::unordered_set<std::string> leftOut_;
    std::size_t leftOutWithoutId_ = 0;
};

}  // namespace

GenomeAnnotation readGff(std::istream& in, const std::string& source, const GffSettings& settings,
                         const ListedId& listed) {
    GffReader reader(source, settings, listed);
    LineReader lines(in, source);
    std::string line;
    while (lines.next(line)) {
        if (!reader.readLine(line, lines.lineNumber())) break;
    }
    if (in.bad()) throw std::runtime_error(source + ": the file cannot be read");
    return reader.finish();
}

namespace {

// Every attribute of the features of `types` with the number of its distinct (percent-decoded)
// values that are `listed`, most first, ties in order of first appearance: where to look for
// the table's IDs. Reads the features as readGff does, and expects an annotation it has read.
std::vector<AttributeMatch> matchAttributes(std::istream& in, const std::string& source,
                                            const std::vector<std::string>& types,
                                            const ListedId& listed) {
    std::vector<std::string> names;  // in order of first appearance
    std::unordered_map<std::string, std::unordered_set<std::string>> values;
    LineReader lines(in, source);
    std::string text;
    while (lines.next(text)) {
        std::string_view line = text;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("##FASTA") || line.starts_with('>')) break;
        if (line.starts_with('#')) continue;
        std::string_view field[columnCount];
        std::size_t count = 0;
        for (; count < columnCount && !line.empty(); ++count) {
            const std::size_t tab = std::min(line.find('\t'), line.size());
            field[count] = line.substr(0, tab);
            line.remove_prefix(std::min(tab + 1, line.size()));
        }
        if (std::find(types.begin(), types.end(), field[2]) == types.end()) continue;
        forEachAttribute(field[8], [&](std::string_view name, std::string_view raw) {
            const auto [it, added] = values.try_emplace(std::string(name));
            if (added) names.emplace_back(name);
            std::string value = percentDecoded(raw);
            if (listed(value)) it->second.insert(std::move(value));
        });
    }
    if (in.bad()) throw std::runtime_error(source + ": the file cannot be read");
    std::vector<AttributeMatch> matches;
    for (std::string& name : names) {
        const std::size_t count = values[name].size();
        matches.push_back({std::move(name), count});
    }
    std::stable_sort(
        matches.begin(), matches.end(),
        [](const AttributeMatch& a, const AttributeMatch& b) { return a.listed > b.listed; });
    return matches;
}

}  // namespace

std::vector<AttributeMatch> matchAttributesInFile(const std::string& path,
                                                  const std::vector<std::string>& types,
                                                  const ListedId& listed) {
    CompressedInput input(path);
    return matchAttributes(input.stream(), path, types, listed);
}

GenomeAnnotation readGffFile(const std::string& path, const GffSettings& settings,
                             const ListedId& listed) {
    CompressedInput input(path);
    return readGff(input.stream(), path, settings, listed);
}

}  // namespace varnet
