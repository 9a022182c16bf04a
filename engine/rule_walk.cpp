// Walking a region with a rule.
#include "engine/rule_walk.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "engine/learn_variants.h"
#include "engine/link_elements.h"
#include "engine/link_end.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

// How often a byte stands in a page's markup and text, most often first; bytes not named here
// (digits, capitals, most punctuation, bytes of other scripts) are rarer still.
constexpr std::string_view BYTES_BY_FREQUENCY = " etaoinsrhldcu<>\"=/pmfgwybv\n.k-_:x;&#jqz";

// The places in prefix of its two rarest bytes as BYTES_BY_FREQUENCY ranks them, the last of
// equals first; a one-byte prefix gives its byte twice.
std::pair<std::size_t, std::size_t> rarestBytesAt(std::string_view prefix) {
    static constexpr std::array<uint8_t, 256> RANKS = [] {
        std::array<uint8_t, 256> ranks{};
        ranks.fill(static_cast<uint8_t>(BYTES_BY_FREQUENCY.size()));
        for (std::size_t i = 0; i < BYTES_BY_FREQUENCY.size(); ++i)
            ranks[static_cast<unsigned char>(BYTES_BY_FREQUENCY[i])] = static_cast<uint8_t>(i);
        return ranks;
    }();
    const auto rank = [](char c) { return RANKS[static_cast<unsigned char>(c)]; };
    std::size_t rarest = 0;
    std::size_t second = 0;
    for (std::size_t i = 1; i < prefix.size(); ++i) {
        if (rank(prefix[i]) >= rank(prefix[rarest])) {
            second = rarest;
            rarest = i;
        } else if (second == rarest || rank(prefix[i]) >= rank(prefix[second])) {
            second = i;
        }
    }
    return {rarest, second};
}

// The occurrences of a prefix, searched for as the walk asks. A prefix most often begins with
// markup that stands everywhere ("<", a quote, a space): the search runs over the places where
// its two rarest bytes stand at their distance, each compared to the whole prefix around them.
struct PrefixSearch {
    PrefixSearch(std::string_view searched, std::string_view sought)
        : PrefixSearch(searched, sought, rarestBytesAt(sought)) {}
    PrefixSearch(std::string_view searched, std::string_view sought, std::pair<std::size_t, std::size_t> rarest)
        : region(searched), prefix(sought), anchors(rarest) {}
    std::string_view region;
    std::string_view prefix;
    std::pair<std::size_t, std::size_t> anchors;
    std::size_t next(std::size_t from) const {
        const std::size_t n = prefix.size();
        if (from > region.size() || region.size() - from < n) return std::string_view::npos;
        const auto [a, b] = anchors;
        const std::size_t start =
            findPair(region, from, region.size() - n, a, prefix[a], b, prefix[b], [&](std::size_t at) {
                return std::memcmp(region.data() + at, prefix.data(), n) == 0;
            });
        return start == std::string_view::npos ? start : start + n;
    }
};

struct RegionFacts {
    std::string_view region;
    const PageAddress& page;
    LinkFactsTable& table;
    std::size_t end(std::size_t start) const { return start + linkAt(region, start).size(); }
    LinkFactsTable::Ids ids(std::size_t start) const { return table.at(region, start, page); }
    int32_t identity(const LinkFactsTable::Ids& ids) const { return table.identityOf(ids, page); }
};

// What a walk yields depends on the region and on every part of the rule but its selection.
std::string walkKey(std::string_view region, const Rule& rule) {
    return std::to_string(region.size()) + '\0' + std::to_string(rule.stride) + '\0' +
           (rule.readsFacts ? rule.linkKind : "-") + '\0' + rule.prefix + '\0' + rule.context + '\0' +
           rule.container;
}

// The first link of each container element that the walk of steps would take there.
std::vector<RuleLink> walkContainers(std::string_view region, const Rule& rule, const WalkSteps& steps,
                                     RegionFacts& facts) {
    std::vector<RuleLink> links;
    const std::vector<std::size_t> openings = elementOpenings(region, containerElement(rule.container));
    const auto rarest = rarestBytesAt(rule.prefix);
    for (std::size_t k = 0; k < openings.size(); ++k) {
        // Searched up to the next element alone, so that a page of many elements without a link
        // is read once.
        const std::size_t end = k + 1 < openings.size() ? openings[k + 1] : region.size();
        const PrefixSearch occurrences{region.substr(0, end), rule.prefix, rarest};
        for (std::size_t start = occurrences.next(openings[k]); start != std::string_view::npos && start < end;
             start = occurrences.next(facts.end(start))) {
            if (steps.readsFacts && steps.kind != ANY_KIND && facts.ids(start).kind != steps.kind) continue;
            links.push_back({start, region.substr(start, facts.end(start) - start)});
            break;
        }
    }
    return links;
}

std::vector<RuleLink> linksOf(std::string_view region, const LinkFactsTable::WalkedLinks& walked) {
    std::vector<RuleLink> links;
    for (const auto& [start, end] : walked) links.push_back({start, region.substr(start, end - start)});
    return links;
}

LinkFactsTable::WalkedLinks walkedOf(const std::vector<RuleLink>& links) {
    LinkFactsTable::WalkedLinks walked;
    for (const RuleLink& link : links)
        walked.emplace_back(static_cast<uint32_t>(link.start), static_cast<uint32_t>(link.start + link.link.size()));
    return walked;
}

}  // namespace

std::vector<RuleLink> walkRule(std::string_view region, const Rule& rule, const PageAddress& page,
                               LinkFactsTable* table) {
    std::vector<RuleLink> links;
    if (rule.prefix.empty()) return links;  // would match everywhere without moving on
    std::string key;
    if (table) {
        key = walkKey(region, rule);
        if (const LinkFactsTable::WalkedLinks* kept = table->walked(key)) return linksOf(region, *kept);
    }
    LinkFactsTable ownTable;
    LinkFactsTable& facts = table ? *table : ownTable;
    WalkSteps steps{rule.stride, rule.readsFacts, ANY_KIND};
    if (rule.readsFacts && !rule.linkKind.empty()) steps.kind = facts.kindNumber(rule.linkKind);
    RegionFacts regionFacts{region, page, facts};
    if (!rule.container.empty()) {
        links = walkContainers(region, rule, steps, regionFacts);
        if (table) table->keepWalk(std::move(key), walkedOf(links));
        return links;
    }
    PrefixSearch occurrences{region, rule.prefix};
    const std::vector<OpenElement> elements = openElements(rule.context, rule.context.size());
    walkOccurrences(occurrences, regionFacts, steps, [&](std::size_t start, std::size_t end) {
        if (!rule.context.empty() && !isMarkupVariant(region.substr(0, start), rule.context) &&
            !isElementVariant(region.substr(0, start), elements))
            return;
        links.push_back({start, region.substr(start, end - start)});
    });
    if (table) table->keepWalk(std::move(key), walkedOf(links));
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
    // The walk less its ads is kept as a walk of its own.
    const std::string key = table ? walkKey(region, rule) + '\0' + "without ads" : std::string();
    if (table)
        if (const LinkFactsTable::WalkedLinks* kept = table->walked(key))
            return selectResults(linksOf(region, *kept), rule.selection);
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
    if (table) table->keepWalk(key, walkedOf(links));
    return selectResults(links, rule.selection);
}

}  // namespace vexor
