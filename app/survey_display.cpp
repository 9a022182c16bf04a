// Texts of the result list for a survey.
#include "app/survey_display.h"

#include "app/list_columns.h"
#include "app/survey_failures.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "survey/history.h"

namespace vexor {
namespace {

constexpr int CURRENT_RUN_COLUMN = 1;
constexpr int ABORTED_RANK = -1;

}  // namespace

std::string rankCellText(const std::optional<RankEntry>& entry) {
    if (!entry) return "";
    if (entry->failure) return failureText(*entry->failure);
    if (entry->rank == 0) return texts::TEXT_NOT_FOUND;
    return std::to_string(entry->rank);
}

void showHistory(ResultList& list, const SurveyState& state) {
    for (int k = 0; k < HISTORY_GENERATIONS; ++k) {
        list.setColumnCaption(CURRENT_RUN_COLUMN + k, state.generationCaptions[k]);
        list.setColumnTip(CURRENT_RUN_COLUMN + k,
                          columnTipText(state.generationCaptions[k], state.generationStarts[k]));
    }
    for (std::size_t row = 0; row < state.keywords.size(); ++row)
        for (int k = 0; k < HISTORY_GENERATIONS; ++k)
            list.setCell(static_cast<int>(row), CURRENT_RUN_COLUMN + k,
                         rankCellText(entryOf(state.historyTables[k], state.keywords[row])));
}

std::string resultText(int rank) {
    return rank == ABORTED_RANK ? std::string(texts::TEXT_ABORTED) : rankCellText(RankEntry{rank, {}});
}

std::string progressText(int examined) { return formatWithNumber(texts::FMT_PROGRESS, examined); }

void showSurveyResult(ResultList& list, int row, int rank) {
    list.setCell(row, CURRENT_RUN_COLUMN, resultText(rank));
}

void showSurveyProgress(ResultList& list, int row, int examined) {
    list.setCell(row, CURRENT_RUN_COLUMN, progressText(examined));
}

}  // namespace vexor
