#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varnet {

// Text for an SVG picture: markup characters escaped, control characters and bytes that are not
// UTF-8 replaced by U+FFFD, so that any name keeps the picture well formed. Also counts the
// characters, for the width the text takes.
std::string xmlText(std::string_view text, std::size_t& characters);

// `xmlText` of at most the first `limit` characters of `text`, followed by an ellipsis when some
// were left out (the ellipsis counts as one character).
std::string shortXmlText(std::string_view text, std::size_t limit, std::size_t& characters);

}  // namespace varnet
