// Where a link written in a page ends: at the first byte that cannot stand inside an href value
// written without decoding. Every reader of links (surveys, learning, sample search) cuts them here.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexor {

// The bytes that end a link: " ' space < > tab LF (carriage return is not one of them).
inline constexpr char LINK_DELIMITERS[] = "\"' <>\t\n";

// Whether c is one of LINK_DELIMITERS, by one table lookup.
bool isLinkDelimiter(char c);

// The link at position at: the bytes up to the next link delimiter, or to the end.
std::string_view linkAt(std::string_view text, std::size_t at);

}  // namespace vexor
