// Starting and aborting a survey from the user-interface thread.
#pragma once

#include <string>

#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_events.h"
#include "survey/survey_host.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

// The start command. Refuses an engine without rules ("未学習です", nothing read or written) and
// does nothing while a worker still runs. Otherwise reads state.surveyPath again (its failure
// message stops the start), continues the current history generation when it is unfinished and
// was begun under the same engine (baseName of currentEnginePath) or else rotates the history,
// makes sure 0.txt has a header, clears abortRequested, sets surveyRunning and starts the worker
// thread. True when the worker was started. engine and events must outlive the worker (join it
// with abortSurvey or waitForSurvey before they go).
bool startSurvey(SurveyState& state, const EngineDefinition& engine,
                 const std::string& currentEnginePath, SurveyHost& host, SurveyEvents& events,
                 PageFetcher fetch, Clock clock);

// The abort command: sets abortRequested and waits for the worker to end; without a worker it
// only sets the flag (the next start clears it).
void abortSurvey(SurveyState& state);

// Waits for the worker to end without asking it to stop (a finished worker is just joined).
// vexor-cli uses it to run a survey to its end; every owner calls this or abortSurvey before
// SurveyState goes away.
void waitForSurvey(SurveyState& state);

}  // namespace vexor
