// The facts of a link that a rule reading facts asks for: its kind (linkKind), and its identity,
// what tells two links of one result from two results (the address a redirect carries, else the
// link's comparable form). Kept once per link start as numbers, so that many walks of one region,
// by a survey's rules or by learning's candidates, work each link out once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/link_address.h"

namespace vexor {

struct LinkFacts {
    std::string kind;
    std::string identity;
};
LinkFacts linkFactsOf(std::string_view link, const PageAddress& page);

// The facts of the links of one region by where they start, with equal numbers for equal texts.
// A table serves one region read against one page address.
class LinkFactsTable {
public:
    struct Ids {
        int32_t kind;
        int32_t identity;
        uint32_t end;  // where the link ends in the region (linkAt)
    };

    // The facts of the link that starts at start, worked out on the first ask.
    Ids at(std::string_view region, std::size_t start, const PageAddress& page);
    // Whether the link at start was asked for before.
    bool knows(std::size_t start) const { return start < slotOf_.size() && slotOf_[start] >= 0; }
    // The number of a kind, given now when no link met so far is of it.
    int32_t kindNumber(std::string_view kind);
    const std::string& kindName(int32_t number) const { return kindNames_[static_cast<std::size_t>(number)]; }

private:
    std::vector<int32_t> slotOf_;  // by link start: index into ids_, -1 when not yet asked
    std::vector<Ids> ids_;
    std::unordered_map<std::string, int32_t> kinds_;
    std::vector<std::string> kindNames_;
    std::unordered_map<std::string, int32_t> identities_;
};

}  // namespace vexor
