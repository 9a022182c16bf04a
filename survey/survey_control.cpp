// The worker thread's lifetime.
#include "survey/survey_control.h"

#include <system_error>
#include <thread>

#include "survey/survey_worker.h"

namespace vexor {

bool startWorker(SurveyState& state, const EngineDefinition& engine, SurveyEvents& events,
                 PageFetcher fetch, Clock clock, RunOptions options) {
    if (state.surveyRunning) return false;
    waitForSurvey(state);  // a worker that ended by itself is still to be joined
    state.abortRequested = false;
    state.engineRefused = false;
    state.runRows = rowsThisRun(state, options.failedOnly);
    state.surveyRunning = true;  // before the thread exists, so no second start slips in
    try {
        state.workerThread = std::thread(
            runSurvey, SurveyContext{state, engine, events, std::move(fetch), std::move(clock), options});
    } catch (const std::system_error&) {
        state.runLock.release();
        state.surveyRunning = false;
        return false;
    }
    return true;
}

void abortSurvey(SurveyState& state) {
    state.abortRequested = true;
    waitForSurvey(state);
}

void waitForSurvey(SurveyState& state) {
    if (state.workerThread.joinable()) state.workerThread.join();
}

}  // namespace vexor
