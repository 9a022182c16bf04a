// The extended learning of link rules, for pages the short-prefix rules do not serve: samples
// given as a user has them, pages with fewer or more than ten results, links of other kinds and
// ads behind the same markup as the results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/engine_definition.h"
#include "engine/rule.h"
#include "engine/link_address.h"
#include "engine/link_facts.h"
#include "engine/learn_samples.h"

namespace vexor {

struct RuleOption {
    Rule rule;            // reads facts, stride 1; its selection is how it fits the sample page
    std::size_t links;    // how many links the rule yields from the sample page
    SampleMatch match;    // how the link of the 1st sample stood for it
    bool markupAligned;   // the prefix begins a tag or an attribute and is more than a bare href
    std::vector<uint32_t> results;  // where the links its selection takes from the sample page start

    friend bool operator==(const RuleOption&, const RuleOption&) = default;
};

// How well a selection fits the samples, best first: EveryLink (the rule's links begin with the
// 1st sample and end with the 10th, RESULTS_PER_PAGE or fewer) 0, FirstTen (more links, the 1st
// sample first and the 10th tenth) 1, LastTen (the last ten run from the 1st sample to the 10th)
// 2; a selection no option has 3.
int fitRank(LinkSelection selection);

struct ExtendedSearch {
    std::vector<RuleOption> options;  // distinct rules, best first
    bool exhausted = false;           // stopped at the work bound; options may be missing
};

// How many of the 1st sample's links are tried, and how many options are kept.
inline constexpr std::size_t FIRST_SAMPLE_LINKS_TRIED = 64;
inline constexpr std::size_t OPTIONS_KEPT = 16;

// The extended rules that fit the page already cut to its markers, fetched from page. For every
// link that stands for the first sample (findSampleLinks), each prefix of 3 to 99 bytes before
// it ending at that link's start is walked as a survey walks it (walkRule, reading facts, with
// the kind of that link) and kept when it fits (fitRank). Options are ordered by: how the 1st
// sample matched (Literal first), fitRank, more links, prefixes
// aligned to the markup first, shorter prefixes, earlier links; equal rules count once. facts,
// when given, is the table of cutPage that the walks fill and use; only facts first worked out
// here count against the search's work bound.
ExtendedSearch findExtendedRules(std::string_view cutPage, const PageAddress& page, const SampleForms& first,
                                 const SampleForms& tenth, LinkFactsTable* facts = nullptr);

// Whether a prefix begins where markup begins (a tag's "<", or white space before an attribute
// name and "=") and holds more than the bare link attribute ("href=\"", "<a href=\"").
bool isMarkupAligned(std::string_view prefix);

}  // namespace vexor
