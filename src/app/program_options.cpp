#include "app/program_options.hpp"

#include <boost/filesystem/operations.hpp>
#include <boost/program_options.hpp>

#include "app/weight_files.hpp"

namespace varnet {
namespace {

namespace po = boost::program_options;

po::options_description describeOptions() {
    po::options_description options("Options", 80, 40);
    options.add_options()                                                             //
        ("help,h", "Show help")                                                       //
        ("chrom,c", po::value<std::string>(), "File with chromosomal structures")     //
        ("oper,o", po::value<std::string>(), "Operation weights")                     //
        ("res,r", po::value<std::string>(), "Output directory with result")           //
        ("mode,m", po::value<std::string>(), "Running mode")                          //
        ("phylip,f", po::value<bool>()->default_value(false),                         //
         "Print matrix in phylip format")                                             //
        ("method,p", po::value<std::string>()->default_value("upgma"),                //
         "Tree generation method")                                                    //
        ("coeff,d", po::value<std::string>()->default_value("distance_weights.ini"),  //
         "Weights for sum of special and breakpoint distances");
    return options;
}

}  // namespace

std::optional<ProgramOptions> parseOptions(const std::vector<std::string>& args,
                                           std::ostream& err) {
    const po::options_description options = describeOptions();
    const po::positional_options_description noPositionalArguments;
    po::variables_map values;
    po::store(
        po::command_line_parser(args).options(options).positional(noPositionalArguments).run(),
        values);
    po::notify(values);

    if (values.count("help") != 0) {
        err << "Usage: Varnet -c [file] -o [ini file] -m [mode] -r [directory]\n" << options;
        return std::nullopt;
    }

    ProgramOptions result;
    result.chromFile = values["chrom"].as<std::string>();
    result.resultDir = values["res"].as<std::string>();
    result.mode = values["mode"].as<std::string>();
    result.method = values["method"].as<std::string>();
    result.phylip = values["phylip"].as<bool>();
    boost::filesystem::create_directories(result.resultDir);
    result.operationWeights = readOperationWeights(values["oper"].as<std::string>());
    result.distanceWeights = readDistanceWeights(values["coeff"].as<std::string>());
    return result;
}

}  // namespace varnet
