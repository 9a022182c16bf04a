// What the survey worker and the rank search work with: the shared survey state, the current
// engine, where to report, and the two seams (page fetcher, clock). Every reference outlives
// the worker: they all belong to the state object made by the front end's main.
#pragma once

#include <chrono>
#include <string>
#include <vector>

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

// A fetcher whose requests go through one proxy, and that proxy as the user wrote it.
struct ProxyRoute {
    PageFetcher fetch;
    std::string proxy;
};

// What a run searches, how it waits and which way its requests go.
struct RunOptions {
    // The only keywords searched, when set: those whose record in the current generation is a
    // failure (a retry of the failed keywords).
    bool failedOnly = false;
    BackOff backOff = {};
    // When not empty, the fetchers taken in turn in place of the context's own: the run's first
    // keyword searched goes through the first, the next through the next, starting over after
    // the last; every page of a keyword through one.
    std::vector<ProxyRoute> proxies = {};
};

struct SurveyContext {
    SurveyState& state;
    const EngineDefinition& engine;
    SurveyEvents& events;
    PageFetcher fetch;  // the current keyword's fetcher
    Clock clock;
    RunOptions options = {};
    std::string proxy = {};  // the proxy fetch goes through, "" when it is none of the run's
};

}  // namespace vexor
