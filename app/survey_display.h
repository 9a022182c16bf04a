// How the main window shows the survey worker's reports in column 1 of the result list.
#pragma once

#include <string>

#include "app/ui.h"

namespace vexor {

// "中止しました" for -1, "-" for 0, the rank in decimal otherwise.
std::string resultText(int rank);
// "取得中: n" with the number of results already examined.
std::string progressText(int examined);

// WM_SURVEY_RESULT and WM_SURVEY_PROGRESS: the text into column 1 of row.
void showSurveyResult(Ui& ui, int row, int rank);
void showSurveyProgress(Ui& ui, int row, int examined);

}  // namespace vexor
