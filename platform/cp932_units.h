// How code page 932 bytes group into characters, for the converters that must treat broken
// input alike on every platform.
#pragma once

#include <cstddef>
#include <string>

#include "platform/text.h"

namespace vexor {

inline bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Length of the character that starts at pos: 2 for a lead byte with a valid second byte, 1 for
// ASCII or half-width katakana, 0 for a byte that starts no character (a lead byte without a
// valid second byte, 0x80, 0xA0, 0xFD-0xFF).
inline std::size_t cp932CharLength(const std::string& text, std::size_t pos) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) return 1;
    if (isLeadByte(c) && pos + 1 < text.size() &&
        isTrailByte(static_cast<unsigned char>(text[pos + 1])))
        return 2;
    return 0;
}

// text without the bytes that start no character; a second byte that follows a dropped lead
// byte is read again on its own.
inline std::string withoutStrayBytes(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = cp932CharLength(text, i);
        if (length == 0) {
            ++i;
            continue;
        }
        kept.append(text, i, length);
        i += length;
    }
    return kept;
}

}  // namespace vexor
