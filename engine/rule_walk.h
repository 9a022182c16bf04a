// Walking a rule over a page and selecting its results: the one way links are read, whether a
// survey reads a page, learning checks pages 2 and 3, or a learner tries a candidate prefix.
//
// A walk goes through the occurrences of the prefix from the start of the region. The link after
// an occurrence runs to its end (linkAt); the next occurrence is looked for from there, so an
// occurrence inside a link is passed over, and with a stride only every stride-th occurrence
// introduces a link (the skipped ones are passed over up to their own end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/link_address.h"
#include "engine/link_facts.h"
#include "engine/rule.h"

namespace vexor {

inline constexpr int32_t ANY_KIND = -1;

// How a walk treats the links it meets; kind is a LinkFactsTable number, or ANY_KIND.
struct WalkSteps {
    int32_t stride = 1;
    bool readsFacts = false;
    int32_t kind = ANY_KIND;
};

// The walk itself, for any way of finding occurrences and facts:
// occurrences.next(from) is the end of the first occurrence of the prefix that starts at or after
// from, or npos; facts.end(start) is where the link starting at start ends, facts.ids(start) its
// LinkFactsTable::Ids and facts.identity(ids) the number of its identity (asked only when the walk
// reads facts, the identity only of a link of the walk's kind); take(start, end) receives each
// link the walk yields, in page order.
template <class Occurrences, class Facts, class Take>
void walkOccurrences(Occurrences& occurrences, Facts& facts, const WalkSteps& steps, Take take) {
    constexpr std::size_t none = std::string_view::npos;
    int32_t previous = -1;
    std::size_t resume = 0;
    for (std::size_t start = occurrences.next(0); start != none; start = occurrences.next(resume)) {
        if (!steps.readsFacts) {
            resume = facts.end(start);
            take(start, resume);
        } else {
            const LinkFactsTable::Ids ids = facts.ids(start);
            resume = ids.end;
            if (steps.kind == ANY_KIND || ids.kind == steps.kind) {
                const int32_t identity = facts.identity(ids);
                if (identity != previous) take(start, resume);
                previous = identity;
            }
        }
        for (int32_t skip = 1; skip < steps.stride; ++skip) {
            resume = occurrences.next(resume);
            if (resume == none) return;
        }
    }
}

struct RuleLink {
    std::size_t start;      // where the link begins in the region
    std::string_view link;  // up to its end
};

// The links rule yields from region (none for an empty prefix), reading relative links against
// page; with a context, only those whose markup before them is a variant of it or that stand in
// its elements but for one; with a container, the first in each element of the container. table,
// when given, keeps the facts of the links met and the walk itself for the next walk of the same
// region.
std::vector<RuleLink> walkRule(std::string_view region, const Rule& rule, const PageAddress& page,
                               LinkFactsTable* table = nullptr);

// The links a selection takes from a rule's links, or none: EveryLink all of them; FirstTen the
// first RESULTS_PER_PAGE and LastTen the last RESULTS_PER_PAGE when there are at least that many;
// ExactlyTen (and any unknown code) all of them when there are exactly RESULTS_PER_PAGE.
std::vector<std::string_view> selectResults(const std::vector<RuleLink>& links, LinkSelection selection);

// Most links a walk yields for its ads to be looked for: more are no page's results.
inline constexpr std::size_t ADS_LOOKED_FOR = 16 * RESULTS_PER_PAGE;

// The results rule reads from region as a survey reads them: its walk, less the links that are
// ads among the others (adsAmong in link_elements.h), then its selection.
std::vector<std::string_view> readResults(std::string_view region, const Rule& rule, const PageAddress& page,
                                          LinkFactsTable* table = nullptr);

}  // namespace vexor
