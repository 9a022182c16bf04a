// Writing and opening the report of the open survey.
#include "app/report_command.h"

#include "app/history_report.h"
#include "app/report_data.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "platform/files.h"
#include "survey/site_history.h"

namespace vexor {

std::string surveyReportHtml(const SurveyState& state, const SystemTime& now) {
    const SiteHistory history = readSiteHistory(state.historyDirectory);
    return historyReportHtml(state.target, reportData(history, state.keywords), now);
}

std::string reportPathOf(const SurveyState& state) {
    return joinPath(state.historyDirectory, REPORT_FILE_NAME);
}

bool writeSurveyReport(AppState& state, AppServices& services) {
    if (state.survey.historyDirectory.empty()) {
        services.messages.showMessage(Owner::MainWindow, texts::MSG_NO_SURVEY_OPEN, Icon::Warning);
        return false;
    }
    const std::string path = reportPathOf(state.survey);
    if (!replaceFileContent(path, surveyReportHtml(state.survey, services.clock()))) {
        services.messages.showMessage(
            Owner::MainWindow, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, path), Icon::Warning);
        return false;
    }
    services.chrome.openAddress(path);
    return true;
}

}  // namespace vexor
