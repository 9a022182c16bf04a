// Whether a result link is the survey's site, and the address a result leads to.
//
// A target that is a host name (it has a dot and neither "/" nor a scheme) means that site:
// a link matches when the host it leads to is that host or one under it ("www.mysite.example"
// for "mysite.example", not "www.notmysite.example", nor another site whose address mentions
// it). Any other target matches where it stands in the link as written, or in the link decoded
// (character references and percent escapes undone, so also in the address a redirect
// carries), host names compared without regard to ASCII letter case.
#pragma once

#include <string>
#include <string_view>

namespace vexor {

// For a host name target, the host the link leads to: the carried destination's when the link is
// a redirect that carries one (carriedAddress), else the link's own; relative links lead to the
// engine, never to the target. For other targets the byte comparison comes first and decides
// alone when it finds the target; the decoded one (the link's first MAX_LINK_EXAMINED bytes)
// only adds links that spell the site otherwise. In such a target, the part before its first
// "/" (after "//" when it has one) is its host part.
bool linkHoldsTarget(std::string_view link, std::string_view target);

// The address a result leads to as a user sees it: the destination a redirect link carries
// (its percent escapes undone when it is carried escaped), else the link made absolute against
// pageAddress (the address the page was fetched from), with the link's scheme or else the
// page's, character references undone. Links of another scheme ("javascript:") come back with
// their references undone.
std::string resultAddress(std::string_view link, std::string_view pageAddress);

}  // namespace vexor
