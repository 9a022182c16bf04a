// The link-rule learning written step by step as the straightforward algorithm reads: for every
// occurrence of the first sample and every prefix length, a fresh scan of the whole page. Slow
// on purpose; the fast searches in engine/learn_plain.cpp and engine/learn_extended.cpp
// must give exactly the same rules.
#pragma once

#include <string_view>
#include <vector>

#include "engine/engine_definition.h"
#include "engine/learn_extended.h"

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

// The extended search on a page already cut to its markers: every link start of the page tried
// against the first sample in page order (the first FIRST_SAMPLE_LINKS_TRIED that match), every
// prefix length before each walked afresh with walkRule, the fitting ones ordered and
// kept as findExtendedRules orders and keeps them.
std::vector<RuleOption> literalExtendedRules(std::string_view cutPage, const PageAddress& page,
                                             const SampleForms& first, const SampleForms& tenth);

}  // namespace vexor::testing
