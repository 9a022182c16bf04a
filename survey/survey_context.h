// What the survey worker and the rank search work with: the shared survey state, the current
// engine, where to report, and the two seams (page fetcher, clock). Every reference outlives
// the worker: they all belong to the state object made by the front end's main.
#pragma once

#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_events.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

struct SurveyContext {
    SurveyState& state;
    const EngineDefinition& engine;
    SurveyEvents& events;
    PageFetcher fetch;
    Clock clock;
};

}  // namespace vexor
