// Japanese test texts.
#include "japanese.h"

#include <stdexcept>

#include "platform/text.h"

namespace vexor::testing {

std::string utf8Bytes(std::u8string_view utf8) {
    return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
}

std::string cp932(std::u8string_view utf8) {
    auto converted = utf8ToCp932(utf8Bytes(utf8));
    if (!converted) throw std::invalid_argument("text has no code page 932 form");
    return *converted;
}

}  // namespace vexor::testing
