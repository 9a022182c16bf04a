// Learning the rules that pick the ten result links out of a results page: fetch result page 1
// of the sample keyword and find short prefixes whose occurrences are followed by the user's
// 1st and 10th result addresses where a run of ten results puts them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_definition.h"
#include "web/page_fetcher.h"

namespace vexor {

// Prefixes are tried from this many bytes up to, not including, LONGEST_PREFIX + 1.
inline constexpr std::size_t SHORTEST_PREFIX = 3;
inline constexpr std::size_t LONGEST_PREFIX = 99;

// A result field up to, not including, its first space: the field may carry more than the
// address (a size or a date copied with it), and only the address is compared.
std::string_view sampleOf(std::string_view resultField);

// The rules found in cutPage (already cut to the markers), one at most for every
// non-overlapping occurrence of firstSample, in page order; equal rules are all kept.
// For each occurrence the shortest prefix of 3 to 99 bytes standing before it wins; for a
// prefix with exactly ten non-overlapping occurrences only ExactlyTen is possible, with more
// than ten FirstTen when the first is followed by firstSample and LastTen otherwise, each with
// its smallest fitting stride. An empty firstSample yields no rules.
std::vector<LinkRule> findLinkRules(std::string_view cutPage, std::string_view firstSample,
                                    std::string_view tenthSample);

// Fetches result page 1 of the definition's sample keyword through its learnt query template,
// cuts it to the markers and learns its rules. True when at least one rule was found: the
// definition's rules are then exactly those, and every other field is unchanged. False leaves
// the definition untouched (nothing fetched, nothing left between the markers, no rule).
bool learnLinkRules(EngineDefinition& definition, const PageFetcher& fetch);

}  // namespace vexor
