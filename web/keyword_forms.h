// The byte-level forms of a keyword in a query address, and the matching that learning uses to
// recognise the keyword in a sample address. All strings are byte strings; keywords arrive in
// code page 932.
#pragma once

#include <cstddef>
#include <string>

namespace vexor {

// Query escaping with a code page 932 scan: both bytes of a double-byte character and every byte
// but ASCII letters, digits and * - . @ _ become "%XX" (upper case); a single-byte space "+".
std::string percentEncode(const std::string& bytes);

// UTF-8 form of a code page 932 string, through the OS converter.
std::string toUtf8(const std::string& keyword);

// How a keyword's bytes are read to tell which of them are characters of their own.
enum class ByteScan {
    CodePage932,  // by the lead-byte rule: an ASCII byte after a lead byte is a second byte
    Ascii,        // every byte below 0x80 is a character (EUC-JP, UTF-8)
};

// Where keyword, given as raw bytes, stands in an address as a browser writes it: the address is
// read with "%XX" escapes (hexadecimal digits in either case) and "+" decoded, so that "%20" and
// "+" both stand for a space and a byte matches whether it was escaped or not. ASCII letters
// that are characters of their own in keyword (read by scan) compare without case; every other
// byte exactly. The position in address of the first match's first byte (the "%" of an
// escape); std::string::npos when there is none. An empty keyword is found at 0.
std::size_t findEscapedKeyword(const std::string& address, const std::string& keyword, ByteScan scan);

}  // namespace vexor
