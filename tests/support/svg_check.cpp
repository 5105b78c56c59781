#include "support/svg_check.hpp"

#include <cctype>
#include <stdexcept>

namespace varnet::testing {
namespace {

class XmlChecker {
public:
    XmlChecker(const std::string& text, const std::string& elementClass)
        : text_(text), class_(elementClass) {}

    std::vector<std::string> check() {
        checkCharacters();
        if (text_.compare(0, 5, "<?xml") == 0) {
            pos_ = text_.find("?>");
            if (pos_ == std::string::npos) fail("unclosed declaration");
            pos_ += 2;
        }
        skipSpace();
        if (peek() != '<') fail("no root element");
        element();
        skipSpace();
        if (pos_ != text_.size()) fail("text after the root element");
        return labels_;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("XML offset " + std::to_string(pos_) + ": " + what);
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void skipSpace() {
        while (peek() == ' ' || peek() == '\n' || peek() == '\t' || peek() == '\r') ++pos_;
    }
    void expect(char c) {
        if (peek() != c) fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    void checkCharacters() {
        for (std::size_t k = 0; k < text_.size();) {
            const auto byte = static_cast<unsigned char>(text_[k]);
            std::size_t length = byte < 0x80         ? 1
                                 : (byte >> 5) == 6  ? 2
                                 : (byte >> 4) == 14 ? 3
                                 : (byte >> 3) == 30 ? 4
                                                     : 0;
            if (length == 0 || k + length > text_.size() || byte == 0xC0 || byte == 0xC1)
                fail("not UTF-8");
            for (std::size_t c = 1; c < length; ++c) {
                if ((static_cast<unsigned char>(text_[k + c]) & 0xC0) != 0x80) fail("not UTF-8");
            }
            if (byte < 0x20 && byte != '\n' && byte != '\t' && byte != '\r')
                fail("control character");
            k += length;
        }
    }

    std::string name() {
        const std::size_t start = pos_;
        while (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_' || peek() == ':' ||
               peek() == '-' || peek() == '.')
            ++pos_;
        if (pos_ == start || std::isdigit(static_cast<unsigned char>(text_[start])))
            fail("bad name");
        return text_.substr(start, pos_ - start);
    }

    // Character data up to `end`, entities decoded.
    std::string characters(char end) {
        std::string decoded;
        while (peek() != end && peek() != '<') {
            if (pos_ >= text_.size()) fail("unexpected end");
            if (peek() == '&') {
                const std::size_t semicolon = text_.find(';', pos_);
                if (semicolon == std::string::npos) fail("unended entity");
                const std::string entity = text_.substr(pos_ + 1, semicolon - pos_ - 1);
                if (entity == "amp")
                    decoded += '&';
                else if (entity == "lt")
                    decoded += '<';
                else if (entity == "gt")
                    decoded += '>';
                else if (entity == "quot")
                    decoded += '"';
                else if (entity == "apos")
                    decoded += '\'';
                else
                    fail("unknown entity &" + entity + ";");
                pos_ = semicolon + 1;
            } else {
                decoded += text_[pos_++];
            }
        }
        return decoded;
    }

    void element() {
        expect('<');
        const std::string tag = name();
        bool leaf = false;
        while (true) {
            skipSpace();
            if (peek() == '/' || peek() == '>') break;
            const std::string attribute = name();
            skipSpace();
            expect('=');
            skipSpace();
            const char quote = peek();
            if (quote != '"' && quote != '\'') fail("unquoted attribute");
            ++pos_;
            const std::string value = characters(quote);
            expect(quote);
            leaf = leaf || (attribute == "class" && value == class_);
        }
        if (peek() == '/') {
            ++pos_;
            expect('>');
            if (leaf) labels_.push_back("");
            return;
        }
        expect('>');
        std::string content;
        while (true) {
            content += characters('<');
            if (pos_ >= text_.size()) fail("unclosed <" + tag + ">");
            if (text_.compare(pos_, 4, "<!--") == 0) {
                pos_ = text_.find("-->", pos_);
                if (pos_ == std::string::npos) fail("unclosed comment");
                pos_ += 3;
            } else if (text_.compare(pos_, 2, "</") == 0) {
                pos_ += 2;
                if (name() != tag) fail("</...> does not close <" + tag + ">");
                skipSpace();
                expect('>');
                if (leaf) labels_.push_back(content);
                return;
            } else {
                element();
            }
        }
    }

    const std::string& text_;
    const std::string& class_;
    std::size_t pos_ = 0;
    std::vector<std::string> labels_;
};

}  // namespace

std::vector<std::string> leafLabelsOfSvg(const std::string& text) {
    return textsOfSvgClass(text, "leaf");
}

std::vector<std::string> textsOfSvgClass(const std::string& text, const std::string& elementClass) {
    return XmlChecker(text, elementClass).check();
}

}  // namespace varnet::testing
