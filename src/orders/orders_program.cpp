#include "orders/orders_program.hpp"

#include <algorithm>
#include <boost/program_options.hpp>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "orders/family_table.hpp"
#include "orders/gene_orders.hpp"
#include "orders/gff_annotations.hpp"
#include "orders/order_formats.hpp"
#include "structures/text_files.hpp"

namespace varnet {
namespace {

namespace po = boost::program_options;
namespace fs = std::filesystem;

constexpr int successStatus = 0;
constexpr int failureStatus = 1;

struct OrdersOptions {
    std::string groups;
    std::vector<std::string> gff;
    OrderFormat format = OrderFormat::Native;
    std::optional<std::string> out;  // none for standard output
    GffSettings settings;
    bool idAttributeGiven = false;
    Topology topology = Topology::FromAnnotation;
};

constexpr const char* usage =
    "Usage: varnet-orders --groups TABLE --gff FILE|DIR... [--format native|unimog|grimm] "
    "[--out FILE|-]\n"
    "Writes the gene order of every genome of a gene family table (an orthogroup table,\n"
    "Orthogroups.tsv, or a gene presence/absence table, gene_presence_absence.csv) as a\n"
    "structure file, reading each genome's genes from its GFF3 annotation (plain or .gz), the\n"
    "file named like the genome's column with .gff or .gff3.\n";

// The items of comma-separated lists, blanks around them dropped.
std::vector<std::string> splitList(const std::vector<std::string>& values) {
    std::vector<std::string> items;
    for (const std::string& value : values) {
        std::istringstream in(value);
        for (std::string item; std::getline(in, item, ',');) {
            if (!trimmed(item).empty()) items.emplace_back(trimmed(item));
        }
    }
    return items;
}

std::optional<OrdersOptions> parseOrdersOptions(const std::vector<std::string>& args,
                                                std::ostream& out) {
    po::options_description described("Options");
    described.add_options()("help,h", "Show this help")(
        "groups,g", po::value<std::string>()->required(),
        "Gene family table: Orthogroups.tsv or gene_presence_absence.csv")(
        "gff", po::value<std::vector<std::string>>()->multitoken()->required(),
        "GFF3 files, or directories of *.gff, *.gff3 (optionally .gz), one per genome column")(
        "format", po::value<std::string>()->default_value("native"),
        "Structure file format: native, unimog or grimm")(
        "out,o", po::value<std::string>(),
        "Structure file to write; - or none for standard output")(
        "types", po::value<std::vector<std::string>>()->multitoken(),
        "Feature types that are genes, comma-separated (default: CDS)")(
        "id-attribute", po::value<std::string>(),
        "The one attribute holding gene IDs (default: the first of ID, locus_tag, protein_id, "
        "Name that the table lists, or else the attribute that holds most of the table's IDs)")(
        "topology", po::value<std::string>(),
        "circular or linear for every chromosome (default: circular where the region feature "
        "says Is_circular=true)");
    po::variables_map values;
    po::store(po::command_line_parser(args).options(described).run(), values);
    if (values.count("help") != 0) {
        out << usage << described;
        return std::nullopt;
    }
    po::notify(values);

    OrdersOptions options;
    options.groups = values["groups"].as<std::string>();
    options.gff = values["gff"].as<std::vector<std::string>>();
    options.format = orderFormatNamed(values["format"].as<std::string>());
    if (values.count("out") != 0 && values["out"].as<std::string>() != "-")
        options.out = values["out"].as<std::string>();
    if (values.count("types") != 0) {
        options.settings.types = splitList(values["types"].as<std::vector<std::string>>());
        if (options.settings.types.empty()) throw std::runtime_error("--types names no type");
    }
    if (values.count("id-attribute") != 0) {
        const std::string& name = values["id-attribute"].as<std::string>();
        if (name.empty()) throw std::runtime_error("--id-attribute names no attribute");
        options.settings.idAttributes = {name};
        options.idAttributeGiven = true;
    }
    if (values.count("topology") != 0) {
        const std::string& topology = values["topology"].as<std::string>();
        if (topology == "circular") {
            options.topology = Topology::Circular;
        } else if (topology == "linear") {
            options.topology = Topology::Linear;
        } else {
            throw std::runtime_error("the topology \"" + topology + "\" is not circular or linear");
        }
    }
    return options;
}

bool isGffName(const std::string& name) {
    for (const char* suffix : {".gff", ".gff3", ".gff.gz", ".gff3.gz"})
        if (name.ends_with(suffix)) return true;
    return false;
}

// The genome a GFF file belongs to: its name without ".gz", then without ".gff" or ".gff3".
std::string genomeOfFile(const fs::path& path) {
    std::string name = path.filename().string();
    for (const std::string_view suffix : {".gz", ".gff3", ".gff"}) {
        if (name.ends_with(suffix)) {
            name.resize(name.size() - suffix.size());
            if (suffix != ".gz") break;
        }
    }
    return name;
}

// The GFF files named on the command line, directories replaced by the GFF files in them (by
// name).
std::vector<fs::path> gffFilesOf(const std::vector<std::string>& paths) {
    std::vector<fs::path> files;
    for (const std::string& given : paths) {
        const fs::path path(given);
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            if (!fs::exists(path, error)) throw std::runtime_error("Failed to open file " + given);
            files.push_back(path);
            continue;
        }
        std::vector<fs::path> inside;
        for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
            if (!entry.is_directory() && isGffName(entry.path().filename().string()))
                inside.push_back(entry.path());
        }
        if (inside.empty()) {
            throw std::runtime_error("the directory " + given +
                                     " holds no GFF3 file (*.gff, *.gff3, optionally .gz)");
        }
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

struct GffAssignment {
    std::vector<std::string> fileOf;         // per genome column
    std::vector<std::string> withoutColumn;  // files named like no column
};

// The GFF file of every genome column, in column order, and the files of no column; throws
// listing every column without a file.
GffAssignment gffFileOfEachGenome(const FamilyTable& table, const std::vector<fs::path>& files) {
    std::map<std::string, std::size_t> column;
    for (std::size_t g = 0; g < table.genomes.size(); ++g) column.emplace(table.genomes[g], g);
    GffAssignment assigned{std::vector<std::string>(table.genomes.size()), {}};
    std::vector<std::string>& fileOf = assigned.fileOf;
    for (const fs::path& file : files) {
        const std::string genome = genomeOfFile(file);
        const auto found = column.find(genome);
        if (found == column.end()) {
            assigned.withoutColumn.push_back(file.string());
        } else if (!fileOf[found->second].empty()) {
            throw std::runtime_error("the GFF files " + fileOf[found->second] + " and " +
                                     file.string() + " both belong to the genome \"" + genome +
                                     "\"");
        } else {
            fileOf[found->second] = file.string();
        }
    }
    std::vector<std::string> withoutFile;
    for (std::size_t g = 0; g < table.genomes.size(); ++g)
        if (fileOf[g].empty()) withoutFile.push_back("\"" + table.genomes[g] + "\"");
    if (withoutFile.empty()) return assigned;
    throw std::runtime_error("genome columns without a GFF file: " + joined(withoutFile) +
                             " (a genome's file is named like its column, with .gff or .gff3, "
                             "optionally .gz)");
}

std::string counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::size_t geneCount(const GeneOrder& order) {
    std::size_t count = 0;
    for (const OrderedChromosome& chromosome : order.chromosomes) count += chromosome.genes.size();
    return count;
}

// One genome's annotation read with the ID attributes that find its genes of the table.
struct ReadGenome {
    GenomeAnnotation annotation;
    std::string advice;  // when IDs are missing: what was tried and what came closest
};

// Reads the annotation of genome `g`. When the ID attributes leave some of its table IDs unfound,
// every attribute of its genes is looked at: unless --id-attribute was given, one that holds
// more of them is used instead (said on `err`); if IDs stay missing, the advice names the
// attributes tried and the closest other one.
ReadGenome readGenome(const OrdersOptions& options, const FamilyTable& table,
                      const FamilyIndex& index, std::size_t g, const std::string& file,
                      std::ostream& err) {
    const ListedId listed = [&](std::string_view id) { return index.familyOf(g, id).has_value(); };
    const std::size_t idCount = index.idCount(g);
    ReadGenome read{readGffFile(file, options.settings, listed), {}};
    if (read.annotation.idsFound == idCount) return read;

    const std::vector<AttributeMatch> matches =
        matchAttributesInFile(file, options.settings.types, listed);
    std::vector<std::string> tried = options.settings.idAttributes;
    if (!options.idAttributeGiven && !matches.empty() &&
        matches.front().listed > read.annotation.idsFound) {
        const AttributeMatch& best = matches.front();
        err << table.genomes[g] << ": gene IDs read from the attribute \"" << best.name
            << "\", which holds " << best.listed << " of the table's " << idCount
            << " for this genome (" << joined(tried) << " hold " << read.annotation.idsFound
            << ")\n";
        GffSettings settings = options.settings;
        settings.idAttributes = {best.name};
        read.annotation = readGffFile(file, settings, listed);
        tried.push_back(best.name);
        if (read.annotation.idsFound == idCount) return read;
    }
    read.advice = "; genome \"" + table.genomes[g] + "\": the attribute" +
                  (tried.size() == 1 ? "" : "s") + " tried (" + joined(tried) + ") hold" +
                  (tried.size() == 1 ? "s " : " ") + std::to_string(read.annotation.idsFound) +
                  " of its " + std::to_string(idCount) + " IDs; ";
    const auto closest = std::find_if(matches.begin(), matches.end(), [&](const AttributeMatch& m) {
        return std::find(tried.begin(), tried.end(), m.name) == tried.end();
    });
    if (closest != matches.end() && closest->listed > 0) {
        read.advice += "the closest other attribute, \"" + closest->name + "\", holds " +
                       std::to_string(closest->listed) + " (--id-attribute chooses it)";
    } else {
        read.advice +=
            "no other attribute of its " + joined(options.settings.types) + " features holds any";
    }
    return read;
}

void runOrders(const OrdersOptions& options, std::ostream& out, std::ostream& err) {
    const FamilyTable table = readFamilyTableFile(options.groups);
    const FamilyIndex index(table);
    const GffAssignment assigned = gffFileOfEachGenome(table, gffFilesOf(options.gff));
    const std::vector<std::string>& files = assigned.fileOf;
    if (!assigned.withoutColumn.empty()) {
        constexpr std::size_t named = 10;
        const std::vector<std::string>& left = assigned.withoutColumn;
        std::vector<std::string> shown(
            left.begin(), left.begin() + static_cast<std::ptrdiff_t>(std::min(left.size(), named)));
        if (left.size() > named)
            shown.push_back("and " + std::to_string(left.size() - named) + " more");
        err << counted(left.size(), "GFF file") << " named like no genome column of the table "
            << (left.size() == 1 ? "is" : "are") << " left out: " << joined(shown) << '\n';
    }

    std::vector<GenomeAnnotation> annotations;
    std::vector<GeneOrder> genomes;
    std::string advice;
    annotations.reserve(files.size());
    genomes.reserve(files.size());
    for (std::size_t g = 0; g < files.size(); ++g) {
        ReadGenome read = readGenome(options, table, index, g, files[g], err);
        if (advice.empty()) advice = std::move(read.advice);
        annotations.push_back(std::move(read.annotation));
        const GenomeAnnotation& annotation = annotations.back();
        genomes.push_back(orderGenes(table, index, g, annotation, options.topology));
        const GeneOrder& order = genomes.back();
        err << table.genomes[g] << ": " << counted(geneCount(order), "gene") << " on "
            << counted(order.chromosomes.size(), "sequence") << " from " << files[g];
        if (annotation.leftOut != 0)
            err << "; " << counted(annotation.leftOut, "feature") << " not in the table left out";
        if (annotation.idsAtSeveralPlaces != 0) {
            err << "; " << counted(annotation.idsAtSeveralPlaces, "ID")
                << " of the table at several places, each place a copy";
        }
        if (table.unplaced[g] != 0) {
            err << "; " << counted(table.unplaced[g], "refound gene")
                << " that the GFF does not place left out";
        }
        err << '\n';
    }
    checkEveryListedGeneFound(table, annotations, advice);

    std::ostringstream text;
    writeGeneOrders(text, table, genomes, options.format);
    if (options.out) {
        writeResultFile(*options.out, [&](std::ostream& file) { file << text.view(); });
    } else {
        out << text.view();
    }
}

}  // namespace

int runOrdersProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const std::optional<OrdersOptions> options = parseOrdersOptions(args, out);
        if (options) runOrders(*options, out, err);
        out.flush();
        if (!out) throw std::runtime_error("Failed to write to standard output");
        return successStatus;
    } catch (const po::error& e) {
        err << "varnet-orders: " << e.what() << " (varnet-orders --help lists the options)\n";
    } catch (const std::exception& e) {
        err << "varnet-orders: " << e.what() << '\n';
    }
    return failureStatus;
}

}  // namespace varnet
