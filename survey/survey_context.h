// What the survey worker and the rank search work with: the shared survey state, the current
// engine, where to report, and the two seams (page fetcher, clock). Every reference outlives
// the worker: they all belong to the state object made by the front end's main.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
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

// A person stepping in when the engine answers with a consent or captcha page (cause): called on
// the worker thread after SurveyEvents::waitingForPerson, it returns once the person has answered
// (true: they completed the page in the browser window the pages are fetched through, so the same
// page is asked for again) or, false, at once when abortFlag is set.
using HandOff = std::function<bool(int row, FailureCause cause, const std::atomic<bool>& abortFlag)>;

// What a run searches, how it waits, which way its requests go and who steps in.
struct RunOptions {
    // The only keywords searched, when set: those whose record in the current generation is a
    // failure (a retry of the failed keywords).
    bool failedOnly = false;
    BackOff backOff = {};
    // When not empty, the fetchers taken in turn in place of the context's own: the run's first
    // keyword searched goes through the first, the next through the next, starting over after
    // the last; every page of a keyword through one.
    std::vector<ProxyRoute> proxies = {};
    // Empty: a consent or captcha page fails the keyword with its cause.
    HandOff handOff = {};
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
