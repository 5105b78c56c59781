#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace varnet {

// The longest line an input file may hold. A longer line is an error as soon as it is seen, so
// an endless stream (a device, a pipe) cannot make reading grow until memory runs out.
constexpr std::size_t maxLineLength = std::size_t{256} << 20;

// The characters that separate words in every input format (those of the C locale's isspace).
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `text` without blanks at either end.
constexpr std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Whitespace-separated words of one line; an empty word once the line is exhausted.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}

    std::string_view next() {
        while (pos_ < line_.size() && isBlank(line_[pos_])) ++pos_;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !isBlank(line_[pos_])) ++pos_;
        return line_.substr(start, pos_ - start);
    }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// Reads an input line by line, holding at most `maxLineLength` characters of one line.
class LineReader {
public:
    // `source` names the input in messages (the file's path).
    LineReader(std::istream& in, std::string source) : in_(in), source_(std::move(source)) {}

    // The next line without its line feed; false once the input is exhausted or cannot be read
    // (the stream's bad() tells which). Throws "<source>, line <n>: ..." for a line longer than
    // `maxLineLength`.
    bool next(std::string& line);

    // The number of the line `next` read last, from 1.
    int64_t lineNumber() const { return number_; }

private:
    std::istream& in_;
    std::string source_;
    int64_t number_ = 0;
};

// Writes the result file `path` whole or not at all: `write` fills a new temporary file in the
// same directory, which is closed, synced and then renamed to `path`, replacing an earlier file
// in one step. On any failure the temporary file is removed and an earlier file at `path` stays
// as it was. A symbolic link to a regular file stays a link: the file it leads to is replaced.
// Something at `path` that is not a regular file (a FIFO, a device, /dev/stdout onto a pipe or a
// terminal) is never replaced: the text is written into it in place, as it is produced, so there
// "whole or not at all" is up to its reader. Throws "Failed to create file " + path when the file
// cannot be created, opened or put in place, "Failed to write file " + path when the text did
// not reach it completely, and passes an exception of `write` through.
void writeResultFile(const std::string& path, const std::function<void(std::ostream&)>& write);

// A temporary file beside a result file, for the part of its text that is ready before the
// beginning is known: the text goes to `out()` and is copied into the result's writer at the
// end with `copyTo`. The file is removed when the object goes.
class ScratchFile {
public:
    // Throws "Failed to create file " + resultPath when no file can be made beside it.
    explicit ScratchFile(const std::string& resultPath);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::ostream& out() { return stream_; }
    // Appends all the text written so far to `target`; throws "Failed to write file " +
    // resultPath when it did not all reach the scratch file or cannot be read back.
    void copyTo(std::ostream& target);

private:
    std::string resultPath_;
    std::string path_;
    std::fstream stream_;
};

}  // namespace varnet
