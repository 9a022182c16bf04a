// Shift-JIS (code page 932) to EUC-JP by arithmetic: both map the JIS X 0208 rows, only
// arranged differently.
#include "platform/cp932_units.h"
#include "web/euc_jp.h"

namespace vexor {
namespace {

constexpr unsigned char SS2 = 0x8E;  // introduces a half-width katakana in EUC-JP

// The EUC-JP pair of a double-byte character whose lead byte is 0x81-0x9F or 0xE0-0xEF.
void appendPair(std::string& out, unsigned char lead, unsigned char trail) {
    unsigned row = static_cast<unsigned>(lead - (lead >= 0xE0 ? 0xB0 : 0x70)) << 1;
    unsigned cell;
    if (trail < 0x9F) {
        --row;
        cell = trail - (trail >= 0x80 ? 0x20u : 0x1Fu);
    } else {
        cell = trail - 0x7Eu;
    }
    out += static_cast<char>(row | 0x80);
    out += static_cast<char>(cell | 0x80);
}

}  // namespace

std::string toEucJp(const std::string& keyword) {
    std::string out;
    out.reserve(keyword.size() * 2);
    for (std::size_t i = 0; i < keyword.size();) {
        const std::size_t length = cp932CharLength(keyword, i);
        const auto c = static_cast<unsigned char>(keyword[i]);
        if (length == 0) {
            ++i;  // a byte that starts no character; what follows it is read on its own
            continue;
        }
        if (length == 1) {
            if (c >= 0xA1) out += static_cast<char>(SS2);
            out += static_cast<char>(c);
        } else if (c <= 0xEF) {
            appendPair(out, c, static_cast<unsigned char>(keyword[i + 1]));
        }
        // Lead bytes 0xF0-0xFC (user-defined and IBM extension characters) have no EUC-JP form.
        i += length;
    }
    return out;
}

}  // namespace vexor
