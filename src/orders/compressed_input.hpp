#pragma once

#include <zlib.h>

#include <istream>
#include <streambuf>
#include <string>
#include <vector>

namespace varnet {

// A file read through zlib: gzip-compressed data is decompressed on the fly, any other file is
// read as it is. A file whose name ends in ".gz" must hold gzip data. Reading a corrupt or
// truncated gzip file throws std::runtime_error naming the file out of the stream operation that
// met it (the stream rethrows it rather than only setting its bad bit).
class CompressedInput : private std::streambuf {
public:
    // Throws "Failed to open file <path>" when the file cannot be opened.
    explicit CompressedInput(const std::string& path);
    ~CompressedInput() override;
    CompressedInput(const CompressedInput&) = delete;
    CompressedInput& operator=(const CompressedInput&) = delete;

    std::istream& stream() { return stream_; }

private:
    int_type underflow() override;

    std::string path_;
    gzFile file_ = nullptr;
    std::vector<char> buffer_;
    std::istream stream_;
};

}  // namespace varnet
