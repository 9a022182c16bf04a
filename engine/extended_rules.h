// Applying an extended rule to a page: the links after its prefix, kept to its kind of link,
// a repeated link to the same address counting once, and the selection of those it yields.
// Learning walks pages the same way, so that what it learnt is what a survey reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/engine_definition.h"
#include "engine/link_address.h"

namespace vexor {

struct RuleLink {
    std::size_t start;      // where the link begins in the region
    std::string_view link;  // up to the next link delimiter
};

// What a rule asks of a link: its kind (linkKind), and what tells two links of one result from
// two results, its identity: the address a redirect carries, else the link's comparable form.
struct LinkFacts {
    std::string kind;
    std::string identity;
};
LinkFacts linkFactsOf(std::string_view link, const PageAddress& page);

// The facts of the links of one region by where they start, as numbers (equal numbers for
// equal texts), for walking it with several rules.
class LinkFactsMemo {
public:
    struct Ids {
        int32_t kind;
        int32_t identity;
    };
    Ids at(std::size_t start, std::string_view link, const PageAddress& page);
    // The number of a kind, or -1 when no link met so far is of it.
    int32_t kindNumber(std::string_view kind) const;

private:
    std::unordered_map<std::size_t, Ids> byStart_;
    std::unordered_map<std::string, int32_t> kinds_;
    std::unordered_map<std::string, int32_t> identities_;
};

// The prefix's occurrences walked as a LinkRule's are (each search resumes where the link before
// ended), the link after each kept when linkKind is empty or the link is of that kind, and a
// kept link dropped when its identity equals that of the link kept just before it. memo, when
// given, keeps the facts of the links met for the next walk of the same region.
std::vector<RuleLink> extendedRuleLinks(std::string_view region, std::string_view prefix,
                                        std::string_view linkKind, const PageAddress& page,
                                        LinkFactsMemo* memo = nullptr);

// The links a selection takes from a rule's links, or none: EveryLink all of them when there is
// at least one; FirstTen the first ten and LastTen the last ten when there are ten or more;
// ExactlyTen (and any unknown code) all of them when there are exactly ten.
std::vector<std::string_view> selectedLinks(const std::vector<RuleLink>& links, LinkSelection selection);

}  // namespace vexor
