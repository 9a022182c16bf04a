// Walking a page with an extended rule.
#include "engine/extended_rules.h"

#include "engine/link_kind.h"
#include "engine/sample_match.h"

namespace vexor {
namespace {

constexpr std::size_t TEN = 10;

}  // namespace

std::string linkIdentity(std::string_view link, const PageAddress& page) {
    const std::string absolute = absoluteForm(link, page);
    std::string carried = carriedAddress(absolute, false);
    if (!carried.empty()) return carried;
    return lowerHosts(decodePercentEscapes(absolute));
}

std::vector<RuleLink> extendedRuleLinks(std::string_view region, std::string_view prefix,
                                        std::string_view linkKind, const PageAddress& page) {
    std::vector<RuleLink> links;
    if (prefix.empty()) return links;
    std::string previous;
    bool havePrevious = false;
    for (std::size_t at = region.find(prefix); at != std::string_view::npos;) {
        const std::size_t start = at + prefix.size();
        const std::string_view link = linkAt(region, start);
        if (linkKind.empty() || vexor::linkKind(link, page) == linkKind) {
            std::string identity = linkIdentity(link, page);
            if (!havePrevious || identity != previous) links.push_back({start, link});
            previous = std::move(identity);
            havePrevious = true;
        }
        const std::size_t end = start + link.size();
        if (end >= region.size()) break;
        at = region.find(prefix, end);
    }
    return links;
}

std::vector<std::string_view> selectedLinks(const std::vector<RuleLink>& links, LinkSelection selection) {
    const std::size_t n = links.size();
    std::size_t first = 0;
    std::size_t count = 0;
    switch (selection) {
        case LinkSelection::EveryLink: count = n; break;
        case LinkSelection::FirstTen: count = n >= TEN ? TEN : 0; break;
        case LinkSelection::LastTen:
            count = n >= TEN ? TEN : 0;
            first = n >= TEN ? n - TEN : 0;
            break;
        default: count = n == TEN ? TEN : 0; break;
    }
    std::vector<std::string_view> selected;
    for (std::size_t i = first; i < first + count; ++i) selected.push_back(links[i].link);
    return selected;
}

}  // namespace vexor
