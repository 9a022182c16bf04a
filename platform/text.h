// Conversions between code page 932 (the encoding of every text the system keeps) and the
// encodings of the outside world. Windows uses the OS converters with code page 932 named
// explicitly; POSIX uses iconv "CP932". Both map the same characters the same way.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexor {

// UTF-8 form of a code page 932 string. Bytes that do not form a character are dropped,
// as the OS converter does; the result never holds a NUL unless the input did.
std::string cp932ToUtf8(const std::string& text);

// Code page 932 form of a UTF-8 string, or nothing when a character has no code page 932 form
// or the input is not UTF-8.
std::optional<std::string> utf8ToCp932(const std::string& text);

#ifdef _WIN32
// UTF-16 for the W APIs and back; code page 932 is named explicitly, never the ANSI page.
std::wstring cp932ToWide(const std::string& text);
std::optional<std::string> wideToCp932(const std::wstring& text);
#endif

// True for a code page 932 lead byte (0x81-0x9F, 0xE0-0xFC).
inline bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The bytes of the character at pos as a scan by the lead-byte rule reads them: 2 for a lead
// byte that has a byte after it (that byte is its second byte, whatever its value), else 1.
// Every walk over code page 932 text that must not take a second byte for a character of its
// own (a 0x5C for "\", a 0x2E for ".") steps by this.
inline std::size_t leadByteStep(std::string_view text, std::size_t pos) {
    return isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

}  // namespace vexor
