#include "orders/order_formats.hpp"

#include <map>
#include <stdexcept>
#include <string_view>

#include "structures/text_files.hpp"

namespace varnet {
namespace {

// Characters a format cannot hold in a name, anywhere or at its start.
struct Reserved {
    std::string_view anywhere;
    std::string_view atStart;
};

struct FormatRules {
    const char* name;
    Reserved genome;
    Reserved gene;
    bool geneNamesInText;  // false where genes are numbered and names only annotate
};

// Native: words split at blanks, ';' and ':', a gene name runs to the next sign.
// UniMoG: "//" starts a comment; the ends of either gene-order style ('|', ')', '$', '@', the
// first one in the file deciding the style) and '#' (a comment to the style detection) would be
// misread, and a leading sign or '>' would change the gene or start a genome. GRIMM: '#' starts
// a comment; family names appear in comment lines only.
constexpr FormatRules nativeRules{"native", {";:", ""}, {";:+-", ""}, true};
constexpr FormatRules uniMoGRules{"UniMoG", {"/", ""}, {"/|)$@#", "+->"}, true};
constexpr FormatRules grimmRules{"GRIMM", {"#", ""}, {"", ""}, false};

const FormatRules& rulesOf(OrderFormat format) {
    switch (format) {
        case OrderFormat::Native:
            return nativeRules;
        case OrderFormat::UniMoG:
            return uniMoGRules;
        case OrderFormat::Grimm:
            break;
    }
    return grimmRules;
}

std::string sanitised(std::string_view name, const Reserved& reserved, bool blanksReserved) {
    std::string text(name);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        const bool line = c == '\n' || c == '\r';
        if (line || (blanksReserved && isBlank(c)) ||
            reserved.anywhere.find(c) != std::string_view::npos ||
            (k == 0 && reserved.atStart.find(c) != std::string_view::npos)) {
            text[k] = '_';
        }
    }
    return text;
}

// The names as the format writes them; throws when two distinct names become one.
std::vector<std::string> sanitisedNames(const std::vector<std::string>& names,
                                        const Reserved& reserved, bool blanksReserved,
                                        bool mustStayDistinct, const char* what,
                                        const char* format) {
    std::vector<std::string> result;
    result.reserve(names.size());
    std::map<std::string_view, std::size_t> first;
    for (std::size_t k = 0; k < names.size(); ++k)
        result.push_back(sanitised(names[k], reserved, blanksReserved));
    if (!mustStayDistinct) return result;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto [it, added] = first.emplace(result[k], k);
        if (added) continue;
        throw std::runtime_error(std::string("the ") + what + " \"" + names[it->second] +
                                 "\" and \"" + names[k] + "\" both become \"" + result[k] +
                                 "\" in " + format +
                                 " format, which reserves some of their "
                                 "characters");
    }
    return result;
}

void writeNative(std::ostream& out, const std::vector<std::string>& families,
                 const std::vector<std::string>& genomeNames,
                 const std::vector<GeneOrder>& genomes) {
    out << genomes.size() << '\n';
    for (std::size_t g = 0; g < genomes.size(); ++g) {
        out << genomeNames[g] << ": " << genomes[g].chromosomes.size();
        for (const OrderedChromosome& chromosome : genomes[g].chromosomes) {
            out << "; " << (chromosome.circular ? 'C' : 'L') << chromosome.genes.size() << ": ";
            for (const OrderedGene& gene : chromosome.genes)
                out << (gene.reverse ? '-' : '+') << families[gene.family];
        }
        out << '\n';
    }
}

// Both gene-order styles: a line ">name" per genome, a line per chromosome of genes written as
// `genes` says, '-' before a reversed one, then the chromosome's end.
void writeGeneOrderStyle(std::ostream& out, const std::vector<std::string>& genes,
                         const std::vector<std::string>& genomeNames,
                         const std::vector<GeneOrder>& genomes, char linearEnd, char circularEnd) {
    for (std::size_t g = 0; g < genomes.size(); ++g) {
        out << '>' << genomeNames[g] << '\n';
        for (const OrderedChromosome& chromosome : genomes[g].chromosomes) {
            for (const OrderedGene& gene : chromosome.genes)
                out << (gene.reverse ? "-" : "") << genes[gene.family] << ' ';
            out << (chromosome.circular ? circularEnd : linearEnd) << '\n';
        }
    }
}

void writeGrimm(std::ostream& out, const std::vector<std::string>& families,
                const std::vector<std::string>& genomeNames,
                const std::vector<GeneOrder>& genomes) {
    std::vector<std::string> number(families.size());
    std::vector<std::size_t> numbered;
    for (const GeneOrder& genome : genomes) {
        for (const OrderedChromosome& chromosome : genome.chromosomes) {
            for (const OrderedGene& gene : chromosome.genes) {
                if (!number[gene.family].empty()) continue;
                numbered.push_back(gene.family);
                number[gene.family] = std::to_string(numbered.size());
            }
        }
    }
    out << "# Gene families numbered in order of first appearance:\n";
    for (std::size_t k = 0; k < numbered.size(); ++k)
        out << "# " << k + 1 << ' ' << families[numbered[k]] << '\n';
    writeGeneOrderStyle(out, number, genomeNames, genomes, '$', '@');
}

}  // namespace

OrderFormat orderFormatNamed(const std::string& name) {
    if (name == "native") return OrderFormat::Native;
    if (name == "unimog") return OrderFormat::UniMoG;
    if (name == "grimm") return OrderFormat::Grimm;
    throw std::runtime_error("the format \"" + name + "\" is not native, unimog or grimm");
}

void writeGeneOrders(std::ostream& out, const FamilyTable& table,
                     const std::vector<GeneOrder>& genomes, OrderFormat format) {
    const FormatRules& rules = rulesOf(format);
    std::vector<std::string> familyNames;
    familyNames.reserve(table.families.size());
    for (const Family& family : table.families) familyNames.push_back(family.name);
    std::vector<std::string> genomeNames;
    genomeNames.reserve(genomes.size());
    for (const GeneOrder& genome : genomes) genomeNames.push_back(genome.name);
    const std::vector<std::string> families =
        sanitisedNames(familyNames, rules.gene, rules.geneNamesInText, rules.geneNamesInText,
                       "families", rules.name);
    const std::vector<std::string> names =
        sanitisedNames(genomeNames, rules.genome, true, true, "genomes", rules.name);
    switch (format) {
        case OrderFormat::Native:
            return writeNative(out, families, names, genomes);
        case OrderFormat::UniMoG:
            return writeGeneOrderStyle(out, families, names, genomes, '|', ')');
        case OrderFormat::Grimm:
            return writeGrimm(out, families, names, genomes);
    }
}

}  // namespace varnet
