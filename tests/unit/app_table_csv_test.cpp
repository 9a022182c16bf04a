#include "app/table_csv.h"

#include <gtest/gtest.h>

#include <string_view>

#include "platform/text.h"

namespace vexor {
namespace {

std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string cp932(std::u8string_view text) { return utf8ToCp932(utf8(text)).value(); }

TEST(SpreadsheetCell, TextThatStartsLikeAFormulaIsPrefixedRanksAndDatesStay) {
    struct Case {
        std::u8string_view cell;
        CellKind kind;
        std::u8string_view expected;
    };
    const Case cases[] = {
        {u8"=1+1", CellKind::Text, u8"'=1+1"},
        {u8"+81 3", CellKind::Text, u8"'+81 3"},
        {u8"-x", CellKind::Text, u8"'-x"},
        {u8"@SUM(A1)", CellKind::Text, u8"'@SUM(A1)"},
        {u8"\tx", CellKind::Text, u8"'\tx"},
        {u8"\rx", CellKind::Text, u8"'\rx"},
        {u8"＝１", CellKind::Text, u8"'＝１"},
        {u8"＋", CellKind::Text, u8"'＋"},
        {u8"－", CellKind::Text, u8"'－"},
        {u8"＠", CellKind::Text, u8"'＠"},
        {u8"  =1+1", CellKind::Text, u8"'  =1+1"},  // spaces a spreadsheet may trim
        {u8"　＠x", CellKind::Text, u8"'　＠x"},
        {u8"-", CellKind::Text, u8"'-"},  // a keyword that is the mark is still text
        {u8"東京 ホテル", CellKind::Text, u8"東京 ホテル"},
        {u8"a=b-c", CellKind::Text, u8"a=b-c"},
        {u8"'=x", CellKind::Text, u8"'=x"},
        {u8"2024/05/02 (nuq)", CellKind::Text, u8"2024/05/02 (nuq)"},
        {u8"", CellKind::Text, u8""},
        {u8"1", CellKind::Rank, u8"1"},
        {u8"100", CellKind::Rank, u8"100"},
        {u8"-", CellKind::Rank, u8"-"},
        {u8"", CellKind::Rank, u8""},
        {u8"failed: http-429 on page 3", CellKind::Rank, u8"failed: http-429 on page 3"},
        {u8"-3", CellKind::Rank, u8"'-3"},  // no rank: text in a rank cell is text
    };
    for (const Case& c : cases)
        EXPECT_EQ(spreadsheetCell(utf8(c.cell), c.kind), utf8(c.expected)) << utf8(c.cell);
}

TEST(TableCsv, KeywordsAndCaptionsAreNeutralisedRankCellsAreNot) {
    ResultTable table;
    table.captions = {cp932(u8"キーワード"), "=cap\n", "2024/05/01 (nuq)", "", "", ""};
    table.rows.push_back({cp932(u8"－１"), "3", "-", "", "", ""});
    table.rows.push_back({"-", "-", "100", "", "", ""});
    table.rows.push_back({"@a,b", "failed: http-503 on page 2", "", "", "", ""});
    table.rows.push_back({"k\x1B[2J", "1", "", "", "", ""});
    EXPECT_EQ(formatAsCsv(table),
              utf8(u8"キーワード,'=cap,2024/05/01 (nuq),,,\r\n"
                   u8"'－１,3,-,,,\r\n"
                   u8"'-,-,100,,,\r\n"
                   u8"\"'@a,b\",failed: http-503 on page 2,,,,\r\n"
                   u8"k\\x1B[2J,1,,,,\r\n"));
    EXPECT_EQ(csvFileBytes("a\r\n"), "\xEF\xBB\xBF" "a\r\n");
}

TEST(TableCsv, EveryRunShowsControlBytesOfEveryTextAndNeutralisesFormulas) {
    SiteHistory history;
    history.keywords = {"k\x1B]0;x\x07", "=HYPERLINK(1)"};
    history.keywordIndex = {{history.keywords[0], 0}, {history.keywords[1], 1}};
    history.runs.push_back({"2024/05/01\x1B[31m", "nuq\x1B", {{0, 3, "http://a.example/\x1B"}, {1, 0, ""}}});
    history.runs.push_back({"-start", "+eng", {{1, {0, SearchFailure{2, FailureCause::HttpStatus, 503}}, ""}}});
    EXPECT_EQ(formatRunsAsCsv(history),
              "run,start,engine,keyword,rank,address\r\n"
              "1,2024/05/01\\x1B[31m,nuq\\x1B,k\\x1B]0;x\\x07,3,http://a.example/\\x1B\r\n"
              "1,2024/05/01\\x1B[31m,nuq\\x1B,'=HYPERLINK(1),0,\r\n"
              "2,'-start,'+eng,'=HYPERLINK(1),failed: http-503 on page 2,\r\n");
}

}  // namespace
}  // namespace vexor
