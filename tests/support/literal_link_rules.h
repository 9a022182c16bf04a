// The link-rule learning written step by step as the straightforward algorithm reads: for every
// occurrence of the first sample and every prefix length, a fresh scan of the whole page. Slow
// on purpose; the fast search in engine/learn_links.cpp must give exactly the same rules.
#pragma once

#include <string_view>
#include <vector>

#include "engine/engine_definition.h"

namespace vexor::testing {

// Rules found in a page already cut to the markers, for the two samples (already cut at their
// first space).
std::vector<LinkRule> literalLinkRules(std::string_view cutPage, std::string_view firstSample,
                                       std::string_view tenthSample);

// The whole stage on a fetched page: the cut to the markers, the samples cut at their first
// space, the rules.
std::vector<LinkRule> literalLearnedRules(std::string_view page, std::string_view startMarker,
                                          std::string_view endMarker, std::string_view firstResultUrl,
                                          std::string_view tenthResultUrl);

}  // namespace vexor::testing
