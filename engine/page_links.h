// The result links of one page as a survey reads them: with an engine's extended rules when it
// has them, else with its link rules as ever.
#pragma once

#include <deque>
#include <string>

#include "engine/engine_definition.h"
#include "engine/extended_rules.h"

namespace vexor {

struct PageLinks {
    std::deque<std::string> links;  // in page order; empty when no rule applies
    bool countsVary = false;        // the rule takes every result, however many the page holds
};

// The first rule that yields links gives them. pageAddress is the address the page was fetched
// from, against which extended rules read relative links; memo, when given, keeps what they
// learn of the page's links for the next reading of the same page.
PageLinks readResultPage(const std::string& page, const EngineDefinition& engine,
                         const std::string& pageAddress, LinkFactsMemo* memo = nullptr);

// Whether a page mostly repeats the one before, as engines answer pages past their last: more
// than half as many (link, earlier link) pairs are equal as the page has links.
bool repeatsPreviousPage(const std::deque<std::string>& current, const std::deque<std::string>& previous);

}  // namespace vexor
