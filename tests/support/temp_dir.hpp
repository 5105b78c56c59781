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
    // The whole content of the file `name` inside the directory, empty when there is none.
    std::string read(const std::string& name) const { return readFile(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace varnet::testing
