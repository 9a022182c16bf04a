// The extended rule search.
//
// For one link of the first sample at position v, the prefix of k bytes is page[v-k, v). Links
// of the first sample whose k bytes before are equal share that prefix, its walk and so its
// outcome: they form the prefix groups of learn_prefix_groups.h. Walking a prefix's occurrences
// needs each link's end, kind and identity; a LinkFactsTable works those out once per position.
// The search counts its steps and stops, marked exhausted, past a bound proportional to the
// page, so a hostile page cannot hold the user interface for long.
#include "engine/learn_extended.h"

#include <algorithm>
#include <array>
#include <optional>

#include "engine/learn_prefix_groups.h"
#include "engine/link_end.h"
#include "engine/link_facts.h"
#include "engine/rule_walk.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

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


// "href=" with its quote, alone or after "<a" and white space.
bool isBareHref(std::string_view prefix) {
    std::size_t i = 0;
    if (i < prefix.size() && prefix[i] == '<') ++i;
    if (i == 1 && i < prefix.size() && lowerAscii(prefix[i]) == 'a') ++i;
    while (i < prefix.size() && isAsciiSpace(prefix[i])) ++i;
    const std::string rest = lowerAscii(prefix.substr(i));
    return rest == "href=" || rest == "href=\"" || rest == "href='";
}

// What the fit of a rule needs from the links its walk yields: how many, and where the first
// ten and the last ten stand (the selections take them; the fit looks at their ends).
struct WalkSummary {
    std::size_t count = 0;
    std::array<uint32_t, RESULTS_PER_PAGE> firstTen{};
    std::array<uint32_t, RESULTS_PER_PAGE> lastTen{};  // in page order once the walk is done

    uint32_t first() const { return firstTen[0]; }
    uint32_t tenth() const { return firstTen[RESULTS_PER_PAGE - 1]; }
    uint32_t lastTenFirst() const { return lastTen[0]; }
    uint32_t last() const { return count <= RESULTS_PER_PAGE ? firstTen[count - 1] : lastTen[RESULTS_PER_PAGE - 1]; }
};

std::vector<uint32_t> selectedStarts(const WalkSummary& w, LinkSelection selection) {
    const auto& from = selection == LinkSelection::LastTen ? w.lastTen : w.firstTen;
    return {from.begin(), from.begin() + static_cast<std::ptrdiff_t>(std::min(w.count, RESULTS_PER_PAGE))};
}

struct FirstLink {
    uint32_t at;
    SampleMatch match;
    int32_t kind;
};

class Search {
public:
    Search(std::string_view page, const PageAddress& address, const SampleForms& tenth, LinkFactsTable* facts)
        : page_(page), address_(address), tenth_(tenth), budget_(page.size(), STEPS_PER_BYTE, STEPS_FLOOR),
          facts_(facts ? *facts : ownFacts_) {}

    bool exhausted() const { return budget_.exhausted(); }

    void run(const std::vector<SampleLink>& links, std::vector<Found>& found) {
        std::vector<FirstLink> firsts;
        std::vector<uint32_t> positions;
        for (const SampleLink& link : links) {
            firsts.push_back({static_cast<uint32_t>(link.start), link.match, ids(link.start).kind});
            positions.push_back(static_cast<uint32_t>(link.start));
        }
        // Finding the ends of a gram counts as an eighth of a pass over the page.
        std::vector<PrefixGroup> groups = shortestPrefixGroups(page_, positions);
        if (!budget_.spend(groups.size() * (page_.size() / 8 + 1))) return;
        const auto visit = [&](const PrefixGroup& group, std::size_t k) {
            // The split costs a pass over the ends, and so does each walk in optionsOf.
            if (!budget_.spend(group.ends.size())) return GroupStep::Stop;
            optionsOf(group, firsts, k, found);
            return budget_.exhausted() ? GroupStep::Stop : GroupStep::Grow;
        };
        searchPrefixGroups(page_, std::move(groups), [&firsts](uint32_t m) { return firsts[m].at; }, visit);
    }

    // The facts of the link at at, counted against the budget when first worked out (its bytes
    // as far as they are read, and the step of working them out).
    LinkFactsTable::Ids ids(std::size_t at) {
        const std::size_t asked = facts_.asked();
        const LinkFactsTable::Ids found = facts_.at(page_, at, address_);
        if (facts_.asked() > asked) budget_.spend(std::min<std::size_t>(found.end - at, MAX_LINK_EXAMINED) + LINK_STEPS);
        return found;
    }
    std::size_t end(std::size_t at) { return ids(at).end; }
    int32_t identity(const LinkFactsTable::Ids& ids) { return facts_.identityOf(ids, address_); }

private:
    bool standsForTenth(std::size_t at) {
        const auto slot = static_cast<std::size_t>(facts_.slotAt(at));
        if (tenthOf_.size() <= slot) tenthOf_.resize(slot + 1, -1);
        int8_t& tenth = tenthOf_[slot];
        if (tenth < 0) tenth = matchSample(linkAt(page_, at), tenth_, address_) != SampleMatch::None;
        return tenth > 0;
    }

    // The links a rule of this prefix and kind yields, as walkRule walks them.
    WalkSummary walk(const std::vector<uint32_t>& ends, std::size_t k, int32_t kind) {
        WalkSummary w;
        if (!budget_.spend(ends.size())) return w;
        std::array<uint32_t, RESULTS_PER_PAGE> recent{};  // the last ten, a ring
        GroupEnds occurrences{ends, k};
        walkOccurrences(occurrences, *this, WalkSteps{1, true, kind}, [&](std::size_t start, std::size_t) {
            const auto e = static_cast<uint32_t>(start);
            recent[w.count % RESULTS_PER_PAGE] = e;
            if (w.count < RESULTS_PER_PAGE) w.firstTen[w.count] = e;
            ++w.count;
        });
        if (w.count >= RESULTS_PER_PAGE)
            for (std::size_t i = 0; i < RESULTS_PER_PAGE; ++i) w.lastTen[i] = recent[(w.count + i) % RESULTS_PER_PAGE];
        return w;
    }

    // The selection that puts the samples where the walk's links stand, with the 1st at v.
    std::optional<LinkSelection> fitOf(const WalkSummary& w, std::size_t v) {
        if (w.count == 0) return std::nullopt;
        if (w.count <= RESULTS_PER_PAGE) {
            if (w.first() == v && standsForTenth(w.last())) return LinkSelection::EveryLink;
            return std::nullopt;
        }
        if (w.first() == v && standsForTenth(w.tenth())) return LinkSelection::FirstTen;
        if (w.lastTenFirst() == v && standsForTenth(w.last())) return LinkSelection::LastTen;
        return std::nullopt;
    }

    void optionsOf(const PrefixGroup& group, const std::vector<FirstLink>& firsts, std::size_t k,
                   std::vector<Found>& found) {
        std::vector<std::pair<int32_t, WalkSummary>> walks;  // one walk for each kind among the members
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
            RuleOption option{{std::string(prefix), *fit, 1, true, std::string(facts_.kindName(first.kind)), ""},
                              known->second.count, first.match, isMarkupAligned(prefix),
                              selectedStarts(known->second, *fit)};
            found.push_back({std::move(option), k, first.at});
        }
    }

    std::string_view page_;
    const PageAddress& address_;
    const SampleForms& tenth_;
    WorkBudget budget_;
    LinkFactsTable ownFacts_;
    LinkFactsTable& facts_;
    std::vector<int8_t> tenthOf_;  // by slot of the facts: -1 unknown, else whether it stands for the tenth sample
};

bool before(const Found& a, const Found& b) {
    const RuleOption& x = a.option;
    const RuleOption& y = b.option;
    if (x.match != y.match) return x.match > y.match;
    if (x.rule.selection != y.rule.selection) return fitRank(x.rule.selection) < fitRank(y.rule.selection);
    if (x.links != y.links) return x.links > y.links;
    if (x.markupAligned != y.markupAligned) return x.markupAligned;
    if (a.prefixLength != b.prefixLength) return a.prefixLength < b.prefixLength;
    return a.firstLink < b.firstLink;
}

}  // namespace

int fitRank(LinkSelection selection) {
    switch (selection) {
        case LinkSelection::EveryLink: return 0;
        case LinkSelection::FirstTen: return 1;
        case LinkSelection::LastTen: return 2;
        case LinkSelection::ExactlyTen: break;
    }
    return 3;
}

bool isMarkupAligned(std::string_view prefix) {
    if (prefix.empty() || isBareHref(prefix)) return false;
    if (prefix[0] == '<') return true;
    return isAsciiSpace(prefix[0]) && attributeNameLength(prefix, 1) > 0;
}

ExtendedSearch findExtendedRules(std::string_view cutPage, const PageAddress& page, const SampleForms& first,
                                 const SampleForms& tenth, LinkFactsTable* facts) {
    ExtendedSearch result;
    if (first.bytes.empty() || tenth.bytes.empty()) return result;
    const SampleLinks firsts = findSampleLinks(cutPage, first, page, FIRST_SAMPLE_LINKS_TRIED);
    Search search(cutPage, page, tenth, facts);
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
