// Reading a decimal number at the start of a text as a formatted "%d" scan does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexor {

// White space skipped, an optional sign, then the digits up to the first other byte; 0 when no
// digit follows; anything after the digits ignored. Values beyond 32 bits are held at the
// nearest limit instead of being undefined. end, when given, receives where the digits end (0
// when there are none).
int32_t leadingNumber(std::string_view text, std::size_t* end = nullptr);

}  // namespace vexor
