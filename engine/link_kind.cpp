// Telling the kinds of links apart.
#include "engine/link_kind.h"

#include <algorithm>

#include "platform/bytes.h"

namespace vexor {
namespace {

constexpr std::size_t KIND_PATH_LIMIT = 64;

std::string_view pathKey(std::string_view rest) {
    static constexpr ByteSet KEY_END{"?#;="};
    const std::size_t end = KEY_END.firstIn(rest);
    return rest.substr(0, std::min({end, rest.size(), KIND_PATH_LIMIT}));
}

// text with its character references undone, kept in decoded when it holds one; most links
// hold none and are read as they stand.
std::string_view withoutReferences(std::string_view text, std::string& decoded) {
    if (text.find('&') == std::string_view::npos) return text;
    decoded = decodeCharacterReferences(text);
    return decoded;
}

// "//host..." or "http(s)://host...", character references allowed in between as pages write.
bool writtenWithHost(std::string_view link) {
    std::string decoded;
    const std::string_view text = withoutReferences(link.substr(0, 16), decoded);
    return text.substr(0, 2) == "//" || startsWithIgnoringCase(text, "http://") ||
           startsWithIgnoringCase(text, "https://");
}

// An address written without a scheme, as pages show them as text ("www.site.example/page"):
// a host of two dots, or of one dot and a "/" after it.
bool writtenAsBareHost(std::string_view link) {
    std::string decoded;
    const std::string_view text = withoutReferences(link.substr(0, KIND_PATH_LIMIT * 4), decoded);
    const std::size_t end = std::min(HOST_END.firstIn(text), text.size());
    const std::string_view host = text.substr(0, end);
    if (host.empty() || host.front() == '.' || host.back() == '.') return false;
    for (const char c : host) {
        const bool hostByte = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                              c == '.' || c == '-';
        if (!hostByte) return false;
    }
    const auto dots = std::count(host.begin(), host.end(), '.');
    return dots >= 2 || (dots == 1 && end < text.size() && text[end] == '/');
}

}  // namespace

std::string_view registeredDomain(std::string_view host) {
    const std::size_t last = host.rfind('.');
    if (last == std::string_view::npos || last == 0) return host;
    const std::size_t second = host.rfind('.', last - 1);
    if (second == std::string_view::npos) return host;
    const bool countrySecondLevel = host.size() - last - 1 <= 2 && last - second - 1 <= 3;
    if (!countrySecondLevel) return host.substr(second + 1);
    if (second == 0) return host;
    const std::size_t third = host.rfind('.', second - 1);
    return third == std::string_view::npos ? host : host.substr(third + 1);
}

std::string linkKind(std::string_view link, const PageAddress& page) {
    return linkKindOf(link, absoluteForm(link, page), page);
}

std::string linkKindOf(std::string_view link, std::string_view absolute, const PageAddress& page) {
    if (absolute.substr(0, 2) != "//") {
        const std::size_t colon = absolute.find(':');
        return "other:" + lowerAscii(absolute.substr(0, colon));
    }
    const bool carries = carriedAddressIn(absolute).found();
    const std::size_t hostEnd = std::min(HOST_END.firstIn(absolute, 2), absolute.size());
    const std::string_view path = absolute.substr(hostEnd);
    if (writtenWithHost(link)) {
        const std::string_view host = absolute.substr(2, hostEnd - 2);
        if (carries && registeredDomain(host) == registeredDomain(page.host)) return "wrapped:" + std::string(pathKey(path));
        return "absolute";
    }
    if (carries) return "wrapped:" + std::string(pathKey(path));
    return writtenAsBareHost(link) ? "absolute" : "relative:" + std::string(pathKey(path));
}

}  // namespace vexor
