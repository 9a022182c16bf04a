// The visible text of arbitrary stored bytes (what vexor-cli prints and CSV files hold):
// well-formed UTF-8 holding no control character (a line feed only where lines are kept), so
// nothing stored can drive the terminal.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/visible_text.h"

namespace {

// True when text is well-formed UTF-8 with no C0 control, DEL or C1 control, allowing the line
// feed when lineFeeds is set.
bool safe(const std::string& text, bool lineFeeds) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        uint32_t point = c;
        if (c >= 0xF0) { length = 4; point = c & 0x07; }
        else if (c >= 0xE0) { length = 3; point = c & 0x0F; }
        else if (c >= 0xC0) { length = 2; point = c & 0x1F; }
        else if (c >= 0x80) return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = point << 6 | (next & 0x3F);
        }
        if ((point < 0x20 && !(lineFeeds && point == '\n')) || (point >= 0x7F && point < 0xA0))
            return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string stored(reinterpret_cast<const char*>(data), size);
    const vexor::VisibleText line = vexor::visibleText(stored);
    if (!safe(line.utf8, false)) __builtin_trap();
    if (line.width < line.utf8.size() / 3) __builtin_trap();  // every column holds at most 3 bytes
    if (!safe(vexor::visibleLines(stored), true)) __builtin_trap();
    return 0;
}
