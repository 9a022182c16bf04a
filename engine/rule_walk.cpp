// Walking a region with a rule.
#include "engine/rule_walk.h"

#include "engine/learn_variants.h"
#include "engine/link_end.h"

namespace vexor {
namespace {

// The occurrences of a prefix, searched for as the walk asks.
struct PrefixSearch {
    std::string_view region;
    std::string_view prefix;
    std::size_t next(std::size_t from) const {
        const std::size_t at = region.find(prefix, from);
        return at == std::string_view::npos ? at : at + prefix.size();
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
    walkOccurrences(occurrences, regionFacts, steps, [&](std::size_t start, std::size_t end) {
        if (!rule.context.empty() && !isMarkupVariant(region.substr(0, start), rule.context)) return;
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

}  // namespace vexor
