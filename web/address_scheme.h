// The scheme of a page address as the fetchers read it, and which redirects they follow.
#pragma once

#include <string>

namespace vexor {

enum class AddressScheme {
    Http,   // "http:" in any letter case
    Https,  // "https:" in any letter case
    Other,  // anything else, an address without a scheme included
};

AddressScheme schemeOf(const std::string& address);

// A redirect is followed from http (or an address fetched as http) to http or https, and from
// https to https only: once a page is asked for over TLS it is never asked for in the clear.
bool redirectFollowed(const std::string& from, const std::string& to);

// The HTTP statuses whose response sends the client to another address.
inline bool isRedirectStatus(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace vexor
