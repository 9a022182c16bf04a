// What the shell says about a survey file: why one gives no survey, and the one warning that
// names its lines left out, spaces-only lines and repeated keywords when it opens.
#pragma once

#include <string>
#include <vector>

#include "survey/survey_file.h"

namespace vexor {

// text with each control byte made visible: a tab as "<タブ>", any other as "<xHH>".
std::string withVisibleControls(const std::string& text);

// The failed open: "\"PATH\"の読み込みに失敗しました。", on the next line why and what to do, then
// the notices of the lines that made it fail.
std::string surveyReadFailed(const std::string& path, SurveyFileFailure failure,
                             const std::vector<LineNotice>& notices);

// One warning for all of notices, grouped by problem, each group naming at most a few lines;
// "" when there are none.
std::string surveyLinesNotice(const std::string& path, const std::vector<LineNotice>& notices);

}  // namespace vexor
