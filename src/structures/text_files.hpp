#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

namespace varnet {

// The longest line an input file may hold. A longer line is an error as soon as it is seen, so
// an endless stream (a device, a pipe) cannot make reading grow until memory runs out.
constexpr std::size_t maxLineLength = std::size_t{256} << 20;

// Reads an input line by line, holding at most `maxLineLength` characters of one line.
class LineReader {
public:
    // `source` names the input in messages (the file's path).
    LineReader(std::istream& in, std::string source);

    // The next line without its line feed; false once the input is exhausted or cannot be read
    // (the stream's bad() tells which). Throws "<source>, line <n>: ..." for a line longer than
    // `maxLineLength`.
    bool next(std::string& line);

    // The number of the line `next` read last, from 1.
    int64_t lineNumber() const { return number_; }

private:
    std::string where() const;

    std::istream& in_;
    std::string source_;
    int64_t number_ = 0;
};

// Writes the result file `path` whole or not at all: `write` fills a new temporary file in the
// same directory, which is closed, synced and then renamed to `path`, replacing an earlier file
// in one step. On any failure the temporary file is removed and an earlier file at `path` stays
// as it was. Throws "Failed to create file " + path when the file cannot be created or put in
// place, "Failed to write file " + path when the text did not reach it completely, and passes
// an exception of `write` through.
void writeResultFile(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace varnet
