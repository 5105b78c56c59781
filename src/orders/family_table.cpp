#include "orders/family_table.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "orders/compressed_input.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// The header's leading columns that are not genomes, per layout.
constexpr std::string_view orthogroupColumn = "Orthogroup";
constexpr std::string_view csvColumns[] = {"Gene", "Non-unique Gene name", "Annotation"};
// Roary's summary columns; before late 2015 it wrote them up to "QC".
constexpr std::string_view summaryColumns[] = {"No. isolates",
                                               "No. sequences",
                                               "Avg sequences per isolate",
                                               "Genome Fragment",
                                               "Order within Fragment",
                                               "Accessory Fragment",
                                               "Accessory Order with Fragment",
                                               "QC",
                                               "Min group size nuc",
                                               "Max group size nuc",
                                               "Avg group size nuc"};
constexpr std::string_view lastSummaryColumn = "Avg group size nuc";

// Panaroo's marks on the IDs of its tables.
constexpr std::string_view refoundMark = "_refound_";
constexpr std::string_view idSuffixes[] = {"_len", "_stop"};

// Records of the table, one line each, or one quoted-field-aware CSV record each.
class Records {
public:
    Records(std::istream& in, const std::string& source)
        : in_(in), source_(source), reader_(in, source) {}

    // The fields of the next record that is not blank; false at the end of the input. The first
    // record, the header, decides the layout: tab-separated when its first field is
    // "Orthogroup", comma-separated otherwise.
    bool next(std::vector<std::string>& fields) {
        do {
            if (!nextLine()) return false;
            start_ = reader_.lineNumber();
        } while (trimmed(line_).empty());
        if (separator_ == 0)
            separator_ = line_.substr(0, line_.find('\t')) == orthogroupColumn ? '\t' : ',';
        fields.clear();
        if (separator_ == '\t') {
            splitTabs(fields);
        } else {
            splitCsv(fields);
        }
        return true;
    }

    // "<source>, line <n>" for the line the last record started on.
    std::string where() const { return source_ + ", line " + std::to_string(start_); }
    int64_t line() const { return start_; }
    bool tabSeparated() const { return separator_ == '\t'; }

private:
    bool nextLine() {
        if (!reader_.next(line_)) {
            if (in_.bad()) throw std::runtime_error(source_ + ": the file cannot be read");
            return false;
        }
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        if (reader_.lineNumber() == 1 && line_.starts_with(byteOrderMark))
            line_.erase(0, byteOrderMark.size());
        return true;
    }

    void splitTabs(std::vector<std::string>& fields) const {
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line_.find('\t', start);
            fields.emplace_back(line_.substr(start, tab - start));
            if (tab == std::string::npos) return;
            start = tab + 1;
        }
    }

    // Fields separated by commas; a field starting with a quote runs to the next lone quote,
    // taking commas, line breaks and doubled quotes into its text.
    void splitCsv(std::vector<std::string>& fields) {
        std::string field;
        std::size_t pos = 0;
        for (;;) {
            if (pos < line_.size() && line_[pos] == '"') {
                ++pos;
                for (;;) {
                    if (pos == line_.size()) {
                        field += '\n';
                        if (!nextLine()) {
                            throw std::runtime_error(where() +
                                                     ": a quoted field is not closed by '\"'");
                        }
                        pos = 0;
                    } else if (line_[pos] != '"') {
                        field += line_[pos++];
                    } else if (pos + 1 < line_.size() && line_[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                    } else {
                        ++pos;
                        break;
                    }
                }
                if (pos < line_.size() && line_[pos] != ',') {
                    throw std::runtime_error(where() + ": text after the closing quote of field " +
                                             std::to_string(fields.size() + 1));
                }
            } else {
                const std::size_t comma = std::min(line_.find(',', pos), line_.size());
                field.assign(line_, pos, comma - pos);
                pos = comma;
            }
            fields.push_back(std::move(field));
            field.clear();
            if (pos == line_.size()) return;
            ++pos;  // the comma
        }
    }

    std::istream& in_;
    const std::string& source_;
    LineReader reader_;
    char separator_ = 0;
    std::string line_;
    int64_t start_ = 0;
};

// How a cell lists genes.
enum class Cells {
    Orthogroups,  // IDs separated by ", "
    Roary,        // paralogues separated by tabs or ';'
    Panaroo,      // genes separated by tabs, the fragments of one gene by ';'
};

struct Layout {
    Cells cells;
    std::size_t firstGenome;
};

bool isSummaryColumn(std::string_view name) {
    return std::find(std::begin(summaryColumns), std::end(summaryColumns), name) !=
           std::end(summaryColumns);
}

// Roary's layout when the summary columns follow the first three, else Panaroo's.
Layout csvLayout(const std::vector<std::string>& header) {
    std::size_t first = std::size(csvColumns);
    if (first == header.size() || !isSummaryColumn(header[first])) return {Cells::Panaroo, first};
    const auto last = std::find(header.begin() + static_cast<std::ptrdiff_t>(first), header.end(),
                                lastSummaryColumn);
    if (last != header.end())
        return {Cells::Roary, static_cast<std::size_t>(last - header.begin()) + 1};
    while (first < header.size() && isSummaryColumn(header[first])) ++first;
    return {Cells::Roary, first};
}

// The GFF ID an ID of a presence/absence table stands for: without Panaroo's suffixes; none for
// a refound gene.
std::optional<std::string_view> gffIdOf(std::string_view id) {
    if (id.find(refoundMark) != std::string_view::npos) return std::nullopt;
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const std::string_view suffix : idSuffixes) {
            if (id.size() > suffix.size() && id.ends_with(suffix)) {
                id.remove_suffix(suffix.size());
                stripped = true;
            }
        }
    }
    return id;
}

// Adds the genes of one genome's cell to `family`, or counts them in `unplaced`.
void splitCell(std::string_view cell, Cells cells, std::size_t genome, Family& family,
               std::size_t& unplaced) {
    const auto isGeneEnd = [cells](char c) {
        return c == '\t' || (cells == Cells::Orthogroups && c == ',') ||
               (cells == Cells::Roary && c == ';');
    };
    while (!cell.empty()) {
        std::size_t end = 0;
        while (end < cell.size() && !isGeneEnd(cell[end])) ++end;
        std::string_view gene = cell.substr(0, end);
        cell.remove_prefix(std::min(end + 1, cell.size()));

        std::optional<FamilyMember> member;
        bool listed = false;
        while (!gene.empty()) {
            const std::size_t fragmentEnd =
                cells == Cells::Panaroo ? std::min(gene.find(';'), gene.size()) : gene.size();
            std::optional<std::string_view> id = trimmed(gene.substr(0, fragmentEnd));
            gene.remove_prefix(std::min(fragmentEnd + 1, gene.size()));
            if (id->empty()) continue;
            listed = true;
            if (cells != Cells::Orthogroups) id = gffIdOf(*id);
            if (!id) continue;
            if (member) {
                member->fragments.emplace_back(*id);
            } else {
                member = FamilyMember{genome, std::string(*id)};
            }
        }
        if (member) {
            family.members.push_back(std::move(*member));
        } else if (listed) {
            ++unplaced;
        }
    }
}

}  // namespace

FamilyTable readFamilyTable(std::istream& in, const std::string& source) {
    Records records(in, source);
    std::vector<std::string> header;
    if (!records.next(header)) throw std::runtime_error(source + ": the table is empty");
    const std::string where = records.where();
    Layout layout{Cells::Orthogroups, 1};
    if (!records.tabSeparated()) {
        if (header.size() < std::size(csvColumns) ||
            !std::equal(std::begin(csvColumns), std::end(csvColumns), header.begin())) {
            throw std::runtime_error(
                where +
                ": the header is neither an orthogroup table's (tab-separated, first "
                "column \"Orthogroup\") nor a gene presence/absence table's "
                "(comma-separated, first columns \"Gene\", \"Non-unique Gene name\", "
                "\"Annotation\")");
        }
        layout = csvLayout(header);
    }

    FamilyTable table;
    std::map<std::string_view, std::size_t> columns;
    for (std::size_t k = layout.firstGenome; k < header.size(); ++k) {
        const std::string_view name = trimmed(header[k]);
        if (name.empty()) {
            throw std::runtime_error(where + ": the genome column " + std::to_string(k + 1) +
                                     " has no name");
        }
        table.genomes.emplace_back(name);
    }
    if (table.genomes.empty()) throw std::runtime_error(where + ": the table has no genome column");
    table.unplaced.assign(table.genomes.size(), 0);
    for (std::size_t k = 0; k < table.genomes.size(); ++k) {
        const auto [it, added] = columns.emplace(table.genomes[k], k);
        if (!added) {
            throw std::runtime_error(where + ": the genome column \"" + table.genomes[k] +
                                     "\" appears twice");
        }
    }

    std::map<std::string, int64_t> familyLines;
    std::vector<std::string> fields;
    while (records.next(fields)) {
        if (fields.size() != header.size()) {
            throw std::runtime_error(records.where() + ": " + std::to_string(fields.size()) +
                                     " fields where the header has " +
                                     std::to_string(header.size()));
        }
        Family family{std::string(trimmed(fields[0])), records.line(), {}};
        if (family.name.empty())
            throw std::runtime_error(records.where() + ": the family has no name");
        const auto [it, added] = familyLines.emplace(family.name, family.line);
        if (!added) {
            throw std::runtime_error(records.where() + ": the family \"" + family.name +
                                     "\" appears again (first on line " +
                                     std::to_string(it->second) + ")");
        }
        for (std::size_t k = 0; k < table.genomes.size(); ++k)
            splitCell(fields[layout.firstGenome + k], layout.cells, k, family, table.unplaced[k]);
        table.families.push_back(std::move(family));
    }
    if (table.families.empty()) throw std::runtime_error(source + ": the table lists no family");
    return table;
}

FamilyTable readFamilyTableFile(const std::string& path) {
    CompressedInput input(path);
    return readFamilyTable(input.stream(), path);
}

}  // namespace varnet
