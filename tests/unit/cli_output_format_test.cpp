#include "cli/output_format.h"

#include <gtest/gtest.h>

#include <string_view>

#include "platform/text.h"

namespace vexor::cli {
namespace {

std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string cp932(std::u8string_view text) { return utf8ToCp932(utf8(text)).value(); }

ResultTable sampleTable() {
    ResultTable table;
    table.target = "example.com";
    table.engine = "nuq";
    table.captions = {cp932(u8"キーワード"), "2024/05/02 (nuq)\n", "2024/05/01 (nuq)",
                      "-", "-", "-"};
    table.rows.push_back({cp932(u8"東京 ホテル"), "3", "12", "", "", ""});
    table.rows.push_back({"abc", "-", "-", "", "", ""});
    return table;
}

TEST(CliTableFormat, AlignsColumnsCountingDoubleByteCharactersAsTwo) {
    const std::string expected = utf8(
        u8"site: example.com  engine: nuq\n"
        u8"キーワード   2024/05/02 (nuq)  2024/05/01 (nuq)  -  -  -\n"
        u8"-----------  ----------------  ----------------  -  -  -\n"
        u8"東京 ホテル  3                 12\n"
        u8"abc          -                 -\n");
    EXPECT_EQ(formatAsTable(sampleTable()), expected);
}

TEST(CliTableFormat, ControlCharactersShowAsVisibleEscapesAndKeepTheLayout) {
    ResultTable table = sampleTable();
    // An escape sequence in a stored keyword, and one behind a lead byte that has no second byte.
    table.rows = {{"a\tb\rc\x1B[2J", "1", "", "", "", ""}, {"\x83\x1B]0;x\x07", "2", "", "", "", ""}};
    const std::string text = formatAsTable(table);
    // The keyword column is as wide as its longest text, 18 columns, then two spaces.
    EXPECT_NE(text.find("\na\\x09b\\x0Dc\\x1B[2J  1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\\x83\\x1B]0;x\\x07    2\n"), std::string::npos) << text;
    for (const char control : {'\t', '\r', '\x1B', '\x07'}) EXPECT_EQ(text.find(control), std::string::npos);
}

TEST(CliCsvFormat, HeaderRowThenOneQuotedWhereNeededRecordPerKeyword) {
    ResultTable table = sampleTable();
    table.rows.push_back({"a,b", "\"x\"", "line\nbreak", "", "", ""});
    const std::string expected = utf8(
        u8"キーワード,2024/05/02 (nuq),2024/05/01 (nuq),-,-,-\r\n"
        u8"東京 ホテル,3,12,,,\r\n"
        u8"abc,-,-,,,\r\n"
        u8"\"a,b\",\"\"\"x\"\"\",line\\x0Abreak,,,\r\n");
    EXPECT_EQ(formatAsCsv(table), expected);
}

TEST(CliJsonFormat, HoldsTargetEngineColumnsAndRowsInUtf8) {
    const std::string expected = utf8(
        u8"{\"target\": \"example.com\", \"engine\": \"nuq\", \"columns\": "
        u8"[\"キーワード\", \"2024/05/02 (nuq)\", \"2024/05/01 (nuq)\", \"-\", \"-\", \"-\"], "
        u8"\"rows\": [\n"
        u8"  {\"keyword\": \"東京 ホテル\", \"cells\": [\"3\", \"12\", \"\", \"\", \"\"]},\n"
        u8"  {\"keyword\": \"abc\", \"cells\": [\"-\", \"-\", \"\", \"\", \"\"]}\n"
        u8"]}\n");
    EXPECT_EQ(formatAsJson(sampleTable()), expected);
}

TEST(CliJsonFormat, EscapesWhatJsonStringsCannotHoldAndShowsBytesThatStartNoCharacter) {
    ResultTable table;
    table.target = "a\"b\\c";
    table.engine = "";
    table.rows.push_back({std::string("k\t\x01\n\x7F", 5), "", "", "", "", ""});
    // Bytes that start no character stay visible and keep different keywords apart; the
    // output stays valid UTF-8.
    for (const char* broken : {"\x81", "\x80\xA0", "abc\x81", "x\x82"})
        table.rows.push_back({broken, "", "", "", "", ""});
    const std::string json = formatAsJson(table);
    EXPECT_NE(json.find("\"target\": \"a\\\"b\\\\c\""), std::string::npos) << json;
    for (const char* keyword : {"k\\t\\u0001\\n\\u007F", "\\\\x81", "\\\\x80\\\\xA0", "abc\\\\x81", "x\\\\x82"})
        EXPECT_NE(json.find("{\"keyword\": \"" + std::string(keyword) + "\","), std::string::npos) << keyword << json;
    for (const char raw : {'\x80', '\x81', '\x82', '\xA0', '\x7F'}) EXPECT_EQ(json.find(raw), std::string::npos);
}

TEST(CliJsonFormat, AnEmptySurveyIsStillAnObjectWithAnEmptyRowList) {
    ResultTable table;
    table.target = "t";
    EXPECT_EQ(formatAsJson(table),
              "{\"target\": \"t\", \"engine\": \"\", \"columns\": "
              "[\"\", \"\", \"\", \"\", \"\", \"\"], \"rows\": []}\n");
}

SiteHistory sampleHistory() {
    SiteHistory history;
    history.keywords = {cp932(u8"東京 ホテル"), "a,\"b\""};
    history.keywordIndex = {{history.keywords[0], 0}, {history.keywords[1], 1}};
    history.runs.push_back({"2024/05/01 07:00:00", "old", {{0, 3}, {1, 0}}});
    history.runs.push_back({"2024/05/02 07:00:00", cp932(u8"検索"), {}});
    history.runs.push_back({"2024/05/03 07:00:00", "nuq", {{1, 12, "http://a.example/x"},
                                                           {0, {0, SearchFailure{3, FailureCause::HttpStatus, 429}}}}});
    return history;
}

TEST(CliLongForm, CsvHasOneRecordPerKeywordAndRun) {
    EXPECT_EQ(formatRunsAsCsv(sampleHistory()),
              utf8(u8"run,start,engine,keyword,rank,address\r\n"
                   u8"1,2024/05/01 07:00:00,old,東京 ホテル,3,\r\n"
                   u8"1,2024/05/01 07:00:00,old,\"a,\"\"b\"\"\",0,\r\n"
                   u8"3,2024/05/03 07:00:00,nuq,\"a,\"\"b\"\"\",12,http://a.example/x\r\n"
                   u8"3,2024/05/03 07:00:00,nuq,東京 ホテル,failed: http-429 on page 3,\r\n"));
    EXPECT_EQ(formatRunsAsCsv(SiteHistory{}), "run,start,engine,keyword,rank,address\r\n");
}

TEST(CliLongForm, JsonHasTheTargetAndOneObjectPerKeywordAndRun) {
    EXPECT_EQ(formatRunsAsJson(cp932(u8"例え.jp"), sampleHistory()),
              utf8(u8"{\"target\": \"例え.jp\", \"records\": [\n"
                   u8"  {\"run\": 1, \"start\": \"2024/05/01 07:00:00\", \"engine\": \"old\", "
                   u8"\"keyword\": \"東京 ホテル\", \"rank\": 3, \"address\": \"\"},\n"
                   u8"  {\"run\": 1, \"start\": \"2024/05/01 07:00:00\", \"engine\": \"old\", "
                   u8"\"keyword\": \"a,\\\"b\\\"\", \"rank\": 0, \"address\": \"\"},\n"
                   u8"  {\"run\": 3, \"start\": \"2024/05/03 07:00:00\", \"engine\": \"nuq\", "
                   u8"\"keyword\": \"a,\\\"b\\\"\", \"rank\": 12, \"address\": \"http://a.example/x\"},\n"
                   u8"  {\"run\": 3, \"start\": \"2024/05/03 07:00:00\", \"engine\": \"nuq\", "
                   u8"\"keyword\": \"東京 ホテル\", \"rank\": \"failed: http-429 on page 3\", \"address\": \"\"}\n"
                   u8"]}\n"));
    EXPECT_EQ(formatRunsAsJson("t", SiteHistory{}), "{\"target\": \"t\", \"records\": []}\n");
}

}  // namespace
}  // namespace vexor::cli
