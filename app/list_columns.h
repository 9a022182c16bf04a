// The result list's columns as the user reads them: the widths kept in vexor.ini
// ([WINDOW] columns, "120,95,95,95,95,95") and the tips that show what a narrow column or cell
// cuts off.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/result_list.h"
#include "app/result_list_model.h"

namespace vexor {

using ColumnWidths = std::array<int, RESULT_COLUMNS>;

inline constexpr ColumnWidths DEFAULT_COLUMN_WIDTHS = {120, 95, 95, 95, 95, 95};
inline constexpr int MAX_COLUMN_WIDTH = 4000;

// Six widths in pixels separated by commas, each from 0 to MAX_COLUMN_WIDTH; any other text
// (an empty one included) gives DEFAULT_COLUMN_WIDTHS as a whole.
ColumnWidths parseColumnWidths(std::string_view text);
std::string columnWidthsText(const ColumnWidths& widths);

// The tip of a history column: its caption whole, then "開始: yyyy/MM/dd HH:mm:ss" from the
// stamp of the generation's first record when there is one.
std::string columnTipText(const std::string& caption, const std::string& firstRecordStamp);

// The tip of a row: the keyword whole, then "caption: text" for each run column that holds a
// text. "" for a row that does not exist.
std::string rowTipText(const ResultListModel& model, int row);

}  // namespace vexor
