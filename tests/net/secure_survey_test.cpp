// Engines served over HTTPS, learnt with the learn command and searched with the rank search
// through the real fetcher: pages 2 and 3 given as https addresses, an engine learnt from http
// addresses whose host has moved to https, and the first-page failures the survey must name
// instead of reporting "not ranked" (a refused redirect, a certificate that does not verify, an
// error status).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/learn_command.h"
#include "app/texts.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "live_search.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::loggedRequests;

constexpr char TARGET[] = "www.mysite.example";
// Results 1 and 10 of the keyword abc on every engine of the fake engine.
constexpr char FIRST_RESULT[] = "http://www.site001-k294.example/p1.html";
constexpr char TENTH_RESULT[] = "http://www.site010-k294.example/p10.html";

class SecureSurvey : public test::FakeEngineTest {
protected:
    // Learns an engine for keyword abc from the addresses of result pages 2 and 3 of the plain
    // layout at base (scheme and host); the learn command's message.
    std::string learn(const std::string& base) {
        testing::FakeUi ui;
        ui.fields.keyword = "abc";
        ui.fields.page2Url = base + "/search?q=abc&start=10&hl=ja";
        ui.fields.page3Url = base + "/search?q=abc&start=20&hl=ja";
        ui.fields.firstResultUrl = FIRST_RESULT;
        ui.fields.tenthResultUrl = TENTH_RESULT;
        learnDefinition(engine, ui, ui, fetchPage, [] { return SystemTime{}; });
        EXPECT_EQ(controlRequest("/reset"), "ok\n");
        // The message's first line: the outcome (a second one names the rules learnt).
        const std::string message = ui.messages.empty() ? std::string() : ui.messages.back().text;
        return message.substr(0, message.find('\n'));
    }

    // An engine learnt elsewhere whose template now points at base.
    void surveyAt(const std::string& base) {
        engine.queryTemplate = base + "/search?q=%s&start=%d&hl=ja";
        engine.pageStep = 10;
        engine.pageOffset = 0;
        engine.keywordEncoding = KeywordEncoding::ShiftJis;
        engine.linkRules = {{LinkSelection::ExactlyTen, 1, "<h3 class=\"r\"><a href=\""}};
    }

    void place(int rank) {
        ASSERT_EQ(controlRequest("/place?keyword=abc&rank=" + std::to_string(rank) + "&target=" + TARGET),
                  "ok\n");
    }

    test::LiveSearch search() const { return test::searchLive(engine, "abc", TARGET); }

    static std::vector<test::LoggedRequest> gets() {
        std::vector<test::LoggedRequest> picked;
        for (auto& r : loggedRequests())
            if (r.method == "GET") picked.push_back(r);
        return picked;
    }

    EngineDefinition engine;
};

TEST_F(SecureSurvey, AnEngineWhosePagesAreHttpsIsLearntAndSurveyed) {
    ASSERT_EQ(learn("https://plain.engine.test"), texts::MSG_LEARN_SUCCEEDED);
    EXPECT_EQ(engine.queryTemplate, "https://plain.engine.test/search?q=%s&start=%d&hl=ja");
    place(23);
    const test::LiveSearch searched = search();
    EXPECT_EQ(searched.rank, 23);
    EXPECT_EQ(searched.ending.how, SearchEnd::Found);
    EXPECT_EQ(searched.ending.page, 3);
    const auto requests = gets();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& r : requests) {
        EXPECT_EQ(r.scheme, "https") << r.path;
        EXPECT_EQ(r.host, "plain.engine.test");
    }
    EXPECT_EQ(requests[2].path, "/search?q=abc&start=20&hl=ja");
}

TEST_F(SecureSurvey, AnHttpTemplateWhoseHostMovedToHttpsStillSurveys) {
    ASSERT_EQ(learn("http://tohttps.fault.test"), texts::MSG_LEARN_SUCCEEDED);
    EXPECT_EQ(engine.queryTemplate, "http://tohttps.fault.test/search?q=%s&start=%d&hl=ja");
    place(15);
    EXPECT_EQ(search().rank, 15);
    const auto requests = gets();
    ASSERT_EQ(requests.size(), 4u);  // each page: the old address, then the new one
    EXPECT_EQ(requests[0].scheme + " " + requests[0].host, "http tohttps.fault.test");
    EXPECT_EQ(requests[1].scheme + " " + requests[1].host, "https plain.engine.test");
    EXPECT_EQ(requests[3].path, "/search?q=abc&start=10&hl=ja");
}

TEST_F(SecureSurvey, ARefusedRedirectOrAnUntrustedCertificateIsAFirstPageFailure) {
    const std::pair<std::string, FailureCause> cases[] = {
        {"https://moved.fault.test", FailureCause::Redirect},
        {"https://untrusted.tls.test", FailureCause::Certificate},
    };
    for (const auto& [base, failure] : cases) {
        SCOPED_TRACE(base);
        surveyAt(base);
        const test::LiveSearch searched = search();
        EXPECT_EQ(searched.rank, 0);
        EXPECT_EQ(searched.ending.how, SearchEnd::Failed);
        EXPECT_EQ(searched.ending.failure.page, 1);
        EXPECT_EQ(searched.ending.failure.cause, failure);
        EXPECT_EQ(searched.recorded, RankEntry(0, searched.ending.failure));
    }
    for (const auto& r : gets()) EXPECT_NE(r.scheme, "http") << "asked in the clear: " << r.target;
}

TEST_F(SecureSurvey, AnErrorStatusOnPageOneIsReportedAsSuch) {
    for (const char* base : {"http://plain.engine.test", "https://plain.engine.test"}) {
        for (const int status : {403, 429}) {
            SCOPED_TRACE(std::string(base) + " " + std::to_string(status));
            ASSERT_EQ(controlRequest("/reset"), "ok\n");
            ASSERT_EQ(controlRequest("/fault?mode=e" + std::to_string(status) + "&page=1"), "ok\n");
            surveyAt(base);
            const test::LiveSearch searched = search();
            EXPECT_EQ(searched.rank, 0);
            EXPECT_EQ(searched.ending,
                      (SearchEnding{SearchEnd::Failed, 1, {1, FailureCause::HttpStatus, status}}));
            // A 429 is waited out and asked again twice; a 403 is not.
            EXPECT_EQ(gets().size(), status == 429 ? 3u : 1u);
        }
    }
}

}  // namespace
}  // namespace vexor
