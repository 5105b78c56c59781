// Any text as either weight file: the operation weights always read as six finite numbers, and
// the distance weights read as two finite numbers or fail with one of the ini library's errors.
#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/ini_parser.hpp>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_check.hpp"
#include "modes/weight_files.hpp"

using namespace varnet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::istringstream in(text);
        const OperationWeights weights = parseOperationWeights(in);
        for (const double weight : weights)
            fuzz::require(std::isfinite(weight), "operation weights are finite");
    }
    std::istringstream in(text);
    try {
        const DistanceWeights weights = parseDistanceWeights(in);
        fuzz::require(std::isfinite(weights.special) && std::isfinite(weights.breakpoint),
                      "distance weights are finite");
    } catch (const boost::property_tree::ptree_error& e) {
        // The ini reader's, the lookup's and the conversion's messages: all ptree errors.
        const std::string message = e.what();
        fuzz::require(message.find("No such node") != std::string::npos ||
                          message.find("conversion of data to type") != std::string::npos ||
                          message.find("<unspecified file>(") == 0,
                      message);
    }
    return 0;
}
