#include "modes/weight_files.hpp"

#include <algorithm>
#include <array>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "structures/text_files.hpp"

namespace varnet {
namespace {

using boost::property_tree::ini_parser_error;

// Keys in the order of the weights' indices.
constexpr std::array<std::string_view, 6> weightKeys = {"DP", "SP", "J", "C", "bD", "aD"};

DistanceWeights distanceWeightsOf(const boost::property_tree::ptree& tree) {
    const double breakpoint = tree.get<double>("weights.breakpoint");
    const double special = tree.get<double>("weights.special");
    return {special, breakpoint};
}

// The ini reader on `in`, with every line bounded first. `fileName` goes into the reader's
// messages the way the reader names a file it opens itself.
boost::property_tree::ptree readIni(std::istream& in, const std::string& source,
                                    const std::string& fileName) {
    std::string text;
    std::string line;
    LineReader lines(in, source);
    while (lines.next(line)) text.append(line).push_back('\n');
    if (in.bad()) throw ini_parser_error("read error", fileName, lines.lineNumber());
    std::istringstream bounded(text);
    boost::property_tree::ptree tree;
    try {
        boost::property_tree::read_ini(bounded, tree);
    } catch (const ini_parser_error& e) {
        throw ini_parser_error(e.message(), fileName, e.line());
    }
    return tree;
}

}  // namespace

OperationWeights parseOperationWeights(std::istream& in, const std::string& source) {
    std::string line;
    LineReader(in, source).next(line);
    std::replace(line.begin(), line.end(), ',', ' ');
    std::replace(line.begin(), line.end(), '=', ' ');
    std::istringstream pairs(line);
    OperationWeights weights{};
    for (int pair = 0; pair < 6; ++pair) {
        std::string key;
        if (!(pairs >> key)) break;
        double value = 0.0;
        const bool read = static_cast<bool>(pairs >> value);
        const auto* const found = std::find(weightKeys.begin(), weightKeys.end(), key);
        if (found != weightKeys.end())
            weights[static_cast<std::size_t>(found - weightKeys.begin())] = read ? value : 0.0;
        if (!read) break;
    }
    return weights;
}

OperationWeights readOperationWeights(const std::string& path) {
    std::error_code ignored;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ignored)) in.open(path);
    if (!in.is_open()) throw std::runtime_error("failed to open file with weights");
    return parseOperationWeights(in, path);
}

DistanceWeights parseDistanceWeights(std::istream& in, const std::string& source) {
    return distanceWeightsOf(readIni(in, source, ""));
}

DistanceWeights readDistanceWeights(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw ini_parser_error("cannot open file", path, 0);
    return distanceWeightsOf(readIni(in, path, path));
}

}  // namespace varnet
