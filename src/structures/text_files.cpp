#include "structures/text_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace varnet {
namespace {

constexpr std::size_t chunkSize = std::size_t{1} << 16;

// Creates a new empty file beside `path` that did not exist before, named so that no other writer
// of this process or of another process uses it: a dot file with the process id and a counter.
// Empty when that is not possible.
std::string createTemporaryFile(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t name = path.rfind('/') + 1;  // 0 without a slash
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = path.substr(0, name) + "." + path.substr(name) + ".tmp-" +
                                std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                                std::to_string(attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temporary;
        }
        if (errno != EEXIST) break;
    }
    return "";
}

// Puts the file's content on the storage device, so the rename below never publishes a file
// whose text a crash could still lose.
bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Where a result file named `path` is put: the path itself, or the regular file a symbolic link
// at `path` leads to, so the link is kept. Empty when something that is not a regular file is
// there, to be written in place.
std::optional<std::string> replacedPathOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return path;  // missing, or reported when created
    if (!S_ISREG(status.st_mode)) return std::nullopt;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return std::string(resolved);
}

}  // namespace

bool LineReader::next(std::string& line) {
    line.clear();
    ++number_;
    std::array<char, chunkSize> chunk;
    bool readAny = false;
    for (;;) {
        in_.getline(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(in_.gcount());
        if (in_.bad()) return false;
        // The chunk filled up before the line ended: keep reading the same line.
        const bool filled = in_.fail() && !in_.eof() && count + 1 == chunk.size();
        // A line feed was taken from the input but not stored.
        const bool ended = !in_.fail() && !in_.eof();
        const std::size_t stored = ended ? count - 1 : count;
        if (line.size() + stored > maxLineLength) {
            throw std::runtime_error(source_ + ", line " + std::to_string(number_) +
                                     ": the line is longer than 256 MiB (" +
                                     std::to_string(maxLineLength) + " bytes)");
        }
        line.append(chunk.data(), stored);
        readAny = readAny || count > 0;
        if (!filled) break;
        in_.clear(in_.rdstate() & ~std::ios::failbit);
    }
    return readAny;
}

void writeResultFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    // Into a new temporary file that replaces the file at the end, or, where `path` is not a
    // regular file, into `path` itself.
    const std::optional<std::string> replaced = replacedPathOf(path);
    const std::string target = replaced ? createTemporaryFile(*replaced) : path;
    if (target.empty()) throw std::runtime_error("Failed to create file " + path);
    try {
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) throw std::runtime_error("Failed to create file " + path);
        write(out);
        out.close();
        if (out.fail() || (replaced && !syncFile(target)))
            throw std::runtime_error("Failed to write file " + path);
        if (replaced && std::rename(target.c_str(), replaced->c_str()) != 0)
            throw std::runtime_error("Failed to create file " + path);
    } catch (...) {
        if (replaced) std::remove(target.c_str());
        throw;
    }
}

ScratchFile::ScratchFile(const std::string& resultPath)
    : resultPath_(resultPath), path_(createTemporaryFile(resultPath)) {
    if (path_.empty()) throw std::runtime_error("Failed to create file " + resultPath_);
    stream_.open(path_, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        std::remove(path_.c_str());
        throw std::runtime_error("Failed to create file " + resultPath_);
    }
}

ScratchFile::~ScratchFile() {
    stream_.close();
    std::remove(path_.c_str());
}

void ScratchFile::copyTo(std::ostream& target) {
    stream_.flush();
    const std::streamoff length = stream_.tellp();
    if (stream_.fail()) throw std::runtime_error("Failed to write file " + resultPath_);
    if (length == 0) return;
    stream_.seekg(0);
    target << stream_.rdbuf();
    if (stream_.fail() || !target) throw std::runtime_error("Failed to write file " + resultPath_);
}

}  // namespace varnet
