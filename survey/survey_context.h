// What the survey worker and the rank search work with: the shared survey state, the current
// engine, where to report, and the two seams (page fetcher, clock). Every reference outlives
// the worker: they all belong to the state object made by the front end's main.
#pragma once

#include <chrono>

#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_events.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

// How the rank search waits out an engine that answers 429 or 503: the Retry-After it sends,
// held at most at longest, else pause; the page is asked for again up to retries times.
struct BackOff {
    int retries = 2;
    std::chrono::milliseconds pause{15000};
    std::chrono::milliseconds longest{120000};
};

// What a run searches and how it waits.
struct RunOptions {
    // The only keywords searched, when set: those whose record in the current generation is a
    // failure (a retry of the failed keywords).
    bool failedOnly = false;
    BackOff backOff = {};
};

struct SurveyContext {
    SurveyState& state;
    const EngineDefinition& engine;
    SurveyEvents& events;
    PageFetcher fetch;
    Clock clock;
    RunOptions options = {};
};

}  // namespace vexor
