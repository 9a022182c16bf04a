// Checking learnt rules on the sample's result pages 1 to 3: a rule that picked the samples on
// page 1 by chance rarely yields links on the next pages too.
#pragma once

#include <array>
#include <string>

#include "engine/engine_definition.h"
#include "engine/link_facts.h"

namespace vexor {

// Result pages 1 to 3 of the sample keyword, as fetched, with their addresses, and the facts of
// their links worked out so far by the rules checked on them.
struct SamplePages {
    std::array<std::string, 3> addresses;
    std::array<std::string, 3> bodies;
    std::array<LinkFactsTable, 3> facts;
};

// On how many of the three pages engine's rules hold (0 to 3). A page holds when its rules yield
// links (RESULTS_PER_PAGE for a plain rule), all of resultKind (any kind when empty; relative links
// by their first path segment), and, after page 1, the
// links do not mostly repeat those of the page before, as a survey stops at such a page.
int pagesHeld(const EngineDefinition& engine, SamplePages& pages, const std::string& resultKind);

// Whether pages 2 and 3 can tell rules apart: one of them has a body of its own, neither empty
// nor a copy of a page before it. Otherwise every rule that yields links on page 1 holds there
// alone.
bool laterPagesTell(const SamplePages& pages);

}  // namespace vexor
