#include "orders/compressed_input.hpp"

#include <filesystem>
#include <stdexcept>

namespace varnet {
namespace {

constexpr unsigned bufferSize = 1u << 16;

std::string zlibMessage(gzFile file) {
    int code = Z_OK;
    const char* text = gzerror(file, &code);
    return text != nullptr && *text != '\0' ? text : "zlib error " + std::to_string(code);
}

}  // namespace

CompressedInput::CompressedInput(const std::string& path)
    : path_(path), buffer_(bufferSize), stream_(this) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(path, ignored)) file_ = gzopen(path.c_str(), "rb");
    if (file_ == nullptr) throw std::runtime_error("Failed to open file " + path);
    gzbuffer(file_, bufferSize);
    stream_.exceptions(std::ios::badbit);
}

CompressedInput::~CompressedInput() {
    gzclose(file_);
}

CompressedInput::int_type CompressedInput::underflow() {
    const int got = gzread(file_, buffer_.data(), bufferSize);
    if (got < 0) {
        throw std::runtime_error(path_ + ": corrupt gzip data (" + zlibMessage(file_) + ")");
    }
    if (got > 0 && path_.ends_with(".gz") && gzdirect(file_) == 1) {
        throw std::runtime_error(path_ + ": not gzip data, although the name ends in .gz");
    }
    if (got == 0) {
        int code = Z_OK;
        gzerror(file_, &code);
        // zlib reports a stream cut off before its end only here, not as a failed read.
        if (code != Z_OK) {
            throw std::runtime_error(path_ + ": the gzip data ends early (" + zlibMessage(file_) +
                                     "); the file is truncated");
        }
        return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(buffer_.front());
}

}  // namespace varnet
