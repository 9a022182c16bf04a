// Building the query address of a keyword and result page from an engine's learnt template,
// and the byte-level operations that learning uses to recognise the keyword in a sample address.
// All strings are byte strings; keywords arrive in code page 932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_definition.h"

namespace vexor {

// Expands template: the first "%d" takes pageOffset + pageStep * (page - 1) (32-bit, wrapping),
// the first "%s" the keyword in the form keywordEncoding asks for, "%%" gives "%", any other "%"
// sequence (a later "%d" or "%s" too) is copied unchanged. The template is read left to right as
// printf reads a format, so "%%d" is a literal "%d", not a placeholder. Empty when the template
// lacks "%d" or "%s". Never truncates.
std::string buildQueryAddress(const std::string& queryTemplate, const std::string& keyword,
                              int32_t page, int32_t pageStep, int32_t pageOffset,
                              KeywordEncoding keywordEncoding);

// Query escaping with a code page 932 scan: both bytes of a double-byte character and every byte
// but ASCII letters, digits and * - . @ _ become "%XX" (upper case); a single-byte space "+".
std::string percentEncode(const std::string& bytes);

// EUC-JP form of a code page 932 string: ASCII unchanged, half-width katakana as SS2 pairs
// (8E xx), double-byte characters of lead bytes 0x81-0x9F and 0xE0-0xEF by the JIS row
// arithmetic. What has no EUC-JP form is dropped: bytes that start no character (0x80, 0xA0,
// 0xFD-0xFF, a lead byte without a valid second byte, whose next byte is then read on its own)
// and the user-defined and extension characters of lead bytes 0xF0-0xFC.
std::string toEucJp(const std::string& keyword);

// UTF-8 form of a code page 932 string, through the OS converter.
std::string toUtf8(const std::string& keyword);

// Position of the first occurrence of needle in haystack, ASCII letters compared without case;
// std::string::npos when absent. An empty needle is found at 0.
std::size_t findIgnoringCase(const std::string& haystack, const std::string& needle);

}  // namespace vexor
