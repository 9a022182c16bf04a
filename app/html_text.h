// Texts placed into the report's HTML, which is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vexor {

// utf8 with the characters that mean markup (& < > " ') written as references.
std::string htmlEscaped(std::string_view utf8);

// A code page 932 text for the page: converted to UTF-8 and escaped.
std::string htmlText(const std::string& cp932);

}  // namespace vexor
