// The report of a survey's history as one self-contained HTML page (UTF-8, inline CSS and SVG,
// no script, nothing fetched): the site, the engines, the runs and their dates; a chart of how
// many keywords stood in the top 3, 10, 30 and 100 per run; a table of the keywords in order of
// their current rank (or failure) with the change since the run before, the best rank, the
// address that ranked last (as text, marked when another page of the site ranks than in the run
// before) and a rank chart; the list of runs with how many keywords failed in each. Narrow
// screens get one column of facts and a table that scrolls sideways.
#pragma once

#include <string>

#include "app/report_data.h"
#include "platform/clock.h"

namespace vexor {

// target: the survey's site (code page 932); writtenAt: when the report is made.
std::string historyReportHtml(const std::string& target, const ReportData& data,
                              const SystemTime& writtenAt);

// The texts of the change column: "▲3", "▼12", "ランクイン", "圏外へ", "→", "" (code page 932).
std::string changeText(const KeywordTrend& trend);

}  // namespace vexor
