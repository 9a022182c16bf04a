// The kind of a link: how a results page writes it, so that a rule can keep to the kind of link
// the page's results use. Organic results, a click-tracking ad, a navigation link and an image
// usually differ here even where the markup before them is the same.
#pragma once

#include <string>
#include <string_view>

#include "engine/link_address.h"

namespace vexor {

// "absolute": a link to another site (or any link without a carried address) written with its
//             host, or an address shown without its scheme ("www.site.example/page"); the kind
//             of direct results;
// "wrapped:PATH": a redirect of the engine's own (relative, or on the page's domain) that
//             carries an address in a parameter; PATH is its path up to "?", "#", ";" or "=";
// "relative:PATH": any other relative link (an engine's own pages, token redirects);
// "other:SCHEME": javascript:, mailto: and the like.
// PATH is cut to 64 bytes.
std::string linkKind(std::string_view link, const PageAddress& page);

// The same for a link whose absoluteForm against page is already at hand.
std::string linkKindOf(std::string_view link, std::string_view absolute, const PageAddress& page);

// The part of a host that its owner registers ("search.example.co.jp" -> "example.co.jp"):
// the last two labels, or three when the last two look like a country's second level.
std::string_view registeredDomain(std::string_view host);

}  // namespace vexor
