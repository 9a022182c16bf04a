// One rank search against the fake engine through the real fetcher, on a survey state of its
// own: what tests that learn or load an engine want to know of it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_definition.h"
#include "survey/survey_events.h"
#include "web/page_fetcher.h"

namespace vexor::test {

struct LiveSearch {
    int32_t rank;
    SearchEnding ending;  // as reported to the survey events
    RankEntry recorded;   // what history table 0 was left with
};

// Searches keyword (code page 932) for target with engine, fetching through fetch; 429 and 503
// answers are asked again twice after a short pause.
LiveSearch searchLive(const EngineDefinition& engine, const std::string& keyword,
                      const std::string& target, PageFetcher fetch = fetchPage);

}  // namespace vexor::test
