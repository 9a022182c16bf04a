// The report command of both front ends: the open survey's history, every run of it, as one
// HTML page written into the survey's history folder (or where vexor-cli is told).
#pragma once

#include <string>

#include "app/app_state.h"
#include "platform/clock.h"
#include "survey/survey_state.h"

namespace vexor {

inline constexpr char REPORT_FILE_NAME[] = "report.html";

// The page for state's target and keywords over every run in state.historyDirectory.
std::string surveyReportHtml(const SurveyState& state, const SystemTime& now);

// historyDirectory + "\report.html".
std::string reportPathOf(const SurveyState& state);

// "レポート作成(&R)": writes the report of the open survey into its history folder, replacing
// the one before, and opens it with the shell. Without an open survey it says so; a file that
// cannot be written is named in the write-failure message. Messages go over the main window.
// True when the report was written.
bool writeSurveyReport(AppState& state, AppServices& services);

}  // namespace vexor
