// The survey worker thread's body.
#include "survey/survey_worker.h"

#include "platform/files.h"
#include "survey/history.h"
#include "survey/rank_search.h"

namespace vexor {

void runSurvey(SurveyContext context) {
    SurveyState& state = context.state;
    // The user-interface thread leaves keywords and the folder alone while surveyRunning is set.
    const std::size_t rows = state.keywords.size();
    const std::string recordFile = historyFilePath(state.historyDirectory, 0);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string& keyword = state.keywords[row];
        if (state.historyTables[0].contains(keyword)) continue;
        const int32_t rank = searchRank(context, static_cast<int>(row));
        if (state.abortRequested) {
            context.events.result(static_cast<int>(row), -1);
            break;
        }
        // A record that cannot be written is lost, which is said once; the rank is still shown.
        if (!appendToFile(recordFile, historyRecord(context.clock(), keyword, rank)) &&
            !state.historyWriteFailed) {
            state.historyWriteFailed = true;
            context.events.historyNotStored();
        }
        context.events.result(static_cast<int>(row), rank);
    }
    state.runLock.release();
    context.events.surveyEnded();
    // Last: once this is seen false, everything the worker wrote is visible to the reader.
    state.surveyRunning = false;
}

}  // namespace vexor
