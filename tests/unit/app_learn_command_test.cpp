#include "app/learn_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/fetch_failure_text.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "fake_ui.h"
#include "japanese.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;

std::string result(int i) { return "http://r" + std::to_string(i) + ".example/"; }

// Results from..from+9, as result page (from + 9) / 10 shows them.
std::string resultsPage(int from = 1) {
    std::string page = "<ol>";
    for (int i = from; i < from + 10; ++i)
        page += "<li><a href=\"" + result(i) + "\">" + std::to_string(i) + "</a></li>";
    return page + "</ol>";
}

const char PAGE_1[] = "http://e.example/find?q=abc&start=0";
const char PAGE_2[] = "http://e.example/find?q=abc&start=10";
const char PAGE_3[] = "http://e.example/find?q=abc&start=20";

// The line after the success message.
std::string rulesLine(const char* kind, int pages) {
    return testing::cp932(u8"規則の種類: ") + kind + testing::cp932(u8"、1～3 ページ目のうち ") +
           std::to_string(pages) + testing::cp932(u8" ページで有効");
}

std::string learntWith(const char* kind, int pages) {
    return std::string(texts::MSG_LEARN_SUCCEEDED) + "\n" + rulesLine(kind, pages);
}

EngineFields completeFields() {
    EngineFields f;
    f.keyword = "abc";
    f.firstResultUrl = result(1);
    f.tenthResultUrl = result(10);
    f.page2Url = "http://e.example/find?q=abc&start=10";
    f.page3Url = "http://e.example/find?q=abc&start=20";
    return f;
}

std::string addressFailed(const char* why) { return std::string(texts::MSG_ADDRESS_FAILED) + "\n" + why; }

// The learning failure with the reason found on page 1.
std::string learnFailed(const char* pattern) {
    return std::string(texts::MSG_LEARN_FAILED) + "\n" + formatWithNumber(pattern, 1);
}

const SystemTime PINNED{2006, 3, 2, 7, 9, 5, 41, 250};

std::string learntAt(const char* dateAndTime) {
    return testing::cp932(u8"最終学習日時: ") + dateAndTime;
}

// One learn command run with a pinned clock and scripted pages (page 1 is page, the others as
// laterPages has them); records the order of the clock reading and the fetches.
class LearnCommand : public ::testing::Test {
protected:
    void learn() {
        const PageFetcher fetch = [this](const std::string& address, std::string& body,
                                         const std::atomic<bool>&) {
            steps.push_back("fetch " + address);
            const auto later = laterPages.find(address);
            body = later == laterPages.end() ? page : later->second;
            const auto outcome = outcomes.find(address);
            return outcome == outcomes.end() ? FetchOutcome{} : outcome->second;
        };
        const Clock clock = [this] {
            steps.push_back("clock");
            return PINNED;
        };
        learnDefinition(engine, ui, ui, fetch, clock);
    }

    void expectOneMessage(const char* text, Icon icon) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].icon, icon);
        EXPECT_EQ(ui.messages[0].owner, Owner::EditDialog);
        EXPECT_FALSE(ui.messages[0].question);
    }

    testing::FakeUi ui;
    EngineDefinition engine;
    std::string page = resultsPage();
    std::map<std::string, std::string> laterPages{{PAGE_2, resultsPage(11)}, {PAGE_3, resultsPage(21)}};
    std::map<std::string, FetchOutcome> outcomes;  // FetchOutcome{} for the others
    std::vector<std::string> steps;
};

TEST_F(LearnCommand, SuccessTakesTheTimeReadBeforeTheFetchAndShowsIt) {
    ui.fields = completeFields();
    ui.fields.startMarker = "<ol>";
    learn();
    expectOneMessage(learntWith(texts::TEXT_RULES_PLAIN, 3).c_str(), Icon::Information);
    EXPECT_THAT(steps, ElementsAre("clock", std::string("fetch ") + PAGE_1, std::string("fetch ") + PAGE_2,
                                   std::string("fetch ") + PAGE_3));
    EXPECT_EQ(engine.learnedAt, PINNED);
    EXPECT_EQ(engine.queryTemplate, "http://e.example/find?q=%s&start=%d");
    EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "f=\""}));
    EXPECT_EQ(engine.startMarker, "<ol>");
    EXPECT_THAT(ui.engineStatusHistory, ElementsAre(learntAt("2006/03/07 09:05")));
}

TEST_F(LearnCommand, EveryRequiredFieldIsChecked) {
    const std::pair<std::string EngineFields::*, std::u8string> required[] = {
        {&EngineFields::keyword, u8"キーワード"},
        {&EngineFields::page2Url, u8"2 ページ目の URL"},
        {&EngineFields::page3Url, u8"3 ページ目の URL"},
        {&EngineFields::firstResultUrl, u8"1件目の URL"},
        {&EngineFields::tenthResultUrl, u8"10件目の URL"}};
    for (const auto& [field, label] : required) {
        testing::FakeUi fresh;
        ui = fresh;
        steps.clear();
        engine = EngineDefinition{};
        ui.fields = completeFields();
        ui.fields.*field = "";
        learn();
        expectOneMessage((std::string(texts::MSG_REQUIRED_MISSING) + "\n" + testing::cp932(u8"未記入の欄: ") +
                          testing::cp932(label) + testing::cp932(u8"\nこの欄を入力してから、もう一度学習してください。"))
                             .c_str(),
                         Icon::Warning);
        EXPECT_TRUE(steps.empty()) << "neither the clock nor the network";
        EXPECT_TRUE(ui.engineStatusHistory.empty());
        // The fields were read all the same.
        EXPECT_EQ(engine.keyword, ui.fields.keyword);
        EXPECT_TRUE(engine.queryTemplate.empty());
    }
}

TEST_F(LearnCommand, FieldsAreTakenWhole) {
    ui.fields = completeFields();
    ui.fields.keyword = " abc ";
    learn();
    // The keyword with its spaces is looked for as "+abc+", which the addresses do not hold.
    expectOneMessage(addressFailed(texts::TEXT_ADDRESS_NO_KEYWORD).c_str(), Icon::Warning);
    EXPECT_EQ(engine.keyword, " abc ");
}

TEST_F(LearnCommand, AddressFailureStopsBeforeTheFetch) {
    ui.fields = completeFields();
    ui.fields.page3Url = ui.fields.page2Url;
    applyEngineFields(ui.fields, engine);  // the samples the old rules came from
    engine.linkRules = {{LinkSelection::FirstTen, 1, "old"}};
    learn();
    expectOneMessage(addressFailed(texts::TEXT_ADDRESS_ALIKE).c_str(), Icon::Warning);
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(ui.engineStatusHistory.empty()) << "the label stays as it was";
    EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::FirstTen, 1, "old"}));
}

TEST_F(LearnCommand, FailedLinkStageKeepsTheEarlierRulesAndTimeButTakesTheNewAddress) {
    engine.queryTemplate = "http://old.example/?p=%d&q=%s";
    engine.learnedAt = {2005, 12, 6, 31, 23, 59, 0, 0};
    engine.linkRules = {{LinkSelection::LastTen, 1, "old"}};
    ui.fields = completeFields();
    applyEngineFields(ui.fields, engine);  // learnt from the same samples before
    page = "<p>no results</p>";
    learn();
    expectOneMessage(learnFailed(texts::FMT_LEARN_FIRST_NOT_FOUND).c_str(), Icon::Warning);
    EXPECT_EQ(engine.queryTemplate, "http://e.example/find?q=%s&start=%d");
    EXPECT_EQ(engine.pageStep, 10);
    EXPECT_EQ(engine.learnedAt, (SystemTime{2005, 12, 6, 31, 23, 59, 0, 0}));
    EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::LastTen, 1, "old"}));
    EXPECT_THAT(ui.engineStatusHistory, ElementsAre(learntAt("2005/12/31 23:59")));
}

TEST_F(LearnCommand, FailedFirstLearningLeavesTheEngineUnlearnt) {
    ui.fields = completeFields();
    page.clear();
    learn();
    expectOneMessage(learnFailed(texts::FMT_LEARN_FIRST_NOT_FOUND).c_str(), Icon::Warning);
    EXPECT_EQ(engine.learnedAt, SystemTime{});
    EXPECT_THAT(ui.engineStatusHistory, ElementsAre(std::string(texts::TEXT_NOT_LEARNT)));
}

TEST_F(LearnCommand, RelearningReplacesTheRules) {
    engine.linkRules = {{LinkSelection::LastTen, 1, "old"}, {LinkSelection::FirstTen, 2, "older"}};
    ui.fields = completeFields();
    learn();
    expectOneMessage(learntWith(texts::TEXT_RULES_PLAIN, 3).c_str(), Icon::Information);
    EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "f=\""}));
}

TEST_F(LearnCommand, RulesThatPageTwoDoesNotConfirmAreLearntExtendedAndTheLineSaysSo) {
    // Page 2 answers with page 1 again, as an engine does past its last page: it confirms
    // nothing, and page 3 yields nothing at all.
    laterPages = {{PAGE_2, resultsPage()}, {PAGE_3, "<p>no results</p>"}};
    ui.fields = completeFields();
    learn();
    expectOneMessage(learntWith(texts::TEXT_RULES_ALL_RESULTS, 1).c_str(), Icon::Information);
    EXPECT_THAT(engine.extendedRules,
                ElementsAre(ExtendedLinkRule{LinkSelection::EveryLink, "<li><a href=\"", "absolute", ""}));
    EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<li><a href=\""}));
    EXPECT_EQ(engine.learnedAt, PINNED);
}

TEST_F(LearnCommand, RefusedSamplePagesAreNamedWithWhyAndKeepTheEarlierRules) {
    const std::string captcha = "<div class=\"g-recaptcha\"></div>";
    const std::string consent = "<h1>Before you continue</h1>";
    struct Case {
        std::map<std::string, FetchOutcome> outcomes;
        std::string page1;
        std::map<std::string, std::string> later;
        std::u8string secondLine;
    };
    const std::map<std::string, std::string> results{{PAGE_2, resultsPage(11)}, {PAGE_3, resultsPage(21)}};
    const Case cases[] = {
        {{{PAGE_2, {FetchFailure::None, 503}}}, resultsPage(), results,
         u8"2 ページ目を取得できませんでした (失敗: HTTP 503)"},
        {{{PAGE_1, {FetchFailure::Certificate, 0}}}, resultsPage(), results,
         u8"1 ページ目を取得できませんでした (失敗: 証明書エラー)"},
        {{}, captcha, results,
         u8"1 ページ目は検索結果ではなく画像認証 (CAPTCHA) のページのようです。"
         u8"ブラウザで検索結果が表示されることを確かめてから、もう一度学習してください。"},
        {{}, resultsPage(), {{PAGE_2, resultsPage(11)}, {PAGE_3, consent}},
         u8"3 ページ目は検索結果ではなく同意を求めるページのようです。"
         u8"ブラウザで検索結果が表示されることを確かめてから、もう一度学習してください。"},
    };
    for (const Case& c : cases) {
        ui = testing::FakeUi{};
        engine = EngineDefinition{};
        engine.linkRules = {{LinkSelection::LastTen, 1, "old"}};
        outcomes = c.outcomes;
        page = c.page1;
        laterPages = c.later;
        ui.fields = completeFields();
        applyEngineFields(ui.fields, engine);
        learn();
        expectOneMessage((std::string(texts::MSG_LEARN_FAILED) + "\n" + testing::cp932(c.secondLine)).c_str(),
                         Icon::Warning);
        EXPECT_THAT(engine.linkRules, ElementsAre(LinkRule{LinkSelection::LastTen, 1, "old"}));
        EXPECT_EQ(ui.engineStatusHistory.size(), 1u);
    }
}

TEST_F(LearnCommand, EachFailingStepIsNamed) {
    struct Case {
        const char* name;
        std::function<void(EngineFields&, std::string& page)> change;
        std::string message;
    };
    const std::string noTenth = "<ol><li><a href=\"" + result(1) + "\">1</a></li></ol>";
    // Both samples stand on the page, but nothing before them picks ten results.
    const std::string apart = "<ol><li><a href=\"" + result(1) + "\">1</a></li></ol><p>" + result(10) + "</p>";
    const Case cases[] = {
        {"keyword not in page 2", [](EngineFields& f, std::string&) { f.keyword = "xyz"; },
         addressFailed(texts::TEXT_ADDRESS_NO_KEYWORD)},
        {"page 3 is page 2", [](EngineFields& f, std::string&) { f.page3Url = f.page2Url + "&x"; },
         addressFailed(texts::TEXT_ADDRESS_ALIKE)},
        {"another host", [](EngineFields& f, std::string&) { f.page3Url = "ftp://e.example/find?q=abc&start=20"; },
         addressFailed(texts::TEXT_ADDRESS_DIFFER_AT_START)},
        {"no name=value",
         [](EngineFields& f, std::string&) {
             f.page2Url = "http://e.example/find/abc/page10";
             f.page3Url = "http://e.example/find/abc/page20";
         },
         addressFailed(texts::TEXT_ADDRESS_NO_PAGE_NUMBER)},
        {"page inside the keyword",
         [](EngineFields& f, std::string&) {
             f.page2Url = "http://e.example/find?q=abc10";
             f.page3Url = "http://e.example/find?q=abc20";
         },
         addressFailed(texts::TEXT_ADDRESS_OVERLAP)},
        {"no 1st result", [](EngineFields& f, std::string&) { f.firstResultUrl = "http://elsewhere.example/"; },
         learnFailed(texts::FMT_LEARN_FIRST_NOT_FOUND)},
        {"no 10th result", [&](EngineFields&, std::string& p) { p = noTenth; }, learnFailed(texts::FMT_LEARN_TENTH_NOT_FOUND)},
        {"no common prefix", [&](EngineFields&, std::string& p) { p = apart; }, learnFailed(texts::FMT_LEARN_NO_COMMON_PREFIX)},
        {"markers cut everything",
         [](EngineFields& f, std::string&) { f.startMarker = f.endMarker = "<ol>"; },
         learnFailed(texts::FMT_LEARN_MARKERS_EMPTY)},
    };
    for (const Case& c : cases) {
        ui = testing::FakeUi{};
        engine = EngineDefinition{};
        page = resultsPage();
        ui.fields = completeFields();
        c.change(ui.fields, page);
        learn();
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0].text, c.message) << c.name;
        EXPECT_FALSE(isLearnt(engine)) << c.name;
    }
}

TEST(LearnMessage, NamesEveryEmptyFieldInTheDialogsOrder) {
    LearnResult missing;
    missing.missing = {SampleField::Keyword, SampleField::TenthResultUrl, SampleField::Page3Url};
    EXPECT_EQ(learnMessage(missing).text,
              std::string(texts::MSG_REQUIRED_MISSING) + "\n" +
                  testing::cp932(u8"未記入の欄: キーワード、10件目の URL、3 ページ目の URL\n"
                                 u8"この欄を入力してから、もう一度学習してください。"));
}

TEST_F(LearnCommand, AFailureWithOtherSamplesLeavesTheEngineNotLearnt) {
    // The rules came from other samples: kept, a save would store them under the new ones.
    engine = testing::learntEngine("old");
    ui.fields = completeFields();
    page = "<p>no results</p>";
    learn();
    EXPECT_FALSE(isLearnt(engine));
    EXPECT_TRUE(engine.extendedRules.empty());
    EXPECT_EQ(engine.learnedAt, SystemTime{});
    EXPECT_THAT(ui.engineStatusHistory, ElementsAre(std::string(texts::TEXT_NOT_LEARNT)));

    // Also when the run stops at the address: the label then says so too.
    ui = testing::FakeUi{};
    engine = testing::learntEngine("old");
    ui.fields = completeFields();
    ui.fields.page3Url = ui.fields.page2Url;
    learn();
    EXPECT_FALSE(isLearnt(engine));
    EXPECT_THAT(ui.engineStatusHistory, ElementsAre(std::string(texts::TEXT_NOT_LEARNT)));
}

TEST(FetchFailureText, TheStatusOfAnAnswerElseTheFailure) {
    const std::pair<FetchOutcome, std::u8string> cases[] = {
        {{FetchFailure::None, 503}, u8"失敗: HTTP 503"},
        {{FetchFailure::EmptyBody, 404}, u8"失敗: HTTP 404"},
        {{FetchFailure::EmptyBody, 200}, u8"失敗: 空のページ"},
        {{FetchFailure::Network, 0}, u8"失敗: 接続できません"},
        {{FetchFailure::Certificate, 0}, u8"失敗: 証明書エラー"},
        {{FetchFailure::SecureChannel, 0}, u8"失敗: 暗号化通信エラー"},
        {{FetchFailure::Redirect, 301}, u8"失敗: 転送を拒否"},
        {{FetchFailure::BadAddress, 0}, u8"失敗: URL が不正"},
        {{FetchFailure::Timeout, 0}, u8"失敗: 時間切れ"},
        {{static_cast<FetchFailure>(99), 0}, u8"失敗"},
    };
    for (const auto& [fetched, words] : cases) EXPECT_EQ(fetchFailureText(fetched), testing::cp932(words));
}

TEST(LearnMessage, NamesTheKeptRulesAfterTheSuccess) {
    EXPECT_EQ(learnMessage({LearnOutcome::Learnt, false, LinkSelection::ExactlyTen, 3}),
              (Message{learntWith(texts::TEXT_RULES_PLAIN, 3), Icon::Information}));
    EXPECT_EQ(learnMessage({LearnOutcome::Learnt, true, LinkSelection::EveryLink, 2}).text,
              learntWith(texts::TEXT_RULES_ALL_RESULTS, 2));
    EXPECT_EQ(learnMessage({LearnOutcome::Learnt, true, LinkSelection::FirstTen, 1}).text,
              learntWith(texts::TEXT_RULES_TEN_OF_MORE, 1));
    // Failures say only what failed.
    EXPECT_EQ(learnMessage({LearnOutcome::NoRules}), (Message{texts::MSG_LEARN_FAILED, Icon::Warning}));
}

TEST(LearnMessage, ARefusalSaysWhyWhatWasGivenOrFoundCannotBeRight) {
    const auto refused = [](Refusal why, SampleField sample = SampleField::FirstResultUrl) {
        LearnResult result;
        result.outcome = LearnOutcome::Refused;
        result.refusal = why;
        result.sample = sample;
        return learnMessage(result);
    };
    const std::pair<Message, std::u8string> cases[] = {
        {refused(Refusal::NoAddress, SampleField::TenthResultUrl),
         u8"10件目の URL がページのアドレスになっていません。ブラウザで検索結果のリンクのアドレスをコピーして入れてください。"},
        {refused(Refusal::SameResult),
         u8"1件目と 10件目の URL が同じです。1件目と 10件目には別々の検索結果の URL を入れてください。"},
        {refused(Refusal::MisreadsSamples),
         u8"見つかった規則では、1 ページ目の 1 番目に 1件目の URL が、10 番目 (結果が 10 件より少ないときは最後) に "
         u8"10件目の URL が並びません。1件目と 10件目の URL が同じページの 1 番目と 10 番目の結果か確かめてください。"},
        {refused(Refusal::HoldsOnNoPage),
         u8"見つかった規則は 1～3 ページ目のどのページでも検索結果を読めません。2 ページ目と 3 ページ目の URL、"
         u8"1件目と 10件目の URL を確かめてください。"},
    };
    for (const auto& [message, why] : cases)
        EXPECT_EQ(message, (Message{std::string(texts::MSG_LEARN_FAILED) + "\n" + testing::cp932(why), Icon::Warning}));
}

TEST(EngineStatusText, UnlearntEvenWithATime) {
    EngineDefinition d;
    d.learnedAt = PINNED;
    EXPECT_EQ(engineStatusText(d), texts::TEXT_NOT_LEARNT);
    d.linkRules = {{LinkSelection::ExactlyTen, 1, "<a "}};
    d.learnedAt = {2010, 1, 5, 1, 0, 7, 59, 999};
    EXPECT_EQ(engineStatusText(d), learntAt("2010/01/01 00:07"));
}

TEST(EngineFields, RoundTripThroughADefinitionTouchesOnlyTheSevenTexts) {
    EngineFields fields = completeFields();
    fields.startMarker = "<ol>";
    fields.endMarker = "</ol>";
    EngineDefinition d;
    d.queryTemplate = "kept";
    d.linkRules = {{LinkSelection::FirstTen, 1, "kept"}};
    applyEngineFields(fields, d);
    EXPECT_EQ(d.page2Url, fields.page2Url);
    EXPECT_EQ(d.page3Url, fields.page3Url);
    EXPECT_EQ(d.queryTemplate, "kept");
    EXPECT_EQ(d.linkRules.size(), 1u);
    const EngineFields back = engineFieldsOf(d);
    EXPECT_EQ(back.keyword, fields.keyword);
    EXPECT_EQ(back.firstResultUrl, fields.firstResultUrl);
    EXPECT_EQ(back.tenthResultUrl, fields.tenthResultUrl);
    EXPECT_EQ(back.page2Url, fields.page2Url);
    EXPECT_EQ(back.page3Url, fields.page3Url);
    EXPECT_EQ(back.startMarker, fields.startMarker);
    EXPECT_EQ(back.endMarker, fields.endMarker);
}

}  // namespace
}  // namespace vexor
