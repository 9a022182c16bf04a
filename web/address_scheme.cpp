// Reading the scheme of an address.
#include "web/address_scheme.h"

#include "platform/bytes.h"

namespace vexor {

AddressScheme schemeOf(const std::string& address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos) return AddressScheme::Other;
    const std::string scheme = lowerAscii(std::string_view(address).substr(0, colon));
    if (scheme == "http") return AddressScheme::Http;
    if (scheme == "https") return AddressScheme::Https;
    return AddressScheme::Other;
}

bool redirectFollowed(const std::string& from, const std::string& to) {
    const AddressScheme next = schemeOf(to);
    if (schemeOf(from) == AddressScheme::Https) return next == AddressScheme::Https;
    return next == AddressScheme::Http || next == AddressScheme::Https;
}

}  // namespace vexor
