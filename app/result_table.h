// The result list as a table to write out (keyword, the current run and the four before it),
// with the site and the engine it belongs to. vexor-cli prints it; both programs write it as
// CSV. Code page 932.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/result_list.h"
#include "app/result_list_model.h"
#include "survey/rank_outcome.h"
#include "survey/survey_state.h"

namespace vexor {

struct ResultTable {
    std::string target;
    std::string engine;  // the engine's name
    std::array<std::string, RESULT_COLUMNS> captions;
    std::vector<std::array<std::string, RESULT_COLUMNS>> rows;  // column 0 is the keyword
};

// A caption as one line: the header that starts a generation ends in a line break, which a
// list view shows harmlessly but would break a line of text or a CSV record.
std::string captionLine(std::string caption);

// The cell of a failed keyword in a written table: "failed: http-429 on page 3".
std::string failedCell(const SearchFailure& failure);

// What a failed keyword's cells say in a written table, whatever the words of the list: the
// word alone ("failed", for aligned columns) or failedCell's text (CSV, JSON).
enum class FailedCells { Word, WithCause };

// The list's captions and rows as shown, with state's target and the engine's name; a
// keyword that failed in one of the five runs (state's history) says so as failed asks.
ResultTable shownTable(const ResultListModel& shown, const SurveyState& state,
                       const std::string& engineName, FailedCells failed);

}  // namespace vexor
