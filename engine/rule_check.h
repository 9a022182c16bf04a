// Checking learnt rules on the sample's result pages 1 to 3: a rule that picked the samples on
// page 1 by chance rarely yields links on the next pages too.
#pragma once

#include <array>
#include <string>

#include "engine/engine_definition.h"

namespace vexor {

// Result pages 1 to 3 of the sample keyword, as fetched, with their addresses.
struct SamplePages {
    std::array<std::string, 3> addresses;
    std::array<std::string, 3> bodies;
};

// On how many of the three pages engine's rules hold (0 to 3). A page holds when its rules yield
// links (ten for a plain rule), all of resultKind (any kind when empty), and, after page 1, the
// links do not mostly repeat those of the page before, as a survey stops at such a page.
int pagesHeld(const EngineDefinition& engine, const SamplePages& pages, const std::string& resultKind);

}  // namespace vexor
