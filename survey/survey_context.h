// What the survey worker and the rank search work with: the shared survey state, the current
// engine, where to report, and the two seams (page fetcher, clock). Every reference outlives
// the worker: they all belong to the state object made by the front end's main.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>

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

// A person stepping in when the engine answers with a consent or captcha page (cause): called on
// the worker thread after SurveyEvents::waitingForPerson, it returns once the person has answered
// (true: they completed the page in the browser window the pages are fetched through, so the same
// page is asked for again) or, false, at once when abortFlag is set.
using HandOff = std::function<bool(int row, FailureCause cause, const std::atomic<bool>& abortFlag)>;

// What a run searches and how it waits.
struct RunOptions {
    // The only keywords searched, when set: those whose record in the current generation is a
    // failure (a retry of the failed keywords).
    bool failedOnly = false;
    BackOff backOff = {};
    // Empty: a consent or captcha page fails the keyword with its cause.
    HandOff handOff = {};
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
