// Finding the plain link rules of one results page.
//
// The straightforward search scans the page for every occurrence and every prefix length, and
// even a search that narrows one occurrence list per occurrence grows with the square of the
// occurrences when a short sample stands tens of thousands of times. Instead all occurrences
// are taken together in prefix groups (learn_prefix_groups.h): a group that finds its rule hands
// it to all its members, and a group with fewer than RESULTS_PER_PAGE ends is dropped.
#include "engine/learn_plain.h"

#include <optional>

#include "engine/learn_prefix_groups.h"
#include "engine/rule.h"
#include "engine/rule_walk.h"
#include "platform/substring_finder.h"

namespace vexor {
namespace {

constexpr int32_t NO_RULE = -1;
// Steps allowed (a member or an end handled at one prefix length): this many per byte of the
// page, and a floor for small pages. Only a page built to repeat itself reaches the bound.
constexpr std::size_t STEPS_PER_BYTE = 32;
constexpr std::size_t STEPS_FLOOR = 4'000'000;

bool beginsWith(std::string_view page, std::size_t at, std::string_view sample) {
    return page.substr(at, sample.size()) == sample;
}

// Plain learning compares the samples with the bytes right after each occurrence, not with the
// links, so its walk takes every link as ending where it starts.
struct NoLength {
    std::size_t end(std::size_t start) const { return start; }
    LinkFactsTable::Ids ids(std::size_t) const { return {}; }
    int32_t identity(const LinkFactsTable::Ids&) const { return 0; }
};

// The occurrences a search from the start finds when it resumes right after each one.
void pickNonOverlapping(const std::vector<uint32_t>& ends, std::size_t k, std::vector<uint32_t>& picked) {
    picked.clear();
    GroupEnds occurrences{ends, k};
    NoLength facts;
    walkOccurrences(occurrences, facts, WalkSteps{}, [&](std::size_t start, std::size_t) {
        picked.push_back(static_cast<uint32_t>(start));
    });
}

// Selection and stride that the picked occurrences support, if any.
std::optional<std::pair<LinkSelection, int32_t>> selectionFor(std::string_view page,
                                                              const std::vector<uint32_t>& picked,
                                                              std::string_view first, std::string_view tenth) {
    const std::size_t n = picked.size();
    if (n < RESULTS_PER_PAGE) return std::nullopt;
    const bool firstFits = beginsWith(page, picked.front(), first);
    const bool lastFits = beginsWith(page, picked.back(), tenth);
    if (n == RESULTS_PER_PAGE) {
        if (firstFits && lastFits) return std::pair{LinkSelection::ExactlyTen, 1};
        return std::nullopt;
    }
    const std::size_t strides = n / RESULTS_PER_PAGE;
    if (firstFits) {
        for (std::size_t s = 1; s <= strides; ++s)
            if (beginsWith(page, picked[RESULTS_PER_PAGE * s - 1], tenth))
                return std::pair{LinkSelection::FirstTen, static_cast<int32_t>(s)};
        return std::nullopt;
    }
    if (!lastFits) return std::nullopt;
    for (std::size_t s = 1; s <= strides; ++s)
        if (beginsWith(page, picked[n - RESULTS_PER_PAGE * s], first))
            return std::pair{LinkSelection::LastTen, static_cast<int32_t>(s)};
    return std::nullopt;
}

}  // namespace

std::vector<LinkRule> findLinkRules(std::string_view cutPage, std::string_view firstSample,
                                    std::string_view tenthSample) {
    std::vector<LinkRule> rules;
    // An empty sample would be found at every position without the search moving on.
    if (firstSample.empty()) return rules;
    std::vector<uint32_t> occurrences;
    const SubstringFinder finder(firstSample);
    for (std::size_t p = finder.find(cutPage, 0); p != std::string_view::npos;
         p = finder.find(cutPage, p + firstSample.size()))
        occurrences.push_back(static_cast<uint32_t>(p));

    std::vector<int32_t> ruleOf(occurrences.size(), NO_RULE);
    std::vector<LinkRule> found;
    std::vector<uint32_t> picked;
    WorkBudget budget(cutPage.size(), STEPS_PER_BYTE, STEPS_FLOOR);
    const auto visit = [&](const PrefixGroup& group, std::size_t k) {
        if (!budget.spend(group.members.size() + group.ends.size())) return GroupStep::Stop;
        // Longer prefixes only occur less often.
        if (group.ends.size() < RESULTS_PER_PAGE) return GroupStep::Settled;
        pickNonOverlapping(group.ends, k, picked);
        const auto selection = selectionFor(cutPage, picked, firstSample, tenthSample);
        if (!selection) return GroupStep::Grow;
        const std::size_t p = occurrences[group.members.front()];
        found.push_back({selection->first, selection->second, std::string(cutPage.substr(p - k, k))});
        for (const uint32_t m : group.members) ruleOf[m] = static_cast<int32_t>(found.size() - 1);
        return GroupStep::Settled;
    };
    searchPrefixGroups(cutPage, shortestPrefixGroups(cutPage, occurrences),
                       [&occurrences](uint32_t m) { return occurrences[m]; }, visit);
    for (const int32_t r : ruleOf) {
        if (r == NO_RULE) continue;
        if (rules.size() == MOST_RULES) break;
        rules.push_back(found[static_cast<std::size_t>(r)]);
    }
    return rules;
}

}  // namespace vexor
