#include <exception>
#include <optional>

#include "app/program_options.hpp"
#include "varnet.hpp"

namespace varnet {
namespace {

int runChecked(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal, PairDistribution* distribution) {
    try {
        // The version alone goes to `out`, for scripts that read it.
        if (asksForVersion(args)) {
            out << "varnet " << versionText() << '\n';
            return successStatus;
        }
        err << "Parsing parameters: \n";
        std::optional<RunSettings> settings = parseOptions(args, err);
        if (!settings) return successStatus;
        settings->terminal = errIsTerminal ? &err : nullptr;
        settings->distribution = distribution;
        err << "Done.\n";
        if (settings->mode == "tree") {
            runTreeMode(*settings, out, err);
            return successStatus;
        }
        if (settings->mode == "dist")
            return runDistMode(*settings, err) ? successStatus : failureStatus;
        err << "Invalid mode: " << settings->mode;
        return failureStatus;
    } catch (const std::exception& e) {
        err << "Error occured: " << e.what();
        return failureStatus;
    }
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal, PairDistribution* distribution) {
    const int status = runChecked(args, out, err, errIsTerminal, distribution);
    // Text that never reached the console is a failure of the run too: both streams are flushed
    // and checked, and a lost stream is reported on the other one.
    out.flush();
    err.flush();
    if (out && err) return status;
    std::ostream& report = err ? err : out;
    report << "Error occured: Failed to write to " << (out ? "standard error" : "standard output");
    report.flush();
    return failureStatus;
}

}  // namespace varnet
