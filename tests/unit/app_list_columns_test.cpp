// The result list's remembered widths and the tips that show what its columns cut off.
#include "app/list_columns.h"

#include <gtest/gtest.h>

#include "japanese.h"

namespace vexor::testing {
namespace {

TEST(ListColumns, WidthsReadBackOnlyWhenWhole) {
    const std::pair<std::string, ColumnWidths> cases[] = {
        {"120,95,95,95,95,95", DEFAULT_COLUMN_WIDTHS},
        {"200,0,80,4000,1,95", {200, 0, 80, 4000, 1, 95}},
        {"", DEFAULT_COLUMN_WIDTHS},
        {"200,90,90,90,90", DEFAULT_COLUMN_WIDTHS},         // five
        {"200,90,90,90,90,90,90", DEFAULT_COLUMN_WIDTHS},   // seven
        {"200,90,90,90,90,90,", DEFAULT_COLUMN_WIDTHS},
        {"200,-5,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
        {"200,4001,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
        {"200, 90,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
        {"200,9x,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
        {"200,,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
        {"99999999999,90,90,90,90,90", DEFAULT_COLUMN_WIDTHS},
    };
    for (const auto& [text, widths] : cases) EXPECT_EQ(parseColumnWidths(text), widths) << text;
    const ColumnWidths dragged = {300, 40, 95, 0, 95, 150};
    EXPECT_EQ(columnWidthsText(dragged), "300,40,95,0,95,150");
    EXPECT_EQ(parseColumnWidths(columnWidthsText(dragged)), dragged);
}

TEST(ListColumns, ColumnTipsNameTheWholeHeaderAndTheStart) {
    const std::string header = "2026/12/07 (a-very-long-engine-name)";
    EXPECT_EQ(columnTipText(header, "2026/12/07:18:03:12"),
              header + "\n" + cp932(u8"開始: 2026/12/07 18:03:12"));
    EXPECT_EQ(columnTipText(header, ""), header);
    EXPECT_EQ(columnTipText("-", ""), "-");
}

TEST(ListColumns, RowTipsHoldTheKeywordAndEveryRunWhole) {
    ResultListModel model;
    model.setCaption(1, "2026/12/07 (nuq)");
    model.setCaption(2, "2026/12/06 (nuq)");
    model.setCaption(3, "2026/12/05 (old)");
    const std::string keyword = cp932(u8"とても長いキーワード 東京 ホテル 格安 予約");
    const std::string failure = cp932(u8"失敗: HTTP 503 (2 ページ目)");
    model.appendRow(keyword);
    model.setCell(0, 1, failure);
    model.setCell(0, 3, "12");  // column 2 has no record: left out
    EXPECT_EQ(rowTipText(model, 0), keyword + "\n2026/12/07 (nuq): " + failure + "\n2026/12/05 (old): 12");
    EXPECT_EQ(rowTipText(model, 1), "");
    EXPECT_EQ(rowTipText(model, -1), "");
}

}  // namespace
}  // namespace vexor::testing
