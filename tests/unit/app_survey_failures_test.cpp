// What the Windows program shows of keywords whose search failed: the cell text that names the
// failure and its page, and the one message at the end of the run.
#include "app/survey_failures.h"

#include "app/survey_display.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "japanese.h"
#include "platform/text.h"

namespace vexor::testing {
namespace {

using AppSurveyFailures = AppTest;

std::string utf8Of(const std::string& cp932Text) { return cp932ToUtf8(cp932Text); }

TEST(FailureText, NamesEachCauseInJapaneseAndAPageAfterTheFirst) {
    const std::pair<SearchFailure, std::u8string_view> cases[] = {
        {{1, FailureCause::EmptyPage, 200}, u8"失敗: 空のページ"},
        {{1, FailureCause::NoLinks, 200}, u8"失敗: 結果を読めません"},
        {{1, FailureCause::HttpStatus, 403}, u8"失敗: HTTP 403"},
        {{3, FailureCause::HttpStatus, 429}, u8"失敗: HTTP 429 (3 ページ目)"},
        {{1, FailureCause::Network, 0}, u8"失敗: 接続できません"},
        {{1, FailureCause::Timeout, 0}, u8"失敗: 時間切れ"},
        {{1, FailureCause::Certificate, 0}, u8"失敗: 証明書エラー"},
        {{1, FailureCause::SecureChannel, 0}, u8"失敗: 暗号化通信エラー"},
        {{1, FailureCause::Redirect, 302}, u8"失敗: 転送を拒否"},
        {{2, FailureCause::RedirectAway, 200}, u8"失敗: 別のページへ転送 (2 ページ目)"},
        {{1, FailureCause::BadAddress, 0}, u8"失敗: URL が不正"},
        {{1, FailureCause::Consent, 200}, u8"失敗: 同意の確認ページ"},
        {{7, FailureCause::Captcha, 200}, u8"失敗: ロボット確認ページ (7 ページ目)"},
        {{1, FailureCause::ScriptRequired, 200}, u8"失敗: JavaScript が必要なページ"},
        {{1, FailureCause::NotResults, 200}, u8"失敗: 検索結果のページではありません"},
        {{1, FailureCause::Unknown, 0}, u8"失敗"},
    };
    for (const auto& [failure, expected] : cases)
        EXPECT_EQ(utf8Of(failureText(failure)), utf8Bytes(expected));
    // A history column shows a stored failure as the current run shows it, never as "-".
    EXPECT_EQ(rankCellText(RankEntry{0, SearchFailure{3, FailureCause::HttpStatus, 429}}),
              failureText({3, FailureCause::HttpStatus, 429}));
    EXPECT_EQ(rankCellText(RankEntry{0, {}}), "-");
}

TEST_F(AppSurveyFailures, TheCellNamesTheFailureAndTheEndOfTheRunCountsThem) {
    ui.appendRow("abc");
    ui.appendRow("def");
    ui.appendRow("ghi");
    const std::string untouched = ui.rows[1][1];
    showSurveyFailure(state, ui, 0, {1, FailureCause::Certificate, 0});
    showSurveyFailure(state, ui, 2, {4, FailureCause::HttpStatus, 429});
    EXPECT_EQ(ui.rows[0][1], texts::TEXT_FAILED_CERTIFICATE);
    EXPECT_EQ(ui.rows[1][1], untouched);
    EXPECT_EQ(utf8Of(ui.rows[2][1]), utf8Bytes(u8"失敗: HTTP 429 (4 ページ目)"));
    EXPECT_TRUE(ui.messages.empty());

    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(utf8Of(ui.messages[0].text),
              utf8Bytes(u8"2 件のキーワードの検索結果を読めませんでした。\n理由は一覧に表示しています。"
                        u8"ファイル メニューの「失敗した語を再調査」で調べ直せます。") +
                  utf8Of(texts::MSG_WAIT_HINT));
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);

    // The next run counts afresh; a run without failures says nothing; pages the rules no
    // longer read bring the advice to learn the engine again.
    reportSurveyEnd(state, ui);
    EXPECT_EQ(ui.messages.size(), 1u);
    showSurveyFailure(state, ui, 1, {1, FailureCause::NoLinks, 200});
    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.substr(0, 2), "1 ");
    EXPECT_NE(ui.messages[1].text.find(texts::MSG_RELEARN_HINT), std::string::npos);

    // A run the engine refused says that instead.
    showSurveyFailure(state, ui, 1, {1, FailureCause::Captcha, 200});
    state.survey.engineRefused = true;
    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, texts::MSG_ENGINE_REFUSING);
}

TEST_F(AppSurveyFailures, TheEndOfTheRunAdvisesWhatFitsTheCauses) {
    using enum FailureAdvice;
    ui.appendRow("abc");
    struct Case {
        std::vector<SearchFailure> failures;
        FailureAdvice each;  // adviceFor of every failure of the case
        bool relearn;
        bool wait;
    };
    const Case cases[] = {
        {{{1, FailureCause::NoLinks, 200}, {2, FailureCause::NotResults, 200}, {1, FailureCause::HttpStatus, 404}},
         Relearn, true, false},
        {{{1, FailureCause::HttpStatus, 403}, {1, FailureCause::HttpStatus, 429}, {3, FailureCause::HttpStatus, 503},
          {1, FailureCause::Network, 0}, {1, FailureCause::Timeout, 0}, {1, FailureCause::EmptyPage, 200}},
         WaitAndRetry, false, true},
        {{{1, FailureCause::Consent, 200}, {1, FailureCause::Captcha, 200}, {1, FailureCause::RedirectAway, 200}},
         None, false, false},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        for (const SearchFailure& failure : c.failures) {
            EXPECT_EQ(adviceFor(failure), c.each) << failureCauseText(failure.cause, failure.status);
            showSurveyFailure(state, ui, 0, failure);
        }
        reportSurveyEnd(state, ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string& text = ui.messages[0].text;
        EXPECT_EQ(text.find(texts::MSG_RELEARN_HINT) != std::string::npos, c.relearn) << text;
        EXPECT_EQ(text.find(texts::MSG_WAIT_HINT) != std::string::npos, c.wait) << text;
    }
    // Both kinds in one run bring both pieces of advice.
    ui.messages.clear();
    showSurveyFailure(state, ui, 0, {1, FailureCause::NoLinks, 200});
    showSurveyFailure(state, ui, 0, {1, FailureCause::HttpStatus, 429});
    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(texts::MSG_RELEARN_HINT), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find(texts::MSG_WAIT_HINT), std::string::npos);
}

}  // namespace
}  // namespace vexor::testing
