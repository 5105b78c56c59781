#include "app/command_line.hpp"

#include <exception>
#include <optional>

#include "app/dist_mode.hpp"
#include "app/program_options.hpp"
#include "app/tree_mode.hpp"

namespace varnet {
namespace {

int runMode(const ProgramOptions& options, std::ostream& out, std::ostream& err, bool errIsTerminal,
            PairDistribution* distribution) {
    if (options.mode == "tree") {
        runTreeMode(options, out, err, errIsTerminal ? &err : nullptr, distribution);
    } else if (options.mode == "dist") {
        return runDistMode(options, err);
    } else {
        err << "Invalid mode: " << options.mode;
        return failureStatus;
    }
    return successStatus;
}

int runChecked(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal, PairDistribution* distribution) {
    try {
        // The version alone goes to `out`, for scripts that read it.
        if (asksForVersion(args)) {
            out << "varnet " << versionText() << '\n';
            return successStatus;
        }
        err << "Parsing parameters: \n";
        const std::optional<ProgramOptions> options = parseOptions(args, err);
        if (!options) return successStatus;
        err << "Done.\n";
        return runMode(*options, out, err, errIsTerminal, distribution);
    } catch (const std::exception& e) {
        err << "Error occured: " << e.what();
        return failureStatus;
    }
}

// Text that never reached the console is a failure of the run too: both streams are flushed
// and checked, and a lost stream is reported on the other one.
int checkConsole(int status, std::ostream& out, std::ostream& err) {
    out.flush();
    err.flush();
    if (out && err) return status;
    std::ostream& report = err ? err : out;
    report << "Error occured: Failed to write to " << (out ? "standard error" : "standard output");
    report.flush();
    return failureStatus;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal, PairDistribution* distribution) {
    return checkConsole(runChecked(args, out, err, errIsTerminal, distribution), out, err);
}

}  // namespace varnet
