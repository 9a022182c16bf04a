// Whether a result link is the survey's site: the target standing in the link as written, or in
// the link decoded (character references and percent escapes undone, so also in the address a
// redirect carries), host names compared without regard to ASCII letter case.
#pragma once

#include <string>
#include <string_view>

namespace vexor {

// The byte comparison comes first and decides alone when it finds the target; the decoded one
// (the link's first MAX_LINK_EXAMINED bytes) only adds links that spell the site otherwise.
// In the target, the part before its first "/" (after "//" when it has one) is its host part.
bool linkHoldsTarget(std::string_view link, std::string_view target);

}  // namespace vexor

namespace vexor {

// Where a result leads as a user would see it: the redirect's carried destination when it
// carries one, else the link made absolute against the page it stood on.
std::string resultAddress(std::string_view link, std::string_view pageAddress);

}  // namespace vexor
