// Byte-level helpers shared by the text code: ASCII case folding and white space, "%XX" escapes
// and the wrap-around of 32-bit arithmetic.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vexor {

// A to Z become a to z; every other byte stays.
constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// The same for every byte of text, eight bytes at a time: pages are lowered whole.
inline void lowerAsciiInPlace(std::string& text) {
    constexpr uint64_t EACH = 0x0101010101010101ULL;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t bytes = 0;
        std::memcpy(&bytes, text.data() + i, sizeof bytes);
        // Each byte's low seven bits, raised so that the high bit tells "at least A" and "past Z";
        // no sum carries into the next byte.
        const uint64_t low = bytes & 0x7F * EACH;
        const uint64_t atLeastA = low + (0x80 - 'A') * EACH;
        const uint64_t pastZ = low + (0x80 - 'Z' - 1) * EACH;
        const uint64_t capital = atLeastA & ~pastZ & ~bytes & 0x80 * EACH;
        bytes |= capital >> 2;  // 0x20, the bit that makes a capital small
        std::memcpy(text.data() + i, &bytes, sizeof bytes);
    }
    for (; i < text.size(); ++i) text[i] = lowerAscii(text[i]);
}

inline std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    lowerAsciiInPlace(lowered);
    return lowered;
}

// Whether text is lowered, or begins with lowered, with its letters in either case; lowered is
// written in lower case.
inline bool equalsIgnoringCase(std::string_view text, std::string_view lowered) {
    if (text.size() != lowered.size()) return false;
    for (std::size_t i = 0; i < lowered.size(); ++i)
        if (lowerAscii(text[i]) != lowered[i]) return false;
    return true;
}
inline bool startsWithIgnoringCase(std::string_view text, std::string_view lowered) {
    return equalsIgnoringCase(text.substr(0, lowered.size()), lowered);
}

// "%" and the byte in two upper-case hexadecimal digits.
inline void appendHexEscape(std::string& out, unsigned char byte) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    out += '%';
    out += HEX[byte >> 4];
    out += HEX[byte & 0x0F];
}

// A to Z or a to z.
inline bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Space, tab, line feed, carriage return or form feed: the white space of markup.
inline bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The value of a hexadecimal digit (either case), -1 for any other byte.
inline int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A set of bytes looked up by one index, where string_view::find_first_of compares each byte of
// the text with every member of its set.
class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view members) {
        for (const char c : members) holds_[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool holds(char c) const { return holds_[static_cast<unsigned char>(c)]; }
    // Where the first member stands in text at or after from; npos when none does.
    std::size_t firstIn(std::string_view text, std::size_t from = 0) const {
        for (std::size_t i = from; i < text.size(); ++i)
            if (holds(text[i])) return i;
        return std::string_view::npos;
    }

private:
    std::array<bool, 256> holds_{};
};

// The low 32 bits of value as a signed number: 32-bit arithmetic that wraps instead of
// overflowing.
inline int32_t wrapToInt32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace vexor
