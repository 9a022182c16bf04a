// Column widths and tips of the result list.
#include "app/list_columns.h"

#include <charconv>

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {

ColumnWidths parseColumnWidths(std::string_view text) {
    ColumnWidths widths{};
    std::size_t at = 0;
    for (int column = 0; column < RESULT_COLUMNS; ++column) {
        if (column > 0) {
            if (at >= text.size() || text[at] != ',') return DEFAULT_COLUMN_WIDTHS;
            ++at;
        }
        const char* first = text.data() + at;
        const auto [end, error] = std::from_chars(first, text.data() + text.size(), widths[column]);
        if (error != std::errc() || end == first || widths[column] < 0 || widths[column] > MAX_COLUMN_WIDTH)
            return DEFAULT_COLUMN_WIDTHS;
        at = static_cast<std::size_t>(end - text.data());
    }
    return at == text.size() ? widths : DEFAULT_COLUMN_WIDTHS;
}

std::string columnWidthsText(const ColumnWidths& widths) {
    std::string text;
    for (const int width : widths) {
        if (!text.empty()) text += ',';
        text += std::to_string(width);
    }
    return text;
}

std::string columnTipText(const std::string& caption, const std::string& firstRecordStamp) {
    if (firstRecordStamp.empty()) return caption;
    // The stamp joins date and time with a colon ("2026/12/07:18:03:12").
    std::string started = firstRecordStamp;
    if (const std::size_t colon = started.find(':'); colon != std::string::npos) started[colon] = ' ';
    return caption + "\n" + formatWithText(texts::FMT_TIP_STARTED, started);
}

std::string rowTipText(const ResultListModel& model, int row) {
    if (row < 0 || row >= model.rowCount()) return "";
    std::string text = model.cell(row, 0);
    for (int column = 1; column < RESULT_COLUMNS; ++column)
        if (!model.cell(row, column).empty())
            text += "\n" + model.caption(column) + ": " + model.cell(row, column);
    return text;
}

}  // namespace vexor
