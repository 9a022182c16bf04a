// What the Windows program shows of a running survey's keywords whose first results page could
// not be read: the keyword's cell of the current run names the failure instead of "-" (the
// history keeps the rank 0 it records for every such keyword), and the end of the run brings
// one message that counts them and asks for the engine to be learnt again.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/result_list.h"
#include "survey/survey_events.h"

namespace vexor {

// The cell text for a search that ended on a failed first page ("失敗: 証明書エラー",
// "失敗: HTTP 403", ...).
std::string failureText(const SearchEnding& ending);

// Shows the failure in column 1 of row and counts the keyword for the end of the run.
void showFirstPageFailure(AppState& state, ResultList& list, int row, const SearchEnding& ending);

// The run has ended: when any keyword was counted, one warning over the main window naming how
// many; the count starts again from 0.
void reportSurveyEnd(AppState& state, Messages& messages);

}  // namespace vexor
