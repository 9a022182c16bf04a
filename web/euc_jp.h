// EUC-JP form of a code page 932 keyword, for engines that take their keywords in EUC-JP.
#pragma once

#include <string>

namespace vexor {

// ASCII unchanged, half-width katakana as SS2 pairs (8E xx), double-byte characters of lead
// bytes 0x81-0x9F and 0xE0-0xEF by the JIS row arithmetic. What has no EUC-JP form is dropped:
// bytes that start no character (0x80, 0xA0, 0xFD-0xFF, a lead byte without a valid second
// byte, whose next byte is then read on its own) and the user-defined and extension characters
// of lead bytes 0xF0-0xFC.
std::string toEucJp(const std::string& keyword);

}  // namespace vexor
