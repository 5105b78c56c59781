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
    std::optional<std::string> out;
    GffSettings settings;
    Topology topology = Topology::FromAnnotation;
};

constexpr const char* usage =
    "Usage: varnet-orders --groups TABLE --gff FILE|DIR... [--format native|unimog|grimm] "
    "[--out FILE]\n"
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
        "out,o", po::value<std::string>(), "Structure file to write (default: standard output)")(
        "types", po::value<std::vector<std::string>>()->multitoken(),
        "Feature types that are genes, comma-separated (default: CDS)")(
        "id-attribute", po::value<std::string>(),
        "The one attribute holding gene IDs (default: the first of ID, locus_tag, protein_id, "
        "Name that the table lists)")(
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
    if (values.count("out") != 0) options.out = values["out"].as<std::string>();
    if (values.count("types") != 0) {
        options.settings.types = splitList(values["types"].as<std::vector<std::string>>());
        if (options.settings.types.empty()) throw std::runtime_error("--types names no type");
    }
    if (values.count("id-attribute") != 0) {
        const std::string& name = values["id-attribute"].as<std::string>();
        if (name.empty()) throw std::runtime_error("--id-attribute names no attribute");
        options.settings.idAttributes = {name};
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

// The GFF file of every genome column, in column order; throws listing every column without a
// file and every file without a column.
std::vector<std::string> gffFileOfEachGenome(const FamilyTable& table,
                                             const std::vector<fs::path>& files) {
    std::map<std::string, std::size_t> column;
    for (std::size_t g = 0; g < table.genomes.size(); ++g) column.emplace(table.genomes[g], g);
    std::vector<std::string> fileOf(table.genomes.size());
    std::vector<std::string> withoutColumn;
    for (const fs::path& file : files) {
        const std::string genome = genomeOfFile(file);
        const auto found = column.find(genome);
        if (found == column.end()) {
            withoutColumn.push_back(file.string());
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
    if (withoutFile.empty() && withoutColumn.empty()) return fileOf;
    std::string message;
    if (!withoutFile.empty()) message = "genome columns without a GFF file: " + joined(withoutFile);
    if (!withoutColumn.empty()) {
        message += (message.empty() ? "" : "; ") +
                   std::string("GFF files without a genome column of the table: ") +
                   joined(withoutColumn);
    }
    throw std::runtime_error(message +
                             " (a genome's file is named like its column, with .gff "
                             "or .gff3, optionally .gz)");
}

std::string counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::size_t geneCount(const GenomeAnnotation& annotation) {
    std::size_t count = 0;
    for (const AnnotatedSequence& sequence : annotation.sequences) count += sequence.genes.size();
    return count;
}

void runOrders(const OrdersOptions& options, std::ostream& out, std::ostream& err) {
    const FamilyTable table = readFamilyTableFile(options.groups);
    const FamilyIndex index(table);
    const std::vector<std::string> files = gffFileOfEachGenome(table, gffFilesOf(options.gff));

    std::vector<GenomeAnnotation> annotations;
    annotations.reserve(files.size());
    for (std::size_t g = 0; g < files.size(); ++g) {
        const ListedId listed = [&](std::string_view id) {
            return index.familyOf(g, id).has_value();
        };
        annotations.push_back(readGffFile(files[g], options.settings, listed));
        const GenomeAnnotation& annotation = annotations.back();
        err << table.genomes[g] << ": " << counted(geneCount(annotation), "gene") << " on "
            << counted(annotation.sequences.size(), "sequence") << " from " << files[g];
        if (annotation.leftOut != 0)
            err << "; " << counted(annotation.leftOut, "feature") << " not in the table left out";
        err << '\n';
    }
    checkEveryListedGeneFound(table, annotations);

    std::vector<GeneOrder> genomes;
    genomes.reserve(files.size());
    for (std::size_t g = 0; g < files.size(); ++g)
        genomes.push_back(orderGenes(table, index, g, annotations[g], options.topology));
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
