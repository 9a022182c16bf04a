// Finding the link rules of one results page: for every occurrence of the first sample, the
// shortest prefix of 3 to 99 bytes before it whose occurrences put the samples where ten
// results stand.
//
// The straightforward search scans the page for every occurrence and every prefix length, and
// even a search that narrows one occurrence list per occurrence grows with the square of the
// occurrences when a short sample stands tens of thousands of times. Instead all occurrences
// are taken together, one prefix length after the other. Occurrences whose k bytes before them
// are equal share the prefix and so its outcome: they form a group, which carries the end
// positions of every (overlapping) occurrence of that prefix in the page. A group that finds
// its rule hands it to all its members; the others split by the byte before their prefix, and
// each end position goes to the child whose byte stands before it. Prefixes of one length that
// differ have disjoint end positions, so one length costs at most one pass over the page,
// whatever the number of occurrences; a group with fewer than ten ends is dropped, since longer
// prefixes only occur less often.
#include "engine/learn_links.h"
#include "engine/prefix_groups.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/substring_finder.h"

namespace vexor {
namespace {

constexpr std::size_t LINKS_PER_PAGE = 10;
constexpr int32_t NO_RULE = -1;
// Steps allowed (a member or an end handled at one prefix length): this many per byte of the
// page, and a floor for small pages. Only a page built to repeat itself reaches the bound.
constexpr std::size_t STEPS_PER_BYTE = 32;
constexpr std::size_t STEPS_FLOOR = 4'000'000;

// Members: indices of first-sample occurrences, in page order.
using Group = PrefixGroup;

bool beginsWith(std::string_view page, std::size_t at, std::string_view sample) {
    return page.substr(at, sample.size()) == sample;
}

// The occurrences a search from the start finds when it resumes right after each one.
void pickNonOverlapping(const std::vector<uint32_t>& ends, std::size_t k, std::vector<uint32_t>& picked) {
    picked.clear();
    std::size_t resume = 0;
    for (const uint32_t e : ends) {
        if (e - k < resume) continue;
        picked.push_back(e);
        resume = e;
    }
}

// Selection and stride that the picked occurrences support, if any.
std::optional<std::pair<LinkSelection, int32_t>> selectionFor(std::string_view page,
                                                              const std::vector<uint32_t>& picked,
                                                              std::string_view first, std::string_view tenth) {
    const std::size_t n = picked.size();
    if (n < LINKS_PER_PAGE) return std::nullopt;
    const bool firstFits = beginsWith(page, picked.front(), first);
    const bool lastFits = beginsWith(page, picked.back(), tenth);
    if (n == LINKS_PER_PAGE) {
        if (firstFits && lastFits) return std::pair{LinkSelection::ExactlyTen, 1};
        return std::nullopt;
    }
    const std::size_t strides = n / LINKS_PER_PAGE;
    if (firstFits) {
        for (std::size_t s = 1; s <= strides; ++s)
            if (beginsWith(page, picked[LINKS_PER_PAGE * s - 1], tenth))
                return std::pair{LinkSelection::FirstTen, static_cast<int32_t>(s)};
        return std::nullopt;
    }
    if (!lastFits) return std::nullopt;
    for (std::size_t s = 1; s <= strides; ++s)
        if (beginsWith(page, picked[n - LINKS_PER_PAGE * s], first))
            return std::pair{LinkSelection::LastTen, static_cast<int32_t>(s)};
    return std::nullopt;
}

uint32_t gramAt(std::string_view page, std::size_t end) {
    return static_cast<uint32_t>(static_cast<unsigned char>(page[end - 3])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 1]));
}

// The groups of the shortest prefix: occurrences by their three bytes before, with the ends of
// every occurrence of those three bytes, found in one pass over the page.
std::vector<Group> shortestPrefixGroups(std::string_view page, const std::vector<std::size_t>& occurrences) {
    std::vector<Group> groups;
    std::unordered_map<uint32_t, std::size_t> groupOfGram;
    // Which first two bytes begin a wanted gram: most positions are passed over with one look.
    std::vector<bool> wantedStart(1u << 16, false);
    for (std::size_t i = 0; i < occurrences.size(); ++i) {
        const std::size_t p = occurrences[i];
        if (p < SHORTEST_PREFIX) continue;
        const uint32_t gram = gramAt(page, p);
        auto [slot, added] = groupOfGram.try_emplace(gram, groups.size());
        if (added) groups.emplace_back();
        groups[slot->second].members.push_back(static_cast<uint32_t>(i));
        wantedStart[gram >> 8] = true;
    }
    if (groups.empty()) return groups;
    for (std::size_t e = SHORTEST_PREFIX; e <= page.size(); ++e) {
        const uint32_t gram = gramAt(page, e);
        if (!wantedStart[gram >> 8]) continue;
        if (const auto group = groupOfGram.find(gram); group != groupOfGram.end())
            groups[group->second].ends.push_back(static_cast<uint32_t>(e));
    }
    return groups;
}

}  // namespace

std::vector<LinkRule> findLinkRules(std::string_view cutPage, std::string_view firstSample,
                                    std::string_view tenthSample) {
    std::vector<LinkRule> rules;
    // An empty sample would be found at every position without the search moving on.
    if (firstSample.empty()) return rules;
    std::vector<std::size_t> occurrences;
    const SubstringFinder finder(firstSample);
    for (std::size_t p = finder.find(cutPage, 0); p != std::string_view::npos;
         p = finder.find(cutPage, p + firstSample.size()))
        occurrences.push_back(p);

    std::vector<int32_t> ruleOf(occurrences.size(), NO_RULE);
    std::vector<LinkRule> found;
    std::vector<Group> groups = shortestPrefixGroups(cutPage, occurrences);
    std::vector<Group> children;
    std::vector<uint32_t> picked;
    const std::size_t budget = std::max(STEPS_FLOOR, STEPS_PER_BYTE * cutPage.size());
    std::size_t steps = 0;
    for (std::size_t k = SHORTEST_PREFIX; k <= LONGEST_PREFIX && !groups.empty(); ++k) {
        children.clear();
        for (Group& group : groups) {
            steps += group.members.size() + group.ends.size();
            if (steps > budget) break;
            if (group.ends.size() < LINKS_PER_PAGE) continue;
            pickNonOverlapping(group.ends, k, picked);
            if (const auto selection = selectionFor(cutPage, picked, firstSample, tenthSample)) {
                const std::size_t p = occurrences[group.members.front()];
                found.push_back({selection->first, selection->second, std::string(cutPage.substr(p - k, k))});
                for (const uint32_t m : group.members) ruleOf[m] = static_cast<int32_t>(found.size() - 1);
                continue;
            }
            if (k < LONGEST_PREFIX)
                splitByPrecedingByte(cutPage, group, k, children,
                                     [&occurrences](uint32_t m) { return occurrences[m]; });
        }
        if (steps > budget) break;
        groups.swap(children);
    }
    for (const int32_t r : ruleOf) {
        if (r == NO_RULE) continue;
        if (rules.size() == MOST_RULES) break;
        rules.push_back(found[static_cast<std::size_t>(r)]);
    }
    return rules;
}

}  // namespace vexor
