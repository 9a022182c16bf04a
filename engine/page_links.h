// The result links of one page as a survey reads them: the part between the engine's markers,
// walked with its rules (rule_walk.h), the first rule whose selection takes links giving them.
// Works on raw bytes with substring searches; no HTML parsing.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "engine/engine_definition.h"
#include "engine/link_facts.h"

namespace vexor {

// The part of page that is searched: from the first startMarker (included) up to the first
// endMarker (excluded), both searched from the start of the page. An empty or missing start
// marker starts at the page's start; an empty or missing end marker, or one that stands before
// the start marker, ends at the page's end. Shared with learning.
std::string_view cutToMarkers(std::string_view page, const std::string& startMarker,
                              const std::string& endMarker);

struct PageLinks {
    std::deque<std::string> links;  // in page order; empty when no rule applies
    bool countsVary = false;        // the rule takes every result, however many the page holds
};

// The page read with the engine's reading rules (readingRules). pageAddress is the address the
// page was fetched from, against which rules reading facts read relative links; table, when
// given, keeps the facts of the page's links for the next reading of the same page.
PageLinks readResultPage(const std::string& page, const EngineDefinition& engine,
                         const std::string& pageAddress, LinkFactsTable* table = nullptr);

// The page read with the engine's plain rules alone, as programs that know only those read it:
// exactly RESULTS_PER_PAGE links of the first rule that yields them are appended, or nothing.
void parseResultPage(const std::string& page, const EngineDefinition& engine,
                     std::deque<std::string>& links);

// Whether a page mostly repeats the one before, as engines answer pages past their last: more
// than half as many (link, earlier link) pairs are equal as the page has links.
bool repeatsPreviousPage(const std::deque<std::string>& current, const std::deque<std::string>& previous);

}  // namespace vexor
