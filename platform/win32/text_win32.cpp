// Code page 932 conversions through the Windows converters, with code page 932 named explicitly
// so that the result does not depend on the system's ANSI code page.
#include <windows.h>

#include "platform/cp932_units.h"
#include "platform/text.h"

namespace vexor {
namespace {

constexpr UINT CP932 = 932;

// UTF-16 of text in code page, or nothing when a character is invalid in it.
std::optional<std::wstring> toWideStrict(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                            length) != length)
        return std::nullopt;
    return wide;
}

// The bytes of wide in code page, or nothing when a character has no exact form in it.
std::optional<std::string> fromWideStrict(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    // Code page 65001 takes neither the best-fit flag nor the default-character question.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                            usedDefaultOut) != length ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

}  // namespace

std::wstring cp932ToWide(const std::string& text) {
    const std::string clean = withoutStrayBytes(text);
    if (auto wide = toWideStrict(CP932, clean)) return *wide;
    // Some pair is unassigned in code page 932: convert character by character, dropping it.
    std::wstring wide;
    for (std::size_t i = 0; i < clean.size();) {
        const std::size_t length = cp932CharLength(clean, i);
        if (auto one = toWideStrict(CP932, clean.substr(i, length))) wide += *one;
        i += length;
    }
    return wide;
}

std::optional<std::string> wideToCp932(const std::wstring& text) {
    return fromWideStrict(CP932, text);
}

std::string cp932ToUtf8(const std::string& text) {
    return fromWideStrict(CP_UTF8, cp932ToWide(text)).value_or(std::string());
}

std::optional<std::string> utf8ToCp932(const std::string& text) {
    const auto wide = toWideStrict(CP_UTF8, text);
    if (!wide) return std::nullopt;
    return fromWideStrict(CP932, *wide);
}

}  // namespace vexor
