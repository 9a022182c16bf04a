// Applying an extended rule to a page: the links after its prefix, kept to its kind of link,
// a repeated link to the same address counting once, and the selection of those it yields.
// Learning walks pages the same way, so that what it learnt is what a survey reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_definition.h"
#include "engine/link_address.h"

namespace vexor {

struct RuleLink {
    std::size_t start;      // where the link begins in the region
    std::string_view link;  // up to the next link delimiter
};

// What tells two links of one result apart from two results: the address a redirect carries,
// else the link's comparable form.
std::string linkIdentity(std::string_view link, const PageAddress& page);

// The prefix's occurrences walked as a LinkRule's are (each search resumes where the link before
// ended), the link after each kept when linkKind is empty or the link is of that kind, and a
// kept link dropped when its identity equals that of the link kept just before it.
std::vector<RuleLink> extendedRuleLinks(std::string_view region, std::string_view prefix,
                                        std::string_view linkKind, const PageAddress& page);

// The links a selection takes from a rule's links, or none: EveryLink all of them when there is
// at least one; FirstTen the first ten and LastTen the last ten when there are ten or more;
// ExactlyTen (and any unknown code) all of them when there are exactly ten.
std::vector<std::string_view> selectedLinks(const std::vector<RuleLink>& links, LinkSelection selection);

}  // namespace vexor
