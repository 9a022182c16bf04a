// Japanese test texts written as u8"" literals (UTF-8 whatever the compiler's execution character
// set) and turned into the code page 932 bytes the system keeps.
#pragma once

#include <string>
#include <string_view>

namespace vexor::testing {

// The code page 932 form of utf8; throws when a character has none, so a typo fails the test.
std::string cp932(std::u8string_view utf8);

// The bytes of a UTF-8 literal as a std::string, for comparing with converter output.
std::string utf8Bytes(std::u8string_view utf8);

}  // namespace vexor::testing
