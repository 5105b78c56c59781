#pragma once

#include <filesystem>
#include <string>

namespace varnet::testing {

// The whole content of a file, empty when there is none.
std::string readFile(const std::filesystem::path& path);

// A fresh directory under the system temp folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `text` to the file `name` inside the directory and returns its full path.
    std::string write(const std::string& name, const std::string& text) const;
    std::string read(const std::string& name) const { return readFile(path_ / name); }

private:
    std::filesystem::path path_;
};

// Makes `path` the process's working directory until destruction, then restores the previous
// one; relative paths such as the default "distance_weights.ini" then resolve inside `path`.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& path)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~ScopedWorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace varnet::testing
