// Where a link written in a page ends: at the first byte that cannot stand inside an href value
// written without decoding. Every reader of links (surveys, learning, sample search) cuts them here.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "platform/bytes.h"

namespace vexor {

// The bytes that end a link: " ' space < > tab LF (carriage return is not one of them).
inline constexpr char LINK_DELIMITERS[] = "\"' <>\t\n";
inline constexpr ByteSet LINK_DELIMITER_SET{LINK_DELIMITERS};

inline bool isLinkDelimiter(char c) { return LINK_DELIMITER_SET.holds(c); }

// The link at position at: the bytes up to the next link delimiter, or to the end.
inline std::string_view linkAt(std::string_view text, std::size_t at) {
    return text.substr(at, std::min(LINK_DELIMITER_SET.firstIn(text, at), text.size()) - at);
}

}  // namespace vexor
