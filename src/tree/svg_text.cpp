#include "tree/svg_text.hpp"

namespace varnet {
namespace {

// The length of the UTF-8 character at `pos`, or 0 when the bytes there are not one (overlong
// forms and surrogates included).
std::size_t utf8Length(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    const std::size_t length = byte < 0x80                    ? 1
                               : byte >= 0xC2 && byte <= 0xDF ? 2
                               : byte >= 0xE0 && byte <= 0xEF ? 3
                               : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || pos + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 0;
    }
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (length == 3 && ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0)))
        return 0;
    if (length == 4 && ((byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)))
        return 0;
    return length;
}

}  // namespace

std::string shortXmlText(std::string_view text, std::size_t limit, std::size_t& characters) {
    static const std::string replacement = "\xEF\xBF\xBD";
    std::string result;
    characters = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (characters == limit) {
            result += "\xE2\x80\xA6";
            ++characters;
            break;
        }
        ++characters;
        const std::size_t length = utf8Length(text, pos);
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            result += replacement;
            ++pos;
            continue;
        }
        switch (byte) {
            case '&':
                result += "&amp;";
                break;
            case '<':
                result += "&lt;";
                break;
            case '>':
                result += "&gt;";
                break;
            case '"':
                result += "&quot;";
                break;
            case '\'':
                result += "&apos;";
                break;
            default:
                result.append(text.substr(pos, length));
        }
        pos += length;
    }
    return result;
}

std::string xmlText(std::string_view text, std::size_t& characters) {
    return shortXmlText(text, static_cast<std::size_t>(-1), characters);
}

}  // namespace varnet
