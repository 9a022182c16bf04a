// Walking a region with a rule.
#include "engine/rule_walk.h"

#include <cstring>

#include "engine/learn_variants.h"
#include "engine/link_elements.h"
#include "engine/link_end.h"

namespace vexor {
namespace {

// The occurrences of a prefix, searched for as the walk asks. A prefix's first byte is often
// markup that stands everywhere ("<", a quote, a space): its last byte is compared before the
// rest, so most false starts cost no call to compare the whole prefix.
struct PrefixSearch {
    std::string_view region;
    std::string_view prefix;
    std::size_t next(std::size_t from) const {
        const std::size_t n = prefix.size();
        if (from > region.size() || region.size() - from < n) return std::string_view::npos;
        const char* const base = region.data();
        const char* const last = base + (region.size() - n);  // the last place the prefix can start
        for (const char* at = base + from; at <= last; ++at) {
            at = static_cast<const char*>(std::memchr(at, prefix[0], static_cast<std::size_t>(last - at) + 1));
            if (at == nullptr) break;
            if (at[n - 1] == prefix[n - 1] && std::memcmp(at + 1, prefix.data() + 1, n - 1) == 0)
                return static_cast<std::size_t>(at - base) + n;
        }
        return std::string_view::npos;
    }
};

struct RegionFacts {
    std::string_view region;
    const PageAddress& page;
    LinkFactsTable& table;
    std::size_t end(std::size_t start) const { return start + linkAt(region, start).size(); }
    LinkFactsTable::Ids ids(std::size_t start) const { return table.at(region, start, page); }
};

}  // namespace

std::vector<RuleLink> walkRule(std::string_view region, const Rule& rule, const PageAddress& page,
                               LinkFactsTable* table) {
    std::vector<RuleLink> links;
    if (rule.prefix.empty()) return links;  // would match everywhere without moving on
    LinkFactsTable ownTable;
    LinkFactsTable& facts = table ? *table : ownTable;
    WalkSteps steps{rule.stride, rule.readsFacts, ANY_KIND};
    if (rule.readsFacts && !rule.linkKind.empty()) steps.kind = facts.kindNumber(rule.linkKind);
    PrefixSearch occurrences{region, rule.prefix};
    RegionFacts regionFacts{region, page, facts};
    const std::vector<OpenElement> elements = openElements(rule.context, rule.context.size());
    walkOccurrences(occurrences, regionFacts, steps, [&](std::size_t start, std::size_t end) {
        if (!rule.context.empty() && !isMarkupVariant(region.substr(0, start), rule.context) &&
            !isElementVariant(region.substr(0, start), elements))
            return;
        links.push_back({start, region.substr(start, end - start)});
    });
    return links;
}

std::vector<std::string_view> selectResults(const std::vector<RuleLink>& links, LinkSelection selection) {
    const std::size_t n = links.size();
    std::size_t first = 0;
    std::size_t count = 0;
    switch (selection) {
        case LinkSelection::EveryLink: count = n; break;
        case LinkSelection::FirstTen: count = n >= RESULTS_PER_PAGE ? RESULTS_PER_PAGE : 0; break;
        case LinkSelection::LastTen:
            count = n >= RESULTS_PER_PAGE ? RESULTS_PER_PAGE : 0;
            first = n >= RESULTS_PER_PAGE ? n - RESULTS_PER_PAGE : 0;
            break;
        default: count = n == RESULTS_PER_PAGE ? RESULTS_PER_PAGE : 0; break;
    }
    std::vector<std::string_view> selected;
    for (std::size_t i = first; i < first + count; ++i) selected.push_back(links[i].link);
    return selected;
}

std::vector<std::string_view> readResults(std::string_view region, const Rule& rule, const PageAddress& page,
                                          LinkFactsTable* table) {
    std::vector<RuleLink> links = walkRule(region, rule, page, table);
    if (links.size() <= ADS_LOOKED_FOR) {
        std::vector<std::size_t> starts;
        for (const RuleLink& link : links) starts.push_back(link.start);
        const std::vector<bool> ads = adsAmong(region, starts);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < links.size(); ++i)
            if (!ads[i]) links[kept++] = links[i];
        links.resize(kept);
    }
    return selectResults(links, rule.selection);
}

}  // namespace vexor
