// The change a rank cell shows against the run before: every pair of ranks, the cell texts the
// list shows, the palette, and the list model the Windows program draws from.
#include "app/rank_change.h"

#include <gtest/gtest.h>

#include <set>

#include "app/rank_colours.h"
#include "app/result_list_model.h"
#include "app/survey_display.h"
#include "app/texts.h"

namespace vexor {
namespace {

using Rank = std::optional<int32_t>;
constexpr Rank NO_RECORD = std::nullopt;

TEST(RankChange, EveryPairOfRanks) {
    struct Case {
        Rank now;
        Rank before;
        RankChange expected;
    };
    const Case cases[] = {
        {3, 5, RankChange::Better},         {1, 100, RankChange::Better},
        {5, 3, RankChange::Worse},          {100, 1, RankChange::Worse},
        {7, 7, RankChange::Unchanged},      {0, 0, RankChange::Unchanged},
        {4, 0, RankChange::NewlyRanked},    {4, NO_RECORD, RankChange::None},
        {0, 4, RankChange::DroppedOut},     {0, NO_RECORD, RankChange::None},
        {NO_RECORD, 4, RankChange::None},   {NO_RECORD, 0, RankChange::None},
        {NO_RECORD, NO_RECORD, RankChange::None},
        // Hand-written ranks below 1 count as not ranked.
        {-2, 5, RankChange::DroppedOut},    {5, -2, RankChange::NewlyRanked},
        {-2, NO_RECORD, RankChange::None},
        {-2, 0, RankChange::Unchanged},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rankChange(c.now, c.before), c.expected)
            << (c.now ? std::to_string(*c.now) : "none") << " after "
            << (c.before ? std::to_string(*c.before) : "none");
}

TEST(RankChange, CellTextsCompareAsTheRanksTheyShow) {
    // Every pair of the texts rankCellText writes agrees with the ranks.
    const Rank ranks[] = {NO_RECORD, 0, 1, 9, 10, 55, 100};
    for (const Rank now : ranks)
        for (const Rank before : ranks)
            EXPECT_EQ(cellChange(rankCellText(now), rankCellText(before)), rankChange(now, before))
                << rankCellText(now) << " after " << rankCellText(before);
    // The worker's texts are no ranks, on either side.
    const std::string progress = progressText(20);
    EXPECT_EQ(cellChange(progress, "5"), RankChange::None);
    EXPECT_EQ(cellChange("5", texts::TEXT_ABORTED), RankChange::None);
    EXPECT_EQ(cellChange(texts::TEXT_ABORTED, "-"), RankChange::None);
    // Texts no rank cell holds.
    EXPECT_EQ(cellChange("05", "7"), RankChange::None);
    EXPECT_EQ(cellChange("3x", "7"), RankChange::None);
    EXPECT_EQ(cellChange("-3", "7"), RankChange::None);
    EXPECT_EQ(cellChange("99999999999", "7"), RankChange::None);
}

TEST(RankColours, FiveDistinctFillsAndNoneForNothingToCompare) {
    EXPECT_FALSE(changeColours(RankChange::None).has_value());
    std::set<std::tuple<int, int, int>> fills;
    for (const RankChange change : {RankChange::Better, RankChange::Worse, RankChange::NewlyRanked,
                                    RankChange::DroppedOut, RankChange::Unchanged}) {
        const auto colours = changeColours(change);
        ASSERT_TRUE(colours.has_value());
        fills.insert({colours->fill.red, colours->fill.green, colours->fill.blue});
        EXPECT_FALSE(colours->fill == colours->text);
    }
    EXPECT_EQ(fills.size(), 5u);
}

TEST(ResultListModel, RowsCellsAndTheChangeOfEachCell) {
    ResultListModel model;
    EXPECT_EQ(model.appendRow("alpha"), 0);
    EXPECT_EQ(model.appendRow("beta"), 1);
    EXPECT_EQ(model.cell(0, 0), "alpha");
    EXPECT_EQ(model.cell(1, 1), "-");
    EXPECT_EQ(model.cell(1, 2), "");
    // Rows and columns that do not exist change nothing and read as "".
    EXPECT_FALSE(model.setCell(2, 1, "3"));
    EXPECT_FALSE(model.setCell(0, RESULT_COLUMNS, "3"));
    EXPECT_FALSE(model.setCell(-1, 1, "3"));
    EXPECT_EQ(model.cell(5, 1), "");
    EXPECT_EQ(model.cell(0, -1), "");

    // alpha: 3 now, 5, -, 8 and 8 in the runs before.
    const char* alpha[] = {"3", "5", "-", "8", "8"};
    for (int column = 1; column <= 5; ++column) ASSERT_TRUE(model.setCell(0, column, alpha[column - 1]));
    EXPECT_EQ(model.cellChange(0, 0), RankChange::None);  // the keyword
    EXPECT_EQ(model.cellChange(0, 1), RankChange::Better);
    EXPECT_EQ(model.cellChange(0, 2), RankChange::NewlyRanked);
    EXPECT_EQ(model.cellChange(0, 3), RankChange::DroppedOut);
    EXPECT_EQ(model.cellChange(0, 4), RankChange::Unchanged);
    EXPECT_EQ(model.cellChange(0, 5), RankChange::None);  // nothing older is shown
    EXPECT_EQ(model.cellChange(1, 1), RankChange::None);  // "-" against no record

    // The worker's progress hides the change; its result brings it back.
    model.setCell(0, 1, progressText(10));
    EXPECT_EQ(model.cellChange(0, 1), RankChange::None);
    model.setCell(0, 1, "9");
    EXPECT_EQ(model.cellChange(0, 1), RankChange::Worse);

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.cell(0, 0), "");
}

}  // namespace
}  // namespace vexor
