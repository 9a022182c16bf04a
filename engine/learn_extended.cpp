// The extended rule search.
//
// For one link of the first sample at position v, the prefix of k bytes is page[v-k, v). Links
// of the first sample whose k bytes before are equal share that prefix, its walk and so its
// outcome, as in the plain search: they form a group carrying the end positions of every
// (overlapping) occurrence of the prefix, and when the prefix grows by a byte the group splits
// by that byte and each end goes to the child it still fits. Prefixes of one length that differ
// have disjoint ends, so a length costs at most a pass over the page. Walking a prefix's
// occurrences needs each link's end, kind and identity; those are worked out once per position
// and kept as numbers. The search counts its steps and stops, marked exhausted, past a bound
// proportional to the page, so a hostile page cannot hold the user interface for long.
#include "engine/learn_extended.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "engine/extended_rules.h"
#include "engine/learn_links.h"
#include "engine/link_kind.h"
#include "engine/prefix_groups.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

constexpr std::size_t TEN = 10;
// Steps allowed: this many per byte of the page, and a floor for small pages.
constexpr std::size_t STEPS_PER_BYTE = 24;
constexpr std::size_t STEPS_FLOOR = 2'000'000;
// What working out one link's facts counts for, besides its bytes.
constexpr std::size_t LINK_STEPS = 32;

struct Found {
    RuleOption option;
    std::size_t prefixLength;
    std::size_t firstLink;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// "href=" with its quote, alone or after "<a" and white space.
bool isBareHref(std::string_view prefix) {
    std::size_t i = 0;
    if (i < prefix.size() && prefix[i] == '<') ++i;
    if (i == 1 && i < prefix.size() && lowerAscii(prefix[i]) == 'a') ++i;
    while (i < prefix.size() && isSpace(prefix[i])) ++i;
    const std::string rest = lowerAscii(prefix.substr(i));
    return rest == "href=" || rest == "href=\"" || rest == "href='";
}

LinkSelection selectionOf(RuleFit fit) {
    switch (fit) {
        case RuleFit::FirstTen: return LinkSelection::FirstTen;
        case RuleFit::LastTen: return LinkSelection::LastTen;
        case RuleFit::AllResults: break;
    }
    return LinkSelection::EveryLink;
}

// What the fit of a rule needs from the links it yields: how many, and where the first, the
// tenth, the first of the last ten and the last stand.
struct Walk {
    std::size_t count = 0;
    uint32_t first = 0;
    uint32_t tenth = 0;
    uint32_t lastTenFirst = 0;
    uint32_t last = 0;
};

struct FirstLink {
    uint32_t at;
    SampleMatch match;
    int32_t kind;
};

// Members: indices of first-sample links.
using Group = PrefixGroup;

class Search {
public:
    Search(std::string_view page, const PageAddress& address, const SampleForms& tenth)
        : page_(page), address_(address), tenth_(tenth),
          budget_(std::max(STEPS_FLOOR, STEPS_PER_BYTE * page.size())), infoOf_(page.size() + 1, -1) {}

    bool exhausted() const { return exhausted_; }

    void run(const std::vector<SampleLink>& links, std::vector<Found>& found) {
        std::vector<FirstLink> firsts;
        for (const SampleLink& link : links)
            firsts.push_back({static_cast<uint32_t>(link.start), link.match, info(link.start).kind});
        std::vector<Group> groups = shortestPrefixGroups(firsts);
        std::vector<Group> children;
        for (std::size_t k = SHORTEST_PREFIX; k <= LONGEST_PREFIX && !groups.empty() && !exhausted_; ++k) {
            children.clear();
            for (Group& group : groups) {
                // The split costs a pass over the ends, and so does each walk in optionsOf.
                if (!spend(group.ends.size())) return;
                optionsOf(group, firsts, k, found);
                if (exhausted_) return;
                if (k < LONGEST_PREFIX)
                    splitByPrecedingByte(page_, group, k, children,
                                         [&firsts](uint32_t m) { return firsts[m].at; });
            }
            groups.swap(children);
        }
    }

private:
    struct LinkInfo {
        int32_t kind;
        int32_t identity;
        uint32_t end;
        int8_t tenth;  // -1 unknown, else whether the link stands for the tenth sample
    };

    bool spend(std::size_t steps) {
        if (exhausted_) return false;
        if (steps > budget_ - used_) {
            exhausted_ = true;
            return false;
        }
        used_ += steps;
        return true;
    }

    static int32_t idOf(std::unordered_map<std::string, int32_t>& ids, std::string&& text) {
        return ids.try_emplace(std::move(text), static_cast<int32_t>(ids.size())).first->second;
    }

    LinkInfo& info(std::size_t at) {
        int32_t& slot = infoOf_[at];
        if (slot < 0) {
            const std::string_view link = linkAt(page_, at);
            spend(std::min(link.size(), MAX_LINK_EXAMINED) + LINK_STEPS);
            LinkFacts facts = linkFactsOf(link, address_);
            if (kindIds_.find(facts.kind) == kindIds_.end()) kindNames_.push_back(facts.kind);
            const int32_t kindId = idOf(kindIds_, std::move(facts.kind));
            const int32_t identity = idOf(identityIds_, std::move(facts.identity));
            slot = static_cast<int32_t>(infos_.size());
            infos_.push_back({kindId, identity, static_cast<uint32_t>(at + link.size()), -1});
        }
        return infos_[static_cast<std::size_t>(slot)];
    }

    bool standsForTenth(std::size_t at) {
        LinkInfo& link = info(at);
        if (link.tenth < 0) link.tenth = matchSample(linkAt(page_, at), tenth_, address_) != SampleMatch::None;
        return link.tenth > 0;
    }

    // The groups of the shortest prefix, each with the ends of every occurrence of its bytes.
    std::vector<Group> shortestPrefixGroups(const std::vector<FirstLink>& firsts) {
        std::vector<Group> groups;
        std::vector<std::string_view> grams;
        for (uint32_t m = 0; m < firsts.size(); ++m) {
            const std::size_t v = firsts[m].at;
            if (v < SHORTEST_PREFIX) continue;
            const std::string_view gram = page_.substr(v - SHORTEST_PREFIX, SHORTEST_PREFIX);
            const auto known = std::find(grams.begin(), grams.end(), gram);
            if (known != grams.end()) {
                groups[static_cast<std::size_t>(known - grams.begin())].members.push_back(m);
                continue;
            }
            grams.push_back(gram);
            Group& group = groups.emplace_back();
            group.members.push_back(m);
            if (!spend(page_.size() / 8 + 1)) return {};
            for (std::size_t q = page_.find(gram); q != std::string_view::npos; q = page_.find(gram, q + 1))
                group.ends.push_back(static_cast<uint32_t>(q + SHORTEST_PREFIX));
        }
        return groups;
    }

    // The links a rule of this prefix and kind yields, as extendedRuleLinks walks them.
    Walk walk(const std::vector<uint32_t>& ends, std::size_t k, int32_t kind) {
        Walk w;
        if (!spend(ends.size())) return w;
        std::array<uint32_t, TEN> recent{};
        std::size_t resume = 0;
        int32_t previous = -1;
        for (const uint32_t e : ends) {
            if (e - k < resume) continue;
            const LinkInfo& link = info(e);
            resume = link.end;
            if (link.kind != kind) continue;
            if (link.identity != previous) {
                recent[w.count % TEN] = e;
                ++w.count;
                if (w.count == 1) w.first = e;
                if (w.count == TEN) w.tenth = e;
                w.last = e;
            }
            previous = link.identity;
        }
        if (w.count >= TEN) w.lastTenFirst = recent[w.count % TEN];
        return w;
    }

    std::optional<RuleFit> fitOf(const Walk& w, std::size_t v) {
        if (w.count == 0) return std::nullopt;
        if (w.count <= TEN) {
            if (w.first == v && standsForTenth(w.last)) return RuleFit::AllResults;
            return std::nullopt;
        }
        if (w.first == v && standsForTenth(w.tenth)) return RuleFit::FirstTen;
        if (w.lastTenFirst == v && standsForTenth(w.last)) return RuleFit::LastTen;
        return std::nullopt;
    }

    void optionsOf(const Group& group, const std::vector<FirstLink>& firsts, std::size_t k,
                   std::vector<Found>& found) {
        std::vector<std::pair<int32_t, Walk>> walks;  // one walk for each kind among the members
        for (const uint32_t m : group.members) {
            const FirstLink& first = firsts[m];
            auto known = std::find_if(walks.begin(), walks.end(), [&](const auto& w) { return w.first == first.kind; });
            if (known == walks.end()) {
                walks.emplace_back(first.kind, walk(group.ends, k, first.kind));
                known = walks.end() - 1;
            }
            const auto fit = fitOf(known->second, first.at);
            if (!fit) continue;
            const std::string_view prefix = page_.substr(first.at - k, k);
            RuleOption option{{selectionOf(*fit), std::string(prefix), kindNames_[static_cast<std::size_t>(first.kind)]},
                              *fit, known->second.count, first.match, isMarkupAligned(prefix)};
            found.push_back({std::move(option), k, first.at});
        }
    }

    std::string_view page_;
    const PageAddress& address_;
    const SampleForms& tenth_;
    const std::size_t budget_;
    std::size_t used_ = 0;
    bool exhausted_ = false;
    std::vector<int32_t> infoOf_;
    std::vector<LinkInfo> infos_;
    std::unordered_map<std::string, int32_t> kindIds_;
    std::vector<std::string> kindNames_;
    std::unordered_map<std::string, int32_t> identityIds_;
};

bool before(const Found& a, const Found& b) {
    const RuleOption& x = a.option;
    const RuleOption& y = b.option;
    if (x.match != y.match) return x.match > y.match;
    if (x.fit != y.fit) return x.fit < y.fit;
    if (x.links != y.links) return x.links > y.links;
    if (x.markupAligned != y.markupAligned) return x.markupAligned;
    if (a.prefixLength != b.prefixLength) return a.prefixLength < b.prefixLength;
    return a.firstLink < b.firstLink;
}

}  // namespace

bool isMarkupAligned(std::string_view prefix) {
    if (prefix.empty() || isBareHref(prefix)) return false;
    if (prefix[0] == '<') return true;
    return isSpace(prefix[0]) && attributeNameLength(prefix, 1) > 0;
}

ExtendedSearch findExtendedRules(std::string_view cutPage, const PageAddress& page, const SampleForms& first,
                                 const SampleForms& tenth) {
    ExtendedSearch result;
    if (first.bytes.empty() || tenth.bytes.empty()) return result;
    const SampleLinks firsts = findSampleLinks(cutPage, first, page, FIRST_SAMPLE_LINKS_TRIED);
    Search search(cutPage, page, tenth);
    std::vector<Found> found;
    search.run(firsts.links, found);
    result.exhausted = firsts.exhausted || search.exhausted();
    std::stable_sort(found.begin(), found.end(), before);
    for (Found& f : found) {
        if (result.options.size() == OPTIONS_KEPT) break;
        const bool seen = std::any_of(result.options.begin(), result.options.end(),
                                      [&](const RuleOption& o) { return o.rule == f.option.rule; });
        if (!seen) result.options.push_back(std::move(f.option));
    }
    return result;
}

}  // namespace vexor
