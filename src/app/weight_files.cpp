#include "app/weight_files.hpp"

#include <algorithm>
#include <array>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace varnet {
namespace {

// Keys in the order of the weights' indices.
constexpr std::array<std::string_view, 6> weightKeys = {"DP", "SP", "J", "C", "bD", "aD"};

DistanceWeights distanceWeightsOf(const boost::property_tree::ptree& tree) {
    const double breakpoint = tree.get<double>("weights.breakpoint");
    const double special = tree.get<double>("weights.special");
    return {special, breakpoint};
}

}  // namespace

OperationWeights parseOperationWeights(std::istream& in) {
    std::string line;
    std::getline(in, line);
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
    return parseOperationWeights(in);
}

DistanceWeights parseDistanceWeights(std::istream& in) {
    boost::property_tree::ptree tree;
    boost::property_tree::read_ini(in, tree);
    return distanceWeightsOf(tree);
}

DistanceWeights readDistanceWeights(const std::string& path) {
    boost::property_tree::ptree tree;
    boost::property_tree::read_ini(path, tree);
    return distanceWeightsOf(tree);
}

}  // namespace varnet
