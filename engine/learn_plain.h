// The plain learning of link rules: for every occurrence of the first sample, the shortest
// prefix before it whose occurrences put the samples where the results of a page stand.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/engine_definition.h"

namespace vexor {

// A page that yields more rules than this is built to: the first ones are kept.
inline constexpr std::size_t MOST_RULES = 100;

// The rules found in cutPage (already cut to the markers), one at most for every
// non-overlapping occurrence of firstSample, in page order, at most MOST_RULES; equal rules are
// all kept. For each occurrence the shortest prefix of SHORTEST_PREFIX to LONGEST_PREFIX bytes
// standing before it wins; for a prefix with exactly RESULTS_PER_PAGE non-overlapping occurrences
// only ExactlyTen is possible, with more FirstTen when the first is followed by firstSample and
// LastTen otherwise, each with its smallest fitting stride. An empty firstSample yields no rules.
// The work grows with the page's length, not with the number of occurrences, and is bounded: on
// a page built to repeat itself, occurrences still undecided when the bound is reached yield no
// rule.
std::vector<LinkRule> findLinkRules(std::string_view cutPage, std::string_view firstSample,
                                    std::string_view tenthSample);

}  // namespace vexor
