#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace varnet::fuzz {

// Stops the fuzzer with the reason when a property does not hold; libFuzzer then saves the input.
inline void require(bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", what.c_str());
    std::abort();
}

// True when `text` starts with `prefix`.
inline bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The errors the structure reader and the graph checks document: messages that name the line or
// the structure, and the missing type token's "invalid string position".
inline bool isDocumentedStructureError(const std::string& message) {
    return startsWith(message, "line ") || startsWith(message, "structure \"") ||
           message.find(" structures cannot be compared") != std::string::npos ||
           message == "invalid string position";
}

// Runs `read` (reading and checking structures); true when it ended in a documented error, which
// is all it may end in.
template <typename Read>
bool endsInDocumentedStructureError(Read read) {
    try {
        read();
    } catch (const std::out_of_range& e) {
        require(isDocumentedStructureError(e.what()), e.what());
        return true;
    } catch (const std::runtime_error& e) {
        require(isDocumentedStructureError(e.what()), e.what());
        return true;
    }
    return false;
}

}  // namespace varnet::fuzz
