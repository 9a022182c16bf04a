// Starting, aborting and waiting for the survey worker thread. Deciding whether a run may
// start, and what it shows, is the shell's (app/survey_commands.h).
#pragma once

#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_context.h"
#include "survey/survey_events.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

// Clears abortRequested, sets surveyRunning and starts the worker over state's keywords and
// history folder. False, with nothing started, while a worker still runs or when no thread
// could be made. engine and events must outlive the worker (join it with abortSurvey or
// waitForSurvey before they go). options: which keywords the run searches, how it backs off.
bool startWorker(SurveyState& state, const EngineDefinition& engine, SurveyEvents& events,
                 PageFetcher fetch, Clock clock, RunOptions options = {});

// The abort command: sets abortRequested and waits for the worker to end; without a worker it
// only sets the flag (the next start clears it).
void abortSurvey(SurveyState& state);

// Waits for the worker to end without asking it to stop (a finished worker is just joined).
// Every owner calls this or abortSurvey before SurveyState goes away.
void waitForSurvey(SurveyState& state);

}  // namespace vexor
