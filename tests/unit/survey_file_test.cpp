// Opening survey definition files: rows, keywords, target, the remembered path, the history
// folder, and what a failed open leaves alone.
#include "survey/survey_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/texts.h"
#include "fake_ui.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "scratch_directory.h"

namespace vexor {
namespace {

using testing::FakeUi;
using testing::ScratchDirectory;
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
        return readProfileString(host.settingsFile, "SEARCH", "last", "<none>");
    }
    std::string failure(const std::string& path) const {
        return "\"" + path + "\"" + texts::MSG_SURVEY_READ_FAILED_TAIL;
    }

    ScratchDirectory scratch;
    SurveyState state;
    FakeUi ui;
    int titleUpdates = 0;
    std::string targetAtTitleUpdate;
    SurveyHost host{ui, joinPath(scratch.path(), "vexor.ini"), [this] {
                        ++titleUpdates;
                        targetAtTitleUpdate = state.target;
                    }};
};

TEST_F(SurveyFile, OpensTargetKeywordsRowsAndRemembersThePath) {
    writeBytes("survey.txt", "example.com\r\nalpha\r\nbeta\r\ngamma\r\n");
    ASSERT_TRUE(openSurveyFile(state, "survey.txt", host));

    EXPECT_EQ(state.surveyPath, "survey.txt");
    EXPECT_EQ(state.target, "example.com");
    EXPECT_EQ(keywords(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_EQ(rowKeywords(), keywords());
    EXPECT_EQ(state.historyDirectory, "example.com");
    EXPECT_TRUE(fs::is_directory("example.com"));
    EXPECT_EQ(lastSurvey(), "survey.txt");
    EXPECT_EQ(titleUpdates, 1);
    EXPECT_EQ(targetAtTitleUpdate, "example.com");
    EXPECT_TRUE(ui.messages.empty());
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(ui.captions[c], "-");
}

TEST_F(SurveyFile, LinesAreTakenVerbatimAndOnlyEmptyOnesSkipped) {
    writeBytes("crlf.txt", "\r\n\r\n\r\nsite\r\n kw\r\nkw\r\n\r\nkw\r\n  \t");
    writeBytes("lf.txt", "site\n kw\nkw\nkw\n  \t\n\n");
    ASSERT_TRUE(openSurveyFile(state, "crlf.txt", host));
    const std::vector<std::string> expected{" kw", "kw", "kw", "  \t"};
    EXPECT_EQ(state.target, "site");
    EXPECT_EQ(keywords(), expected);
    EXPECT_EQ(rowKeywords(), expected);

    ASSERT_TRUE(openSurveyFile(state, "lf.txt", host));
    EXPECT_EQ(keywords(), expected);
    EXPECT_EQ(rowKeywords(), expected);
}

TEST_F(SurveyFile, SecondOpenReplacesTheSurveyAndSharesHistoryBySite) {
    fs::create_directory("site");
    writeBytes("site/0.txt", "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\tbeta\t7\r\n");
    writeBytes("first.txt", "site\nalpha\nbeta\ngamma\n");
    writeBytes("second.txt", "site\nbeta\nbeta\n");
    ASSERT_TRUE(openSurveyFile(state, "first.txt", host));
    ASSERT_TRUE(openSurveyFile(state, "second.txt", host));

    EXPECT_EQ(keywords(), (std::vector<std::string>{"beta", "beta"}));
    ASSERT_EQ(ui.rows.size(), 2u);
    EXPECT_EQ(ui.rows[0][1], "7");
    EXPECT_EQ(ui.rows[1][1], "7");
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"beta", 7}}));
    EXPECT_EQ(lastSurvey(), "second.txt");
}

TEST_F(SurveyFile, FailedOpenChangesOnlyTheSurveyPath) {
    writeBytes("good.txt", "site\nalpha\nbeta\n");
    writeBytes("target-only.txt", "\r\nsite\r\n\r\n");
    writeBytes("empty.txt", "");
    ASSERT_TRUE(openSurveyFile(state, "good.txt", host));
    const auto rowsBefore = ui.rows;
    const auto tablesBefore = state.historyTables;

    for (const std::string path : {"target-only.txt", "empty.txt", "missing.txt"}) {
        ui.messages.clear();
        EXPECT_FALSE(openSurveyFile(state, path, host));
        EXPECT_EQ(state.surveyPath, path);
        ASSERT_EQ(ui.messages.size(), 1u) << path;
        EXPECT_EQ(ui.messages[0].text, failure(path));
        EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
        EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
        EXPECT_FALSE(ui.messages[0].question);

        EXPECT_EQ(state.target, "site");
        EXPECT_EQ(keywords(), (std::vector<std::string>{"alpha", "beta"}));
        EXPECT_EQ(state.historyDirectory, "site");
        EXPECT_EQ(state.historyTables, tablesBefore);
        EXPECT_EQ(ui.rows, rowsBefore);
        EXPECT_EQ(lastSurvey(), "good.txt");
        EXPECT_EQ(titleUpdates, 1);
    }
}

TEST_F(SurveyFile, HistoryFolderIsThePercentEncodedTarget) {
    writeBytes("survey.txt", "a b/c\nkw\n");
    ASSERT_TRUE(openSurveyFile(state, "survey.txt", host));
    EXPECT_EQ(state.historyDirectory, "a+b%2Fc");
    EXPECT_TRUE(fs::is_directory("a+b%2Fc"));

    const auto japanese = utf8ToCp932("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");  // 日本語
    ASSERT_TRUE(japanese);
    EXPECT_TRUE(std::regex_match(historyFolderName(*japanese), std::regex("(%[0-9A-F]{2}){6}")))
        << historyFolderName(*japanese);
    EXPECT_EQ(historyFolderName("www.example.com/~me"), "www.example.com%2F%7Eme");
}

TEST_F(SurveyFile, DotTargetsGetAFolderOfTheirOwn) {
    EXPECT_EQ(historyFolderName("."), "%2E");
    EXPECT_EQ(historyFolderName(".."), "%2E%2E");
    EXPECT_EQ(historyFolderName("..."), "...");
    EXPECT_EQ(historyFolderName(".a"), ".a");

    // Unescaped, ".." would load (and later write) the history of the parent folder.
    fs::create_directory("work");
    fs::current_path("work");
    writeBytes("../0.txt", "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\tkw\t3\r\n");
    writeBytes("0.txt", "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\tkw\t4\r\n");
    writeBytes("dots.txt", "..\nkw\n");
    writeBytes("dot.txt", ".\nkw\n");

    ASSERT_TRUE(openSurveyFile(state, "dots.txt", host));
    EXPECT_EQ(state.historyDirectory, "%2E%2E");
    EXPECT_TRUE(fs::is_directory("%2E%2E"));
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_EQ(ui.captions[1], "-");

    ASSERT_TRUE(openSurveyFile(state, "dot.txt", host));
    EXPECT_EQ(state.historyDirectory, "%2E");
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_EQ(ui.rows[0][1], "");
}

TEST_F(SurveyFile, ChooseProposesTheLastPathAndOpensTheAnswer) {
    writeBytes("survey.txt", "site\nalpha\n");
    std::string buffer;

    chooseSurveyFile(state, host, buffer);  // cancelled
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(state.surveyPath, "");
    EXPECT_TRUE(ui.rows.empty());

    ui.openFileAnswers.push_back("survey.txt");
    chooseSurveyFile(state, host, buffer);
    EXPECT_EQ(buffer, "survey.txt");
    EXPECT_EQ(state.target, "site");
    EXPECT_EQ(rowKeywords(), (std::vector<std::string>{"alpha"}));

    chooseSurveyFile(state, host, buffer);  // cancelled again: nothing changes
    EXPECT_EQ(buffer, "survey.txt");
    EXPECT_EQ(ui.proposedOpenPaths, (std::vector<std::string>{"", "", "survey.txt"}));
    EXPECT_EQ(ui.openFileKinds,
              (std::vector<Ui::FileKind>(3, Ui::FileKind::Survey)));
}

}  // namespace
}  // namespace vexor
