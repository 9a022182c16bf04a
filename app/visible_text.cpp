// Making code page 932 texts visible.
#include "app/visible_text.h"

#include "platform/bytes.h"
#include "platform/cp932_units.h"
#include "platform/text.h"

namespace vexor {
namespace {

enum class Controls { Escaped, EscapedButLineFeeds, Kept };

VisibleText converted(const std::string& cp932, Controls controls) {
    std::string shown;
    std::size_t width = 0;
    for (std::size_t i = 0; i < cp932.size();) {
        const std::size_t length = cp932CharLength(cp932, i);
        const auto c = static_cast<unsigned char>(cp932[i]);
        const bool control = c < 0x20 || c == 0x7F;
        if (length == 2) {
            shown.append(cp932, i, 2);
            width += 2;
        } else if (length == 1 && (!control || controls == Controls::Kept)) {
            shown += static_cast<char>(c);
            width += 1;
        } else if (length == 1 && c == '\n' && controls == Controls::EscapedButLineFeeds) {
            shown += '\n';
        } else {
            // "\xHH": escapes are ASCII, so the conversion below keeps them as they are.
            std::string escape;
            appendHexEscape(escape, c);
            shown += "\\x" + escape.substr(1);
            width += 4;
        }
        i += length == 0 ? 1 : length;
    }
    return {cp932ToUtf8(shown), width};
}

}  // namespace

VisibleText visibleText(const std::string& cp932) { return converted(cp932, Controls::Escaped); }

std::string visibleLines(const std::string& cp932) {
    return converted(cp932, Controls::EscapedButLineFeeds).utf8;
}

std::string utf8ShowingStrayBytes(const std::string& cp932) {
    return converted(cp932, Controls::Kept).utf8;
}

}  // namespace vexor
