// Building the query address of a keyword and result page from an engine's learnt template,
// and the byte-level operations that learning uses to recognise the keyword in a sample address.
// All strings are byte strings; keywords arrive in code page 932.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_definition.h"

namespace vexor {

// Expands template: the first "%d" takes pageOffset + pageStep * (page - 1), the first "%s" the
// keyword in the form keywordEncoding asks for, "%%" gives "%", any other "%" sequence is copied
// unchanged. Empty when the template lacks "%d" or "%s". Never truncates.
std::string buildQueryAddress(const std::string& queryTemplate, const std::string& keyword,
                              int32_t page, int32_t pageStep, int32_t pageOffset,
                              KeywordEncoding keywordEncoding);

// Query escaping with a code page 932 scan: both bytes of a double-byte character and every byte
// but ASCII letters, digits and * - . @ _ become "%XX" (upper case); a single-byte space "+".
std::string percentEncode(const std::string& bytes);

// EUC-JP form of a code page 932 string (half-width katakana as SS2 pairs).
std::string toEucJp(const std::string& keyword);

// UTF-8 form of a code page 932 string, through the OS converter.
std::string toUtf8(const std::string& keyword);

// Position of the first occurrence of needle in haystack, ASCII letters compared without case;
// std::string::npos when absent. An empty needle is found at 0.
std::size_t findIgnoringCase(const std::string& haystack, const std::string& needle);

}  // namespace vexor
