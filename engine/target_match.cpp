// Matching a survey's target against a result link.
#include "engine/target_match.h"

#include "engine/link_address.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

// The target with the letters of its host part in lower case.
std::string targetWithLowerHost(std::string_view target) {
    std::string lowered(target);
    const std::size_t slashes = lowered.find("//");
    const std::size_t from = slashes == std::string::npos ? 0 : slashes + 2;
    for (std::size_t i = from; i < lowered.size() && lowered[i] != '/'; ++i)
        if (isHostByte(lowered[i])) lowered[i] = lowerAscii(lowered[i]);
    return lowered;
}

bool isHostName(std::string_view target) {
    return target.find('.') != std::string_view::npos && target.find('/') == std::string_view::npos &&
           target.find(':') == std::string_view::npos;
}

// The host of a comparable form ("//host/path"), without user and port; empty when it has none.
std::string_view hostOf(std::string_view comparable) {
    if (comparable.substr(0, 2) != "//") return {};
    std::string_view host = comparable.substr(2, HOST_END.firstIn(comparable, 2) - 2);
    if (const std::size_t user = host.rfind('@'); user != std::string_view::npos) host.remove_prefix(user + 1);
    if (const std::size_t port = host.rfind(':'); port != std::string_view::npos) host = host.substr(0, port);
    return host;
}

bool leadsToHost(std::string_view link, std::string_view target) {
    const std::string absolute = absoluteForm(link, PageAddress{});
    std::string destination = carriedAddress(absolute, false);
    if (destination.empty()) destination = comparableForm(link, PageAddress{});
    const std::string_view host = hostOf(destination);
    const std::string wanted = lowerAscii(target);
    if (host.size() < wanted.size() || host.substr(host.size() - wanted.size()) != wanted) return false;
    return host.size() == wanted.size() || host[host.size() - wanted.size() - 1] == '.';
}

}  // namespace

bool linkHoldsTarget(std::string_view link, std::string_view target) {
    if (isHostName(target)) return leadsToHost(link, target);
    if (link.find(target) != std::string_view::npos) return true;
    if (target.empty()) return false;
    const std::string decoded =
        lowerHosts(decodePercentEscapes(decodeCharacterReferences(link.substr(0, MAX_LINK_EXAMINED))));
    const std::string wanted = targetWithLowerHost(target);
    return decoded.find(wanted) != std::string::npos;
}

std::string resultAddress(std::string_view link, std::string_view pageAddress) {
    const std::string absolute = absoluteForm(link, pageAddressOf(pageAddress));
    if (const CarriedSpan carried = carriedAddressIn(absolute); carried.found()) {
        const std::string_view value = std::string_view(absolute).substr(carried.start, carried.end - carried.start);
        const bool plain = startsWithIgnoringCase(value, "http://") || startsWithIgnoringCase(value, "https://");
        return plain ? std::string(value) : decodePercentEscapes(value);
    }
    if (absolute.substr(0, 2) != "//") return absolute;
    const std::string written = decodeCharacterReferences(link.substr(0, MAX_LINK_EXAMINED));
    if (startsWithIgnoringCase(written, "https:")) return "https:" + absolute;
    if (startsWithIgnoringCase(written, "http:")) return "http:" + absolute;
    return (startsWithIgnoringCase(pageAddress, "https:") ? "https:" : "http:") + absolute;
}

}  // namespace vexor
