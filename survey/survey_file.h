// The survey definition file: its first non-empty line is the target (the text a result address
// must contain), every further non-empty line a keyword, taken verbatim. Lines end in CR LF or LF.
#pragma once

#include <string>

#include "survey/survey_host.h"
#include "survey/survey_state.h"

namespace vexor {

// The name of the history folder of target: target percent-encoded as query text, except that
// "." and ".." (which would name the working directory and its parent) become "%2E" and
// "%2E%2E".
std::string historyFolderName(const std::string& target);

// Makes the file at path the current survey: sets surveyPath first in any case; on success
// fills the result list (one row per keyword), writes [SEARCH] last, sets target and refreshes
// the title, creates the history folder when missing and loads its history, and returns true.
// A file that cannot be read or has fewer than two non-empty lines shows "\"path\"" +
// MSG_SURVEY_READ_FAILED_TAIL and returns false with everything but surveyPath unchanged.
bool openSurveyFile(SurveyState& state, const std::string& path, SurveyHost& host);

// The open command: asks for a survey file (proposing surveyFileBuffer, the path chosen last;
// the dialog starts in its folder) and opens the confirmed file. Cancelling does nothing.
void chooseSurveyFile(SurveyState& state, SurveyHost& host, std::string& surveyFileBuffer);

}  // namespace vexor
