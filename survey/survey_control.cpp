// The start and abort commands and the worker thread's lifetime.
#include "survey/survey_control.h"

#include <system_error>
#include <thread>

#include "app/texts.h"
#include "engine/engine_name.h"
#include "survey/history.h"
#include "survey/survey_file.h"
#include "survey/survey_worker.h"

namespace vexor {

bool startSurvey(SurveyState& state, const EngineDefinition& engine,
                 const std::string& currentEnginePath, SurveyHost& host, SurveyEvents& events,
                 PageFetcher fetch, Clock clock) {
    if (state.surveyRunning) return false;
    waitForSurvey(state);  // a worker that ended by itself is still to be joined

    if (!isLearnt(engine)) {
        host.ui.showMessage(Owner::MainWindow, texts::MSG_NOT_LEARNT, Icon::Warning);
        return false;
    }
    if (!openSurveyFile(state, state.surveyPath, host)) return false;

    const std::string engineName = baseName(currentEnginePath);
    const std::string header = generationHeader(clock(), engineName);
    if (!canResumeGeneration(state, engineName)) rotateHistory(state, header, host.ui);
    // Without a header (say the folder could not be made) the survey still runs.
    writeGenerationHeader(state.historyDirectory, header);

    state.abortRequested = false;
    state.surveyRunning = true;  // before the thread exists, so no second start slips in
    try {
        state.workerThread = std::thread(
            runSurvey, SurveyContext{state, engine, events, std::move(fetch), std::move(clock)});
    } catch (const std::system_error&) {
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
