// Texts of column 1 while a survey runs.
#include "app/survey_display.h"

#include "app/text_format.h"
#include "app/texts.h"
#include "survey/history.h"

namespace vexor {
namespace {

constexpr int CURRENT_RUN_COLUMN = 1;
constexpr int ABORTED_RANK = -1;

}  // namespace

std::string resultText(int rank) {
    return rank == ABORTED_RANK ? std::string(texts::TEXT_ABORTED) : rankCellText(rank);
}

std::string progressText(int examined) { return formatWithNumber(texts::FMT_PROGRESS, examined); }

void showSurveyResult(Ui& ui, int row, int rank) {
    ui.setCell(row, CURRENT_RUN_COLUMN, resultText(rank));
}

void showSurveyProgress(Ui& ui, int row, int examined) {
    ui.setCell(row, CURRENT_RUN_COLUMN, progressText(examined));
}

}  // namespace vexor
