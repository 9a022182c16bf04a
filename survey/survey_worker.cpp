// The survey worker thread's body.
#include "survey/survey_worker.h"

#include <set>
#include <string_view>

#include "platform/files.h"
#include "survey/history.h"
#include "survey/rank_search.h"

namespace vexor {
namespace {

// Keywords in a row that the engine refuses before the run stops: asking on would only get the
// address blocked for longer.
constexpr int REFUSALS_TO_STOP = 3;

}  // namespace

bool searchedThisRun(const HistoryTable& current, const std::string& keyword, bool failedOnly) {
    const auto found = current.find(keyword);
    if (failedOnly) return found != current.end() && found->second.failed();
    return found == current.end();
}

int keywordsToSearch(const SurveyState& state, bool failedOnly) {
    // A keyword listed twice is searched once: its record then stands in table 0.
    std::set<std::string_view> counted;
    for (const std::string& keyword : state.keywords)
        if (searchedThisRun(state.historyTables[0], keyword, failedOnly)) counted.insert(keyword);
    return static_cast<int>(counted.size());
}

void runSurvey(SurveyContext context) {
    SurveyState& state = context.state;
    // The user-interface thread leaves keywords and the folder alone while surveyRunning is set.
    const std::size_t rows = state.keywords.size();
    const std::string recordFile = historyFilePath(state.historyDirectory, 0);
    int refusals = 0;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string& keyword = state.keywords[row];
        if (!searchedThisRun(state.historyTables[0], keyword, context.options.failedOnly)) continue;
        const RankOutcome outcome = searchRank(context, static_cast<int>(row));
        if (state.abortRequested) {
            context.events.result(static_cast<int>(row), -1);
            break;
        }
        // A record that cannot be written is lost, which is said once; the rank is still shown.
        if (!appendToFile(recordFile, historyRecord(context.clock(), keyword, outcome.entry, outcome.address)) &&
            !state.historyWriteFailed) {
            state.historyWriteFailed = true;
            context.events.historyNotStored();
        }
        context.events.result(static_cast<int>(row), outcome.entry.rank);
        refusals = outcome.entry.failure && isRefusal(*outcome.entry.failure) ? refusals + 1 : 0;
        if (refusals >= REFUSALS_TO_STOP) {
            state.engineRefused = true;
            context.events.engineRefusing();
            break;
        }
    }
    state.runLock.release();
    context.events.surveyEnded();
    // Last: once this is seen false, everything the worker wrote is visible to the reader.
    state.surveyRunning = false;
}

}  // namespace vexor
