#include "app/command_line.hpp"

#include <exception>
#include <optional>

#include "app/dist_mode.hpp"
#include "app/program_options.hpp"
#include "app/tree_mode.hpp"

namespace varnet {
namespace {

int runMode(const ProgramOptions& options, std::ostream& out, std::ostream& err,
            bool errIsTerminal) {
    if (options.mode == "tree") {
        runTreeMode(options, out, errIsTerminal ? &err : nullptr);
    } else if (options.mode == "dist") {
        return runDistMode(options, err);
    } else {
        err << "Invalid mode: " << options.mode;
        return failureStatus;
    }
    return successStatus;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal) {
    try {
        err << "Parsing parameters: \n";
        const std::optional<ProgramOptions> options = parseOptions(args, err);
        if (!options) return successStatus;
        err << "Done.\n";
        return runMode(*options, out, err, errIsTerminal);
    } catch (const std::exception& e) {
        err << "Error occured: " << e.what();
        return failureStatus;
    }
}

}  // namespace varnet
