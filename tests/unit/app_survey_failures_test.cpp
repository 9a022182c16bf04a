// What the Windows program shows of keywords whose first results page failed: the cell text
// that names the failure, and the one message at the end of the run.
#include "app/survey_failures.h"

#include "app/texts.h"
#include "app_test_fixture.h"
#include "japanese.h"
#include "platform/text.h"

namespace vexor::testing {
namespace {

using AppSurveyFailures = AppTest;

std::string utf8Of(const std::string& cp932Text) { return cp932ToUtf8(cp932Text); }

TEST(FailureText, NamesEachCauseInJapanese) {
    const std::pair<SearchEnding, std::u8string_view> cases[] = {
        {{SearchEnd::EmptyPage, 1, {FetchFailure::EmptyBody, 200}}, u8"失敗: 空のページ"},
        {{SearchEnd::NoTenLinks, 1, {FetchFailure::None, 200}}, u8"失敗: 結果を読めません"},
        {{SearchEnd::HttpError, 1, {FetchFailure::None, 403}}, u8"失敗: HTTP 403"},
        {{SearchEnd::HttpError, 1, {FetchFailure::EmptyBody, 429}}, u8"失敗: HTTP 429"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::Network, 0}}, u8"失敗: 接続できません"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::Certificate, 0}}, u8"失敗: 証明書エラー"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::SecureChannel, 0}}, u8"失敗: 暗号化通信エラー"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::Redirect, 302}}, u8"失敗: 転送を拒否"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::BadAddress, 0}}, u8"失敗: URL が不正"},
        {{SearchEnd::FetchFailed, 1, {FetchFailure::Timeout, 200}}, u8"失敗: 時間切れ"},
    };
    for (const auto& [ending, expected] : cases)
        EXPECT_EQ(utf8Of(failureText(ending)), utf8Bytes(expected));
}

TEST_F(AppSurveyFailures, TheCellNamesTheFailureAndTheEndOfTheRunCountsThem) {
    ui.appendRow("abc");
    ui.appendRow("def");
    ui.appendRow("ghi");
    const std::string untouched = ui.rows[1][1];
    showFirstPageFailure(state, ui, 0, {SearchEnd::FetchFailed, 1, {FetchFailure::Certificate, 0}});
    showFirstPageFailure(state, ui, 2, {SearchEnd::HttpError, 1, {FetchFailure::None, 429}});
    EXPECT_EQ(ui.rows[0][1], texts::TEXT_FAILED_CERTIFICATE);
    EXPECT_EQ(ui.rows[1][1], untouched);
    EXPECT_EQ(utf8Of(ui.rows[2][1]), utf8Bytes(u8"失敗: HTTP 429"));
    EXPECT_TRUE(ui.messages.empty());

    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(utf8Of(ui.messages[0].text),
              utf8Bytes(u8"2 件のキーワードで 1 ページ目の検索結果を読めませんでした。\n"
                        u8"理由は一覧に表示しています。エンジンファイルを学習し直してください。"));
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);

    // The next run counts afresh; a run without failures says nothing.
    reportSurveyEnd(state, ui);
    EXPECT_EQ(ui.messages.size(), 1u);
    showFirstPageFailure(state, ui, 1, {SearchEnd::EmptyPage, 1, {FetchFailure::EmptyBody, 200}});
    reportSurveyEnd(state, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.substr(0, 2), "1 ");
}

}  // namespace
}  // namespace vexor::testing
