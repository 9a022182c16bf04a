// The shown result list as a table.
#include "app/result_table.h"

#include "survey/history.h"
#include "survey/rank_field.h"

namespace vexor {

std::string captionLine(std::string caption) {
    while (!caption.empty() && (caption.back() == '\n' || caption.back() == '\r')) caption.pop_back();
    return caption;
}

std::string failedCell(const SearchFailure& failure) {
    return "failed: " + causeWord(failure) + " on page " + std::to_string(failure.page);
}

ResultTable shownTable(const ResultListModel& shown, const SurveyState& state,
                       const std::string& engineName, FailedCells failed) {
    ResultTable table;
    table.target = state.target;
    table.engine = engineName;
    for (int c = 0; c < RESULT_COLUMNS; ++c) table.captions[c] = shown.caption(c);
    table.rows.resize(shown.rowCount());
    for (int r = 0; r < shown.rowCount(); ++r) {
        for (int c = 0; c < RESULT_COLUMNS; ++c) table.rows[r][c] = shown.cell(r, c);
        if (static_cast<std::size_t>(r) >= state.keywords.size()) continue;
        for (int k = 0; k < HISTORY_GENERATIONS; ++k) {
            const auto entry = entryOf(state.historyTables[k], state.keywords[r]);
            if (entry && entry->failure)
                table.rows[r][1 + k] = failed == FailedCells::Word ? "failed" : failedCell(*entry->failure);
        }
    }
    return table;
}

}  // namespace vexor
