// Opening survey definition files: rows, keywords, target, the remembered path, the history
// folder, and what a failed open leaves alone.
#include "survey/survey_file.h"

#include <gtest/gtest.h>

#include "app/survey_commands.h"

#include <filesystem>
#include <regex>

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
    std::string failure(const std::string& path) const {
        return "\"" + path + "\"" + texts::MSG_SURVEY_READ_FAILED_TAIL;
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

TEST_F(SurveyFile, LinesAreTakenVerbatimAndOnlyEmptyOnesSkipped) {
    write("crlf.txt", "\r\n\r\n\r\nsite\r\n kw\r\nkw\r\n\r\nkw\r\n  \t");
    write("lf.txt", "site\n kw\nkw\nkw\n  \t\n\n");
    ASSERT_TRUE(open("crlf.txt"));
    const std::vector<std::string> expected{" kw", "kw", "kw", "  \t"};
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

    for (const std::string path : {"target-only.txt", "empty.txt", "missing.txt"}) {
        ui.messages.clear();
        EXPECT_FALSE(open(path));
        EXPECT_EQ(state.surveyPath, path);
        ASSERT_EQ(ui.messages.size(), 1u) << path;
        EXPECT_EQ(ui.messages[0].text, failure(path));
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

}  // namespace
}  // namespace vexor
