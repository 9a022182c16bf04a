// Walking a page with an extended rule.
#include "engine/extended_rules.h"

#include "engine/link_kind.h"
#include "engine/sample_match.h"

namespace vexor {
namespace {

constexpr std::size_t TEN = 10;

}  // namespace

LinkFacts linkFactsOf(std::string_view link, const PageAddress& page) {
    const std::string absolute = absoluteForm(link, page);
    std::string identity = carriedAddress(absolute, false);
    if (identity.empty()) identity = lowerHosts(decodePercentEscapes(absolute));
    return {linkKindOf(link, absolute, page), std::move(identity)};
}

LinkFactsMemo::Ids LinkFactsMemo::at(std::size_t start, std::string_view link, const PageAddress& page) {
    auto known = byStart_.find(start);
    if (known != byStart_.end()) return known->second;
    LinkFacts facts = linkFactsOf(link, page);
    const auto number = [](std::unordered_map<std::string, int32_t>& numbers, std::string&& text) {
        return numbers.try_emplace(std::move(text), static_cast<int32_t>(numbers.size())).first->second;
    };
    const Ids ids{number(kinds_, std::move(facts.kind)), number(identities_, std::move(facts.identity))};
    byStart_.emplace(start, ids);
    return ids;
}

int32_t LinkFactsMemo::kindNumber(std::string_view kind) const {
    const auto known = kinds_.find(std::string(kind));
    return known == kinds_.end() ? -1 : known->second;
}

std::vector<RuleLink> extendedRuleLinks(std::string_view region, std::string_view prefix,
                                        std::string_view linkKind, const PageAddress& page,
                                        LinkFactsMemo* memo) {
    std::vector<RuleLink> links;
    if (prefix.empty()) return links;
    LinkFactsMemo ownMemo;
    LinkFactsMemo& facts = memo ? *memo : ownMemo;
    int32_t wanted = facts.kindNumber(linkKind);
    int32_t previous = -1;
    for (std::size_t at = region.find(prefix); at != std::string_view::npos;) {
        const std::size_t start = at + prefix.size();
        const std::string_view link = linkAt(region, start);
        const LinkFactsMemo::Ids ids = facts.at(start, link, page);
        // The kind may first be met here.
        if (wanted < 0 && !linkKind.empty()) wanted = facts.kindNumber(linkKind);
        if (linkKind.empty() || ids.kind == wanted) {
            if (ids.identity != previous) links.push_back({start, link});
            previous = ids.identity;
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
