// Finding a link's end one table lookup a byte.
#include "engine/link_end.h"

#include <array>

namespace vexor {
namespace {

struct DelimiterTable {
    std::array<bool, 256> isDelimiter{};
    constexpr DelimiterTable() {
        for (const char* c = LINK_DELIMITERS; *c; ++c) isDelimiter[static_cast<unsigned char>(*c)] = true;
    }
};
constexpr DelimiterTable DELIMITERS;

}  // namespace

bool isLinkDelimiter(char c) { return DELIMITERS.isDelimiter[static_cast<unsigned char>(c)]; }

std::string_view linkAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && !isLinkDelimiter(text[end])) ++end;
    return text.substr(at, end - at);
}

}  // namespace vexor
