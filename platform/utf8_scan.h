// Reading UTF-8 character by character, strictly: only the forms a UTF-8 encoder writes (no
// overlong forms, no surrogates, nothing above U+10FFFF), so that code page 932 text, whose
// double-byte characters now and then look like UTF-8, is not taken for it.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexor {

// The byte-order mark some editors write at the start of a UTF-8 file.
inline constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;  // 0: the byte at pos starts no UTF-8 character
};

// The character that starts at pos (pos < text.size()).
Utf8Char utf8CharAt(std::string_view text, std::size_t pos);

// True when all of text is UTF-8.
bool isUtf8(std::string_view text);

}  // namespace vexor
