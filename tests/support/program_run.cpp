#include "support/program_run.hpp"

#include <regex>
#include <sstream>

#include "varnet.hpp"

namespace varnet::testing {

ProgramRun runProgram(const std::vector<std::string>& args, bool errIsTerminal) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(args, out, err, errIsTerminal);
    return {status, out.str(), err.str()};
}

std::map<std::string, std::string> filesIn(const std::filesystem::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files[entry.path().filename().string()] = readFile(entry.path());
    return files;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string maskTimings(const std::string& text) {
    static const std::regex timing("Time of matrix calculation: [^\n]*");
    return std::regex_replace(text, timing, "Time of matrix calculation: <masked>");
}

std::map<std::string, std::string> treeFiles(const std::vector<ChromosomalStructure>& structures,
                                             RunSettings settings) {
    const TempDir dir;
    std::ostringstream out;
    settings.resultDir = dir.path().string();
    buildTree(settings, structures, nullptr, out, out);
    std::map<std::string, std::string> files = filesIn(dir.path());
    files["<stdout>"] = maskTimings(out.str());
    return files;
}

}  // namespace varnet::testing
