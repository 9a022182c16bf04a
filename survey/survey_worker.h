// The survey worker: the body of the one background thread that runs a survey.
#pragma once

#include "survey/survey_context.h"

namespace vexor {

// Goes through the keywords in row order (each searched one through the next of
// context.options.proxies when there are any), skips those table 0 already holds and those no record
// can hold (recordableKeyword), searches each other one, appends its record to 0.txt of the
// history folder (time taken when its search ended) and reports result(row, rank). A row whose
// keyword an earlier row of the run searched gets that row's searchEnded() (of a failure) and
// result() without a search or a record of its own. A search that ends with abortRequested set is reported as
// result(row, -1) without a record, and the run stops there. A record that cannot be appended
// is lost but the rank is still reported; the first such loss of a run (unless the start
// already found the history unwritable, historyWriteFailed) is reported as historyNotStored().
// At its end it releases the run's lock on the history folder, reports surveyEnded() and
// clears surveyRunning.
// Reports only through context.events; touches no user interface.
void runSurvey(SurveyContext context);

// Whether a run searches keyword, given the current generation's table: one it does not hold
// yet, or with failedOnly one it holds as a failure.
bool searchedThisRun(const HistoryTable& current, const std::string& keyword, bool failedOnly);

// How many rows a run over state fills: those whose keyword searchedThisRun takes. A keyword
// listed twice is searched once, and its later rows are given the same outcome.
int rowsThisRun(const SurveyState& state, bool failedOnly);

}  // namespace vexor
