// "CSV 出力(&C)…" of the Windows program: the result list as it shows it (the keywords, the
// current run and the four before it) written to a CSV file with the bytes vexor-cli writes
// for `show SURVEY --format csv -o FILE`.
#pragma once

#include <string>

#include "app/app_state.h"

namespace vexor {

// The name the Save As dialog proposes: the site's history folder name and ".csv".
std::string csvFileNameOf(const SurveyState& state);

// Asks for a file in a Save As dialog and writes the shown list there; without an open survey
// it says so, a cancelled dialog writes nothing, and a file that cannot be written is named in
// the write-failure message. Messages go over the main window. True when the file was written.
bool exportResultCsv(AppState& state, AppServices& services);

}  // namespace vexor
