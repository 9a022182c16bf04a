// The survey worker thread's body.
#include "survey/survey_worker.h"

#include <string_view>
#include <unordered_map>

#include "platform/files.h"
#include "survey/history.h"
#include "survey/rank_search.h"

namespace vexor {
namespace {

// Keywords in a row that the engine refuses before the run stops: asking on would only get the
// address blocked for longer.
constexpr int REFUSALS_TO_STOP = 3;

// A row whose keyword an earlier row of this run searched shows that row's outcome: the keyword
// is searched and recorded once.
void reportAgain(SurveyEvents& events, int row, const RankOutcome& outcome) {
    if (const auto& failure = outcome.entry.failure)
        events.searchEnded(row, {SearchEnd::Failed, failure->page, *failure});
    events.result(row, outcome.entry.rank);
}

}  // namespace

bool searchedThisRun(const HistoryTable& current, const std::string& keyword, bool failedOnly) {
    if (!recordableKeyword(keyword)) return false;
    const auto found = current.find(keyword);
    if (failedOnly) return found != current.end() && found->second.failed();
    return found == current.end();
}

int rowsThisRun(const SurveyState& state, bool failedOnly) {
    int rows = 0;
    for (const std::string& keyword : state.keywords)
        if (searchedThisRun(state.historyTables[0], keyword, failedOnly)) ++rows;
    return rows;
}

void runSurvey(SurveyContext context) {
    SurveyState& state = context.state;
    // The user-interface thread leaves keywords and the folder alone while surveyRunning is set.
    const std::size_t rows = state.keywords.size();
    const std::string recordFile = historyFilePath(state.historyDirectory, 0);
    int refusals = 0;
    std::size_t searchedKeywords = 0;
    std::unordered_map<std::string_view, RankOutcome> searched;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string& keyword = state.keywords[row];
        if (const auto earlier = searched.find(keyword); earlier != searched.end()) {
            reportAgain(context.events, static_cast<int>(row), earlier->second);
            continue;
        }
        if (!searchedThisRun(state.historyTables[0], keyword, context.options.failedOnly)) continue;
        if (const auto& proxies = context.options.proxies; !proxies.empty()) {
            const ProxyRoute& route = proxies[searchedKeywords % proxies.size()];
            context.fetch = route.fetch;
            context.proxy = route.proxy;
        }
        ++searchedKeywords;
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
        searched.emplace(keyword, outcome);
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
