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

// Position of the first occurrence of needle in haystack, ASCII letters compared without case;
// std::string::npos when absent. An empty needle is found at 0.
std::size_t findIgnoringCase(const std::string& haystack, const std::string& needle);

}  // namespace vexor
