// The name rule shared by engine paths and history headers.
#include "engine/engine_name.h"

#include "platform/text.h"

namespace vexor {
namespace {

std::string nameAfter(const std::string& text, bool slashToo) {
    std::size_t start = 0;
    std::size_t lastDot = std::string::npos;
    // A second byte may be 0x5C or 0x2E without being a separator or a dot.
    for (std::size_t i = 0; i < text.size(); i += leadByteStep(text, i)) {
        const char c = text[i];
        if (leadByteStep(text, i) == 2) continue;
        if (c == '\\' || (slashToo && c == '/')) {
            start = i + 1;
            lastDot = std::string::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }
    const std::size_t end = lastDot == std::string::npos ? text.size() : lastDot;
    return text.substr(start, end - start);
}

}  // namespace

std::string baseName(const std::string& path) { return nameAfter(path, true); }

std::string baseNameAtBackslash(const std::string& text) { return nameAfter(text, false); }

}  // namespace vexor
