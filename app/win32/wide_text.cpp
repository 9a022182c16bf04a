// Conversions at the edge between the W APIs and the program's code page 932 texts.
#include "app/win32/wide_text.h"

#include "platform/text.h"

namespace vexor {

std::optional<std::string> pathToCp932(const std::wstring& path) {
    if (auto bytes = wideToCp932(path)) return bytes;
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring shortPath(length, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), length);
    if (written == 0 || written >= length) return std::nullopt;
    shortPath.resize(written);
    return wideToCp932(shortPath);
}

std::string typedTextToCp932(const std::wstring& text) {
    if (auto whole = wideToCp932(text)) return *whole;
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        // A surrogate pair is one character.
        const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() &&
                          IS_LOW_SURROGATE(text[i + 1]);
        const std::size_t length = pair ? 2 : 1;
        bytes += wideToCp932(text.substr(i, length)).value_or("?");
        i += length;
    }
    return bytes;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace vexor
