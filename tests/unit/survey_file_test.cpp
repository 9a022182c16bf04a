// Opening survey definition files: rows, keywords, target, the remembered path, the history
// folder, what a failed open leaves alone and says, the encodings a file comes in, and the lines
// that are left out or named.
#include "survey/survey_file.h"

#include <gtest/gtest.h>

#include "app/survey_commands.h"

#include <filesystem>
#include <algorithm>
#include <regex>

#include "app/survey_file_messages.h"
#include "app/texts.h"
#include "fake_ui.h"
#include "japanese.h"
#include "platform/files.h"
#include "platform/profile_file.h"
#include "platform/text.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using testing::FakeUi;
using testing::TestWorkspace;
using testing::writeBytes;
namespace fs = std::filesystem;

class SurveyFile : public ::testing::Test {
protected:
    std::vector<std::string> rowKeywords() const {
        std::vector<std::string> keywords;
        for (const auto& row : ui.rows) keywords.push_back(row[0]);
        return keywords;
    }
    std::vector<std::string> keywords() const {
        return {state.keywords.begin(), state.keywords.end()};
    }
    std::string lastSurvey() const {
        return readProfileString(files.workspace().settingsFile(), "SEARCH", "last", "<none>");
    }
    bool open(const std::string& path) {
        return openSurveyFile(state, files.workspace(), path, ui, ui);
    }
    void write(const std::string& relative, const std::string& bytes) {
        writeBytes(files.native(relative), bytes);
    }
    bool isFolder(const std::string& relative) const { return fs::is_directory(files.native(relative)); }
    std::string failure(const std::string& path, const char* reason) const {
        return "\"" + path + "\"" + texts::MSG_SURVEY_READ_FAILED_TAIL + "\n" + reason;
    }

    TestWorkspace files;
    SurveyState state;
    FakeUi ui;
};

TEST_F(SurveyFile, OpensTargetKeywordsRowsAndRemembersThePath) {
    write("survey.txt", "example.com\r\nalpha\r\nbeta\r\ngamma\r\n");
    ASSERT_TRUE(open("survey.txt"));

    EXPECT_EQ(state.surveyPath, "survey.txt");
    EXPECT_EQ(state.target, "example.com");
    EXPECT_EQ(keywords(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_EQ(rowKeywords(), keywords());
    EXPECT_EQ(state.historyDirectory, files.joined("example.com"));
    EXPECT_TRUE(isFolder("example.com"));
    EXPECT_EQ(lastSurvey(), "survey.txt");
    EXPECT_TRUE(ui.messages.empty());
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(ui.captions[c], "-");
}

TEST_F(SurveyFile, LinesAreTakenVerbatimAndOnlyLinesWithoutContentSkipped) {
    write("crlf.txt", "\r\n\r\n\r\nsite\r\n kw\r\nkw\r\n\r\nkw\r\n  \t");
    write("lf.txt", "site\n kw\nkw\nkw\n  \t\n\n");
    ASSERT_TRUE(open("crlf.txt"));
    const std::vector<std::string> expected{" kw", "kw", "kw"};
    EXPECT_EQ(state.target, "site");
    EXPECT_EQ(keywords(), expected);
    EXPECT_EQ(rowKeywords(), expected);

    ASSERT_TRUE(open("lf.txt"));
    EXPECT_EQ(keywords(), expected);
    EXPECT_EQ(rowKeywords(), expected);
}

TEST_F(SurveyFile, SecondOpenReplacesTheSurveyAndSharesHistoryBySite) {
    fs::create_directory(files.native("site"));
    write("site/0.txt", "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\tbeta\t7\r\n");
    write("first.txt", "site\nalpha\nbeta\ngamma\n");
    write("second.txt", "site\nbeta\nbeta\n");
    ASSERT_TRUE(open("first.txt"));
    ASSERT_TRUE(open("second.txt"));

    EXPECT_EQ(keywords(), (std::vector<std::string>{"beta", "beta"}));
    ASSERT_EQ(ui.rows.size(), 2u);
    EXPECT_EQ(ui.rows[0][1], "7");
    EXPECT_EQ(ui.rows[1][1], "7");
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"beta", 7}}));
    EXPECT_EQ(lastSurvey(), "second.txt");
}

TEST_F(SurveyFile, FailedOpenChangesOnlyTheSurveyPath) {
    write("good.txt", "site\nalpha\nbeta\n");
    write("target-only.txt", "\r\nsite\r\n\r\n");
    write("empty.txt", "");
    ASSERT_TRUE(open("good.txt"));
    const auto rowsBefore = ui.rows;
    const auto tablesBefore = state.historyTables;

    write("spaces-only.txt", "  \r\n\x81\x40\r\n");
    write("utf16.txt", std::string("\xFF\xFEs\0i\0t\0e\0\n\0k\0w\0", 16));
    fs::create_directory(files.native("folder.txt"));
    const std::pair<std::string, const char*> cases[] = {
        {"target-only.txt", texts::MSG_SURVEY_TARGET_ONLY}, {"empty.txt", texts::MSG_SURVEY_EMPTY},
        {"spaces-only.txt", texts::MSG_SURVEY_EMPTY},       {"missing.txt", texts::MSG_SURVEY_MISSING},
        {"folder.txt", texts::MSG_SURVEY_UNREADABLE},       {"utf16.txt", texts::MSG_SURVEY_UTF16},
    };
    for (const auto& [path, reason] : cases) {
        ui.messages.clear();
        EXPECT_FALSE(open(path));
        EXPECT_EQ(state.surveyPath, path);
        ASSERT_EQ(ui.messages.size(), 1u) << path;
        EXPECT_EQ(ui.messages[0].text, failure(path, reason));
        EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
        EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
        EXPECT_FALSE(ui.messages[0].question);

        EXPECT_EQ(state.target, "site");
        EXPECT_EQ(keywords(), (std::vector<std::string>{"alpha", "beta"}));
        EXPECT_EQ(state.historyDirectory, files.joined("site"));
        EXPECT_EQ(state.historyTables, tablesBefore);
        EXPECT_EQ(ui.rows, rowsBefore);
        EXPECT_EQ(lastSurvey(), "good.txt");
    }
}

TEST_F(SurveyFile, HistoryFolderIsThePercentEncodedTarget) {
    write("survey.txt", "a b/c\nkw\n");
    ASSERT_TRUE(open("survey.txt"));
    EXPECT_EQ(state.historyDirectory, files.joined("a+b%2Fc"));
    EXPECT_TRUE(isFolder("a+b%2Fc"));

    const auto japanese = utf8ToCp932("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");  // 日本語
    ASSERT_TRUE(japanese);
    EXPECT_TRUE(std::regex_match(historyFolderName(*japanese), std::regex("(%[0-9A-F]{2}){6}")))
        << historyFolderName(*japanese);
    EXPECT_EQ(historyFolderName("www.example.com/~me"), "www.example.com%2F%7Eme");
}

TEST_F(SurveyFile, NamesNoFolderCanTakeAreEscapedTheSameOnEveryPlatform) {
    EXPECT_EQ(historyFolderName("a*b?c\"d<e>f|g:h"), "a%2Ab%3Fc%22d%3Ce%3Ef%7Cg%3Ah");
    for (const char* device : {"CON", "con", "Prn", "AUX", "NUL", "COM1", "com9", "LPT1", "lpt9"}) {
        const std::string name = historyFolderName(device);
        EXPECT_EQ(name.substr(0, 1), "%") << device;
        EXPECT_EQ(name.substr(3), std::string(device).substr(1)) << device;
        EXPECT_EQ(historyFolderName(std::string(device) + ".example.com").substr(0, 1), "%") << device;
    }
    EXPECT_EQ(historyFolderName("nul.example.com"), "%6Eul.example.com");
    // Only the device names themselves: longer or other names stay as they were.
    for (const char* plain : {"COM10", "COM0", "LPT", "CONSOLE", "xcon", "aux-site.jp", "con_x"})
        EXPECT_EQ(historyFolderName(plain), plain);
    EXPECT_EQ(historyFolderName("example.com."), "example.com%2E");
    EXPECT_EQ(historyFolderName("example.com"), "example.com");
    EXPECT_NE(historyFolderName("example.com."), historyFolderName("example.com"));
    EXPECT_EQ(historyFolderName("a b "), "a+b+");
}

TEST_F(SurveyFile, OverLongNamesAreShortenedStablyAndApart) {
    const std::string ascii(300, 'a');
    const std::string name = historyFolderName(ascii);
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name, historyFolderName(ascii)) << "the same target, the same folder";
    EXPECT_EQ(name.substr(0, 200), std::string(200, 'a'));
    EXPECT_EQ(name[200], '~');
    EXPECT_NE(historyFolderName(ascii + "b"), name);
    EXPECT_EQ(historyFolderName(std::string(255, 'a')), std::string(255, 'a'));
    // 43 Japanese characters escape to 258 bytes; the cut never splits an escape.
    const std::string japanese = testing::cp932(u8"日本語日本語日本語日本語日本語日本語日本語日本語日本語日本語日本語日本語日本語日本語日");
    const std::string escaped = historyFolderName(japanese);
    EXPECT_LE(escaped.size(), 255u);
    const std::string kept = escaped.substr(0, escaped.find('~'));
    EXPECT_EQ(kept.size() % 3, 0u);
    EXPECT_TRUE(std::regex_match(kept, std::regex("(%[0-9A-F]{2})+")));
    EXPECT_TRUE(std::regex_match(escaped.substr(kept.size()), std::regex("~[0-9A-F]{16}")));
    // The shortened folder is made and takes the history.
    write("long.txt", ascii + "\nkw\n");
    ASSERT_TRUE(open("long.txt"));
    EXPECT_TRUE(isFolder(name));
}

TEST_F(SurveyFile, DotTargetsGetAFolderOfTheirOwn) {
    EXPECT_EQ(historyFolderName("."), "%2E");
    EXPECT_EQ(historyFolderName(".."), "%2E%2E");
    EXPECT_EQ(historyFolderName("..."), "..%2E");
    EXPECT_EQ(historyFolderName(".a"), ".a");

    // Unescaped, ".." would load (and later write) the history of the workspace's parent.
    write("0.txt", "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\tkw\t4\r\n");
    write("dots.txt", "..\nkw\n");
    write("dot.txt", ".\nkw\n");

    ASSERT_TRUE(open("dots.txt"));
    EXPECT_EQ(state.historyDirectory, files.joined("%2E%2E"));
    EXPECT_TRUE(isFolder("%2E%2E"));
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_EQ(ui.captions[1], "-");

    ASSERT_TRUE(open("dot.txt"));
    EXPECT_EQ(state.historyDirectory, files.joined("%2E"));
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_EQ(ui.rows[0][1], "");
}

TEST_F(SurveyFile, ChooseProposesTheLastPathAndOpensTheAnswer) {
    write("survey.txt", "site\nalpha\n");
    std::string buffer;

    chooseSurveyFile(state, files.workspace(), buffer, ui, ui, ui);  // cancelled
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(state.surveyPath, "");
    EXPECT_TRUE(ui.rows.empty());

    ui.openFileAnswers.push_back("survey.txt");
    chooseSurveyFile(state, files.workspace(), buffer, ui, ui, ui);
    EXPECT_EQ(buffer, "survey.txt");
    EXPECT_EQ(state.target, "site");
    EXPECT_EQ(rowKeywords(), (std::vector<std::string>{"alpha"}));

    chooseSurveyFile(state, files.workspace(), buffer, ui, ui, ui);  // cancelled again: nothing changes
    EXPECT_EQ(buffer, "survey.txt");
    EXPECT_EQ(ui.proposedOpenPaths, (std::vector<std::string>{"", "", "survey.txt"}));
    EXPECT_EQ(ui.openFileKinds,
              (std::vector<WindowChrome::FileKind>(3, WindowChrome::FileKind::Survey)));
}

// The survey of the Japanese keywords, as the user saves it in each encoding.
const std::u8string_view SURVEY = u8"www.example.jp\r\n東京 ホテル\r\n表示 ソフト\r\nｶﾀｶﾅ\r\n";

TEST_F(SurveyFile, Utf8FilesReadAsTheirCodePage932Twin) {
    const std::string utf8 = testing::utf8Bytes(SURVEY);
    const std::string cp932 = testing::cp932(SURVEY);
    const std::vector<std::string> expected{testing::cp932(u8"東京 ホテル"), testing::cp932(u8"表示 ソフト"),
                                            testing::cp932(u8"ｶﾀｶﾅ")};
    const std::pair<const char*, std::string> cases[] = {
        {"cp932.txt", cp932},
        {"utf8.txt", utf8},
        {"utf8-mark.txt", "\xEF\xBB\xBF" + utf8},
    };
    for (const auto& [name, bytes] : cases) {
        write(name, bytes);
        ui.messages.clear();
        ASSERT_TRUE(open(name)) << name;
        EXPECT_EQ(state.target, "www.example.jp") << name;
        EXPECT_EQ(keywords(), expected) << name;
        EXPECT_EQ(rowKeywords(), expected) << name;
        EXPECT_EQ(state.historyDirectory, files.joined("www.example.jp")) << name;
        EXPECT_TRUE(ui.messages.empty()) << name;
        EXPECT_EQ(testing::readBytes(files.native(name)), bytes) << "the file is never rewritten";
    }
    // A mark before ASCII alone never reaches the target or the folder.
    write("mark-ascii.txt", "\xEF\xBB\xBFwww.example.jp\nabc\n");
    ASSERT_TRUE(open("mark-ascii.txt"));
    EXPECT_EQ(state.target, "www.example.jp");
    EXPECT_FALSE(isFolder("%EF%BB%BFwww.example.jp"));
}

struct LinesCase {
    const char* name;
    std::string content;
    std::string target;
    std::vector<std::string> keywords;
    std::vector<LineNotice> notices;
};

TEST(SurveyFileLines, LeftOutAndNamedLines) {
    using P = LineProblem;
    const std::string tokyo = testing::cp932(u8"東京");
    const std::string tokyoUtf8 = testing::utf8Bytes(u8"東京");
    const LinesCase cases[] = {
        {"control bytes", "site\nok\na\tb\nesc\x1B[1m\ndel\x7F\nlone\rcr\r\nlast\r\n", "site", {"ok", "last"},
         {{3, P::ControlCharacter, "a\tb"}, {4, P::ControlCharacter, "esc\x1B[1m"},
          {5, P::ControlCharacter, "del\x7F"}, {6, P::ControlCharacter, "lone\rcr"}}},
        {"spaces only, half and full width", "  \nsite\nkw\n\x81\x40 \x81\x40\n \x81\x40x\n", "site",
         {"kw", " \x81\x40x"}, {{1, P::SpacesOnly, "  "}, {4, P::SpacesOnly, "\x81\x40 \x81\x40"}}},
        {"duplicates kept and named", "site\nkw\nx\nkw\nkw\n", "site", {"kw", "x", "kw", "kw"},
         {{4, P::Duplicate, "kw", 2}, {5, P::Duplicate, "kw", 2}}},
        {"a control in a UTF-8 file", testing::utf8Bytes(u8"site\n東京\tホテル\n東京\n"), "site", {tokyo},
         {{2, P::ControlCharacter, testing::cp932(u8"東京\tホテル")}}},
        {"characters code page 932 lacks", testing::utf8Bytes(u8"site\n東京\n😀 hotel\n𠮷野家\n"), "site",
         {tokyo}, {{3, P::NotInCp932, "<U+1F600> hotel"}, {4, P::NotInCp932, "<U+20BB7>" + testing::cp932(u8"野家")}}},
        {"forms other systems write, read as Windows reads its own",
         testing::utf8Bytes(u8"site\n東京〜大阪 − ¢£¬ ‖—\n"), "site", {testing::cp932(u8"東京～大阪 － ￠￡￢ ∥―")}, {}},
        {"bytes not UTF-8 after the mark", "\xEF\xBB\xBFsite\nok\nbad\xFF\n", "site", {"ok"},
         {{3, P::NotInCp932, "bad<xFF>"}}},
        {"mixed code page 932 and UTF-8: byte for byte", "site\n" + tokyo + "\n" + tokyoUtf8 + "\n", "site",
         {tokyo, tokyoUtf8}, {}},
        {"code page 932 that starts like UTF-8: byte for byte", "site\n\xE6\x9D\xB1" + tokyo + "\n", "site",
         {"\xE6\x9D\xB1" + tokyo}, {}},
    };
    for (const LinesCase& c : cases) {
        const SurveyFileContent read = parseSurveyFile(c.content);
        EXPECT_FALSE(read.failure) << c.name;
        EXPECT_EQ(read.definition.target, c.target) << c.name;
        EXPECT_EQ(read.definition.keywords, c.keywords) << c.name;
        EXPECT_EQ(read.notices, c.notices) << c.name;
    }
}

TEST(SurveyFileLines, FilesThatGiveNoSurvey) {
    using F = SurveyFileFailure;
    const std::pair<std::string, F> cases[] = {
        {"", F::Empty},
        {"\n  \n\x81\x40\n", F::Empty},
        {"site\n \n", F::TargetOnly},
        {"a\tb\nkw\n", F::TargetUnusable},
        {testing::utf8Bytes(u8"😀\nkw\n"), F::TargetUnusable},
        {"site\na\tb\n\x7F\n", F::NothingToSurvey},
        {std::string("\xFE\xFF\0s", 4), F::Utf16},
    };
    for (const auto& [content, failure] : cases) {
        const SurveyFileContent read = parseSurveyFile(content);
        ASSERT_TRUE(read.failure) << content;
        EXPECT_EQ(*read.failure, failure) << content;
    }
}

TEST_F(SurveyFile, NamedLinesMakeOneWarningOnlyWhenTheyChange) {
    write("survey.txt", "site\nkw\na\tb\n  \nkw\nother\n");
    write("fixed.txt", "site\nkw\nother\n");
    ASSERT_TRUE(open("survey.txt"));
    EXPECT_EQ(keywords(), (std::vector<std::string>{"kw", "kw", "other"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].text,
              testing::cp932(u8"\"survey.txt\" の次の行を確かめてください。\n"
                             u8"タブなどの制御文字があるため、調査しない行:\n  3 行目: a<タブ>b\n"
                             u8"空白だけのため、キーワードにしない行:\n  4 行目\n"
                             u8"同じキーワードの行 (1 回だけ調べ、どの行にも結果を表示します):\n  2, 5 行目: kw"));

    ASSERT_TRUE(open("survey.txt")) << "read again, as every start does";
    EXPECT_EQ(ui.messages.size(), 1u);
    ASSERT_TRUE(open("fixed.txt"));
    EXPECT_EQ(ui.messages.size(), 1u);
    ASSERT_TRUE(open("survey.txt"));
    EXPECT_EQ(ui.messages.size(), 2u) << "named again once they had gone";

    // A failed open names the lines that made it fail under its reason.
    write("bad-target.txt", "www.example.jp\t\nkw\n");
    EXPECT_FALSE(open("bad-target.txt"));
    EXPECT_EQ(ui.messages.back().text,
              failure("bad-target.txt", texts::MSG_SURVEY_TARGET_UNUSABLE) +
                  testing::cp932(u8"\nタブなどの制御文字があるため、調査しない行:\n  1 行目: www.example.jp<タブ>"));
}

TEST(SurveyFileMessages, AGroupNamesTenLinesAndCountsTheRest) {
    std::vector<LineNotice> notices;
    for (int line = 2; line <= 13; ++line) notices.push_back({line, LineProblem::ControlCharacter, "\x1B"});
    const std::string text = surveyLinesNotice("s.txt", notices);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12) << "head, heading, ten lines, the rest";
    EXPECT_NE(text.find(testing::cp932(u8"  11 行目: <x1B>\n")), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), testing::cp932(u8"  ほか 2 行"));
    EXPECT_EQ(surveyLinesNotice("s.txt", {}), "");
}

}  // namespace
}  // namespace vexor
