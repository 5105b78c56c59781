#include "app/program_options.hpp"

#include <boost/filesystem/operations.hpp>
#include <boost/program_options.hpp>
#include <charconv>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace varnet {
namespace {

namespace po = boost::program_options;

// A default as the listing shows it: numbers in the stream's default format.
template <typename Value>
std::string defaultText(const Value& value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The options with the defaults of `RunSettings`.
po::options_description describeOptions() {
    const RunSettings defaults;
    const auto text = [](const std::string& value) {
        return po::value<std::string>()->default_value(value);
    };
    po::options_description options("Options", 80, 40);
    options.add_options()                                                          //
        ("help,h", "Show help")                                                    //
        ("chrom,c", po::value<std::string>(), "File with chromosomal structures")  //
        ("oper,o", po::value<std::string>(), "Operation weights")                  //
        ("res,r", po::value<std::string>(), "Output directory with result")        //
        ("mode,m", po::value<std::string>(), "Running mode")                       //
        ("phylip,f", po::value<bool>()->default_value(defaults.phylip),            //
         "Print matrix in phylip format")                                          //
        ("method,p", text(defaults.method), "Tree generation method")              //
        ("coeff,d", text("distance_weights.ini"),                                  //
         "Weights for sum of special and breakpoint distances")                    //
        ("jackknife,b", text(defaultText(defaults.jackknife.replicates)),          //
         "Jackknife replicates for tree support values (0: none)")                 //
        ("jackknife-fraction", text(defaultText(defaults.jackknife.fraction)),     //
         "Share of the gene names each jackknife replicate deletes")               //
        ("seed", text(defaultText(defaults.jackknife.seed)),                       //
         "Seed of the jackknife's random choice of genes")                         //
        ("copies", text(std::string(copyRuleName(defaults.copies))),               //
         "Copies of a gene paired by \"order\" of occurrence or by \"context\"");
    return options;
}

// The most jackknife replicates a run may ask for.
constexpr uint64_t maxReplicates = 1000000;

// The value of option `name` as std::from_chars reads the whole text, if `fits` takes it (a NaN
// fits no range); else an error saying what it `must` be.
template <typename Number, typename Fits>
Number numberOption(const po::variables_map& values, const std::string& name, Fits fits,
                    const std::string& must) {
    const std::string& text = values[name].as<std::string>();
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !fits(value))
        throw std::invalid_argument("The option --" + name + " must be " + must + ", not \"" +
                                    text + "\"");
    return value;
}

uint64_t wholeNumberOption(const po::variables_map& values, const std::string& name,
                           uint64_t largest) {
    return numberOption<uint64_t>(
        values, name, [&](uint64_t value) { return value <= largest; },
        "a whole number from 0 to " + std::to_string(largest));
}

// The options of the command line: those listed by -h, and --version, which is not listed so that
// the listing stays as scripts have read it.
po::options_description allOptions(const po::options_description& listed) {
    po::options_description all;
    all.add(listed).add_options()("version", "Print the version");
    return all;
}

po::variables_map parseArguments(const std::vector<std::string>& args,
                                 const po::options_description& options) {
    const po::positional_options_description noPositionalArguments;
    po::variables_map values;
    po::store(
        po::command_line_parser(args).options(options).positional(noPositionalArguments).run(),
        values);
    po::notify(values);
    return values;
}

}  // namespace

const char* versionText() {
    return VARNET_VERSION;
}

bool asksForVersion(const std::vector<std::string>& args) {
    try {
        return parseArguments(args, allOptions(describeOptions())).count("version") != 0;
    } catch (const std::exception&) {
        return false;  // the run reports what is wrong with the command line
    }
}

std::optional<RunSettings> parseOptions(const std::vector<std::string>& args, std::ostream& err) {
    const po::options_description options = describeOptions();
    const po::variables_map values = parseArguments(args, allOptions(options));

    if (values.count("help") != 0) {
        err << "Usage: Varnet -c [file] -o [ini file] -m [mode] -r [directory]\n" << options;
        return std::nullopt;
    }

    RunSettings result;
    result.chromFile = values["chrom"].as<std::string>();
    result.resultDir = values["res"].as<std::string>();
    result.mode = values["mode"].as<std::string>();
    result.method = values["method"].as<std::string>();
    result.phylip = values["phylip"].as<bool>();
    result.jackknife.replicates = wholeNumberOption(values, "jackknife", maxReplicates);
    result.jackknife.fraction = numberOption<double>(
        values, "jackknife-fraction", [](double value) { return value > 0 && value < 1; },
        "a number above 0 and below 1");
    result.jackknife.seed = wholeNumberOption(values, "seed", std::numeric_limits<uint64_t>::max());
    if (result.mode == "tree") checkJackknifeMethod(result);
    result.copies = parseCopyRule(values["copies"].as<std::string>());
    boost::filesystem::create_directories(result.resultDir);
    result.operationWeights = readOperationWeights(values["oper"].as<std::string>());
    result.distanceWeights = readDistanceWeights(values["coeff"].as<std::string>());
    return result;
}

}  // namespace varnet
