// Byte-level helpers shared by the text code: ASCII case folding and white space, "%XX" escapes
// and the wrap-around of 32-bit arithmetic.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Calls visit(i) for every place i of byte in text, in order. A page is searched sixteen bytes
// at a time where the processor compares as many at once: a loop of memchr calls pays a call for
// every tag of a page.
template <typename Visit>
void forEachPlaceOf(std::string_view text, char byte, Visit visit) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(byte);
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        for (auto places = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted))); places != 0;
             places &= places - 1)
            visit(i + static_cast<std::size_t>(std::countr_zero(places)));
    }
#endif
    for (; i < size; ++i)
        if (data[i] == byte) visit(i);
}

// Calls visit(i) for every place i of a "<" followed by an ASCII letter in text, in order: where
// start tags open. Closing tags, comments and a "<" in text or script are passed over sixteen
// places at a time.
template <typename Visit>
void forEachTagOpening(std::string_view text, Visit visit) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('<');
    const __m128i lowerBit = _mm_set1_epi8(0x20);
    const __m128i a = _mm_set1_epi8('a');
    const __m128i lastLetter = _mm_set1_epi8('z' - 'a');
    for (; i + 17 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
        // A letter lowered lies 0 to 25 past "a"; any other byte wraps further.
        const __m128i pastA = _mm_sub_epi8(_mm_or_si128(next, lowerBit), a);
        const __m128i letter = _mm_cmpeq_epi8(_mm_min_epu8(pastA, lastLetter), pastA);
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(block, open), letter);
        for (auto places = static_cast<unsigned>(_mm_movemask_epi8(both)); places != 0; places &= places - 1)
            visit(i + static_cast<std::size_t>(std::countr_zero(places)));
    }
#endif
    for (; i + 1 < size; ++i)
        if (data[i] == '<' && isAsciiLetter(data[i + 1])) visit(i);
}

// The first place i from from up to last where text[i + offsetA] is a and text[i + offsetB] is b
// and matches(i) holds; npos when none does. text must hold both offsets past last. Two bytes
// compared at once pass over far fewer places than one: a prefix of markup ("href=\"") holds no
// byte that is rare in a page alone.
template <typename Matches>
std::size_t findPair(std::string_view text, std::size_t from, std::size_t last, std::size_t offsetA, char a,
                     std::size_t offsetB, char b, Matches matches) {
    const char* const data = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i wantedA = _mm_set1_epi8(a);
    const __m128i wantedB = _mm_set1_epi8(b);
    for (; i + 15 <= last; i += 16) {
        const __m128i atA = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + offsetA));
        const __m128i atB = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + offsetB));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(atA, wantedA), _mm_cmpeq_epi8(atB, wantedB));
        for (auto places = static_cast<unsigned>(_mm_movemask_epi8(both)); places != 0; places &= places - 1) {
            const std::size_t place = i + static_cast<std::size_t>(std::countr_zero(places));
            if (matches(place)) return place;
        }
    }
#endif
    for (; i <= last; ++i)
        if (data[i + offsetA] == a && data[i + offsetB] == b && matches(i)) return i;
    return std::string_view::npos;
}

// The low 32 bits of value as a signed number: 32-bit arithmetic that wraps instead of
// overflowing.
inline int32_t wrapToInt32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace vexor
