// Writing the shown result list to a CSV file.
#include "app/csv_export.h"

#include "app/result_table.h"
#include "app/table_csv.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_name.h"
#include "platform/files.h"
#include "survey/survey_file.h"

namespace vexor {

std::string csvFileNameOf(const SurveyState& state) { return historyFolderName(state.target) + ".csv"; }

bool exportResultCsv(AppState& state, AppServices& services) {
    if (state.survey.historyDirectory.empty()) {
        services.messages.showMessage(Owner::MainWindow, texts::MSG_NO_SURVEY_OPEN, Icon::Warning);
        return false;
    }
    const auto path = services.chrome.askSaveCsvFile(Owner::MainWindow, csvFileNameOf(state.survey));
    if (!path) return false;
    const ResultTable table = shownTable(services.list.shownRows(), state.survey,
                                         baseName(state.currentEnginePath), FailedCells::WithCause);
    if (!replaceFileContent(state.workspace.resolve(*path), csvFileBytes(formatAsCsv(table)))) {
        services.messages.showMessage(
            Owner::MainWindow, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, *path), Icon::Warning);
        return false;
    }
    return true;
}

}  // namespace vexor
