// What the result list shows of a survey: the history's captions and cells, and the worker's
// reports in column 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/result_list.h"
#include "survey/survey_state.h"

namespace vexor {

// The text of a history cell: "" for no record, "-" for 0 (not found), the failure's text
// ("失敗: HTTP 429") for a failure, else the decimal rank.
std::string rankCellText(const std::optional<RankEntry>& entry);

// The loaded history of state in the list: the captions and tips of columns 1 to 5, then columns 1 to 5
// of every row of state.keywords.
void showHistory(ResultList& list, const SurveyState& state);

// "中止しました" for -1, "-" for 0, the rank in decimal otherwise (a failure's cell is set by
// showSurveyFailure after its result).
std::string resultText(int rank);
// "取得中: n" with the number of results already examined.
std::string progressText(int examined);

// The worker's result and progress reports: the text into column 1 of row.
void showSurveyResult(ResultList& list, int row, int rank);
void showSurveyProgress(ResultList& list, int row, int examined);

}  // namespace vexor
